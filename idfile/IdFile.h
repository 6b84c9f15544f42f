#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

class FileDialog;
class MessageSink;

// Reading and saving the ID file a user picks, for both programs. A pick is read only when it is
// a regular file of at most IdFileSizeLimit bytes; anything else (a FIFO, a device, a folder, a
// larger file) is refused before a byte is read, with a message box that names the file and the
// reason. The message boxes and questions go to `messages`, titled `title` (the program).

// An ID file holds a few lines; nothing a user means to pick comes near this.
inline constexpr qint64 IdFileSizeLimit = 1024 * 1024;

// A user's pick as read from disk.
struct PickedFile {
    bool exists = false;
    QByteArray bytes;
    QString failure; // why nothing was read, such as "it is a named pipe (FIFO)"; empty if read
};

// A file that does not exist reads as no bytes without failure. The file is looked at before it
// is opened and again after (without blocking), so a FIFO or a device is never read from.
PickedFile readPickedFile(const QString& path);

// The cell identity as the locator's five fields hold it.
struct CellIdentity {
    QString operatorName;
    QString mcc;
    QString mnc;
    QString lac;
    QString cellid;
};

// The five keys of section "Value"; names match whatever their case, and a key the file lacks
// (or a file that does not exist) gives empty text. None, after a message box, when the file is
// refused or cannot be read.
std::optional<CellIdentity> openIdFile(const QString& path, MessageSink& messages,
                                       const QString& title);

// The entries to set in section "Value", as key and value, in the order a new file lists them.
using IdEntries = QList<QPair<QString, QString>>;

// Sets the entries in section "Value" of the file, keeping whatever else it holds, and writes it
// atomically (in place where the folder refuses, once room for it is reserved). An existing
// file is replaced only after the user agrees; one that is not an ID file (text outside any
// section, or not text at all) needs a second answer that names what will be lost. A refused or
// unreadable file, a declined question or a failed write leaves the file as it was; a failure
// says why in a message box. True when the file was written.
bool saveIdFile(const QString& path, const IdEntries& entries, MessageSink& messages,
                const QString& title);

// The buttons that open and save an ID file: the dialog offers *.ini files and adds ".ini" to a
// name typed without one, then the pick is opened or saved as above. A cancel does nothing
// (none, false).
std::optional<CellIdentity> pickAndOpenIdFile(FileDialog& dialog, MessageSink& messages,
                                              const QString& title);
bool pickAndSaveIdFile(FileDialog& dialog, const IdEntries& entries, MessageSink& messages,
                       const QString& title);
