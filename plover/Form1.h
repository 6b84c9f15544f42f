#pragma once

#include "plover/lookup/CellLookup.h"
#include "plover/place/NearbyCells.h"

#include <QPointer>
#include <QWidget>
#include <optional>

struct CellIdentity;
class FileDialog;
class MessageSink;
class PageLoader;
class QLabel;
class QLineEdit;
class QPushButton;
class RoseWindow;
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
    // The user's place (typed once, remembered) and, after "MAP", the way to the cell from it.
    QLabel* Label6;
    QLineEdit* TxtPlace;
    QLabel* LblWay;

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

    // Where the cells around the user's place are asked for after "MAP"; without one (or
    // without a place) no rose is drawn.
    void setNearbyLoader(PageLoader& loader);
    // The typed place taken: remembered and shown, or, when it is no place, left as it was
    // and the reason in the box's tool tip. Empty text forgets the place.
    void TxtPlace_Return();
    const std::optional<place::Place>& userPlace() const { return place_; }
    // The window of the cells around the place while it is open, else null.
    RoseWindow* roseWindow() const;

private:
    void createControls();
    void orderTabs();
    void connectHandlers(PageLoader& loader);
    void showIdentity(const std::optional<CellIdentity>& identity);
    void cellPlaced(double latitude, double longitude);
    void nearbyCellsCame();

    FileDialog& cmdOpenFile_;
    MessageSink& messages_;
    lookup::CellLookup lookup_;
    UrlOpener& opener_;
    lookup::BaseAddresses bases_;
    std::optional<place::Place> place_;
    PageLoader* nearby_ = nullptr;
    // The cell of the last "MAP" whose position came: the rose marks it.
    lookup::CellFields mapped_;
    QPointer<RoseWindow> roseWindow_;
};
