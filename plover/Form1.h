#pragma once

#include "plover/lookup/CellLookup.h"

#include <QWidget>
#include <optional>

struct CellIdentity;
class FileDialog;
class MessageSink;
class PageLoader;
class QLabel;
class QLineEdit;
class QPushButton;
class UrlOpener;

// The locator's window: five fields of a cell identity, buttons to open and save them as an ID
// file, and "MAP", which looks the cell up and shows it on a web map. The page loader stands in
// for the hidden browser of the lookup.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    Form1(FileDialog& cmdOpenFile, PageLoader& WebBrowser1, UrlOpener& browser,
          MessageSink& messages, lookup::BaseAddresses bases = lookup::basesInEffect(),
          QWidget* parent = nullptr);

    // The controls, each with its own name as objectName.
    QPushButton* CommandOpen;
    QPushButton* CommandSave;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* Txtoperator;
    QLineEdit* Txtmcc;
    QLineEdit* Txtmnc;
    QLineEdit* Txtlac;
    QLineEdit* Txtcellid;
    QPushButton* Command1;

    // Handlers.
    void CommandOpen_Click();
    void CommandSave_Click();
    void Command1_Click();
    void web1();
    void web2();

    // Fills the five fields from an ID file, as the open button does after its dialog; a file
    // that is refused or cannot be read leaves them as they are, after a message box.
    void openIdFile(const QString& fileName);

    const lookup::LookupValues& lookupValues() const { return lookup_.values(); }

private:
    void createControls();
    void orderTabs();
    void connectHandlers(PageLoader& loader);
    void showIdentity(const std::optional<CellIdentity>& identity);

    FileDialog& cmdOpenFile_;
    MessageSink& messages_;
    lookup::CellLookup lookup_;
};
