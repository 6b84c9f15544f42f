#include "idfile/IdFile.h"

#include "ini/IdFileNames.h"
#include "ini/IniReader.h"
#include "ini/clsINI.h"
#include "platform/filedialog/FileDialog.h"
#include "platform/message/MessageSink.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why a file of this kind and size is not read; empty when it may be.
QString refusal(const struct stat& info)
{
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("it is a folder");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("it is a named pipe (FIFO), not a file");
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return QStringLiteral("it is a device, not a file");
    if (S_ISSOCK(info.st_mode))
        return QStringLiteral("it is a socket, not a file");
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("it is not a regular file");
    if (info.st_size > IdFileSizeLimit)
        return QStringLiteral(
                   "it is larger than 1 MiB (%1 bytes), and an ID file holds a few lines")
            .arg(info.st_size);
    return {};
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { ::close(fd_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads at most `limit` + 1 bytes, so that a file grown past the limit is noticed.
QString readUpTo(int fd, qint64 limit, QByteArray& bytes)
{
    char buffer[64 * 1024];
    while (bytes.size() <= limit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return QStringLiteral("it cannot be read: ") + systemReason(errno);
        if (n == 0)
            return {};
        bytes.append(buffer, n);
    }
    return QStringLiteral("it is larger than 1 MiB, and an ID file holds a few lines");
}

QString quoted(const QString& path)
{
    return QStringLiteral("\u201c%1\u201d").arg(path);
}

bool isText(const QByteArray& bytes)
{
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || u == 0x7f;
    });
}

// What rewriting the file as an ID file would lose besides comments and spacing; empty for a
// file that is one.
QString whatReplacingLoses(const QByteArray& bytes)
{
    if (!isText(bytes))
        return QStringLiteral("its %1 bytes, which are not text").arg(bytes.size());
    QStringList dropped;
    readIniDocument(bytes, &dropped);
    if (dropped.isEmpty())
        return {};
    constexpr qsizetype shown = 60;
    QString first = dropped.first().trimmed();
    if (first.size() > shown)
        first = first.left(shown) + QChar(u'\u2026');
    return (dropped.size() == 1
                ? QStringLiteral("1 line of text outside any section")
                : QStringLiteral("%1 lines of text outside any section").arg(dropped.size())) +
           QStringLiteral(" (the first: %1)").arg(quoted(first));
}

void offerIdFiles(FileDialog& dialog)
{
    dialog.setDefaultExt(QStringLiteral("ini"));
    dialog.setFilter(QStringLiteral("(*.ini)|*.ini"));
}

// An absent key reads as the miss marker, which a field shows as empty text.
QString shown(const QString& value)
{
    return value == IniMissMarker ? QString() : value;
}

} // namespace

PickedFile readPickedFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {
    };
    if (::stat(name.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {};
        return {true, {}, QStringLiteral("it cannot be looked at: ") + systemReason(errno)};
    }
    if (QString why = refusal(info); !why.isEmpty())
        return {true, {}, why};
    // Without blocking: should the name lead to a FIFO by now, opening does not wait for a writer,
    // and the second look below refuses it before any read.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {true, {}, QStringLiteral("it cannot be opened: ") + systemReason(errno)};
    const Descriptor file(fd);
    if (::fstat(file.get(), &info) != 0)
        return {true, {}, QStringLiteral("it cannot be looked at: ") + systemReason(errno)};
    if (QString why = refusal(info); !why.isEmpty())
        return {true, {}, why};
    PickedFile picked{true, {}, {}};
    picked.failure = readUpTo(file.get(), IdFileSizeLimit, picked.bytes);
    if (!picked.failure.isEmpty())
        picked.bytes.clear();
    return picked;
}

std::optional<CellIdentity> openIdFile(const QString& path, MessageSink& messages,
                                       const QString& title)
{
    const PickedFile file = readPickedFile(path);
    if (!file.failure.isEmpty()) {
        messages.show(title,
                      QStringLiteral("%1 was not opened: %2.").arg(quoted(path), file.failure));
        return std::nullopt;
    }
    clsINI ini;
    ini.setFileName(path, file.bytes);
    const auto value = [&ini](const QString& key) {
        return shown(ini.Value(IdFile::Section, key));
    };
    return CellIdentity{value(IdFile::Operator), value(IdFile::Mcc), value(IdFile::Mnc),
                        value(IdFile::Lac), value(IdFile::CellId)};
}

bool saveIdFile(const QString& path, const IdEntries& entries, MessageSink& messages,
                const QString& title)
{
    const auto fail = [&](const QString& why) {
        messages.show(title, QStringLiteral("%1 was not saved: %2.").arg(quoted(path), why));
        return false;
    };
    // The old file is read first: its other sections stay, and a file that cannot be read whole
    // is never replaced by the part that was.
    const PickedFile old = readPickedFile(path);
    if (!old.failure.isEmpty())
        return fail(old.failure);
    if (old.exists) {
        if (!messages.ask(
                title,
                QStringLiteral("%1 already exists. Do you want to replace it?\n\nThe cell "
                               "goes into its section \u201cValue\u201d; other sections "
                               "are kept.")
                    .arg(quoted(path)),
                QStringLiteral("Replace")))
            return false;
        const QString lost = whatReplacingLoses(old.bytes);
        if (!lost.isEmpty() &&
            !messages.ask(title,
                          QStringLiteral("%1 is not an ID file. Saving the cell into it loses %2."
                                         "\n\nReplace it all the same?")
                              .arg(quoted(path), lost),
                          QStringLiteral("Replace and Lose It")))
            return false;
    }

    clsINI ini;
    ini.setFileName(path, old.bytes);
    for (const auto& [key, value] : entries)
        ini.setValue(IdFile::Section, key, value);
    try {
        ini.UpdateFile();
    } catch (const IniFileError& error) {
        return fail(QStringLiteral("it ") + error.reason());
    }
    return true;
}

std::optional<CellIdentity> pickAndOpenIdFile(FileDialog& dialog, MessageSink& messages,
                                              const QString& title)
{
    constexpr int hideReadOnly = 4;
    dialog.setFlags(hideReadOnly);
    offerIdFiles(dialog);
    dialog.ShowOpen();
    const QString path = dialog.FileName();
    if (path.isEmpty())
        return std::nullopt;
    return openIdFile(path, messages, title);
}

bool pickAndSaveIdFile(FileDialog& dialog, const IdEntries& entries, MessageSink& messages,
                       const QString& title)
{
    offerIdFiles(dialog);
    dialog.ShowSave();
    const QString path = dialog.FileName();
    return !path.isEmpty() && saveIdFile(path, entries, messages, title);
}
