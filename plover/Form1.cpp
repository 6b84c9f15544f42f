#include "plover/Form1.h"

#include "geodesy/Geodesy.h"
#include "idfile/IdFile.h"
#include "ini/IdFileNames.h"
#include "packaging/icons/ProgramIcon.h"
#include "platform/web/PageLoader.h"
#include "platform/web/UrlOpener.h"
#include "platform/window/WindowHelpers.h"
#include "plover/CompassRose.h"
#include "plover/RoseWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{

template <typename Control>
Control* placeControl(QWidget* parent, const char* name, const QString& caption, int left, int top,
                      int width, int height)
{
    auto* control = new Control(caption, parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(twipsRect(left, top, width, height));
    return control;
}

QLabel* placeLabel(QWidget* parent, const char* name, const QString& caption, int left, int width)
{
    auto* label = placeControl<QLabel>(parent, name, caption, left, 600, width, 255);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLineEdit* placeTextBox(QWidget* parent, const char* name, int left, int width)
{
    return placeControl<QLineEdit>(parent, name, QString(), left, 840, width, 495);
}

} // namespace

Form1::Form1(FileDialog& cmdOpenFile, PageLoader& WebBrowser1, UrlOpener& browser,
             MessageSink& messages, lookup::BaseAddresses bases, QWidget* parent)
    : QWidget(parent), cmdOpenFile_(cmdOpenFile), messages_(messages),
      lookup_(bases, WebBrowser1, browser, messages), opener_(browser), bases_(std::move(bases)),
      place_(place::rememberedPlace())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("plover"));
    setWindowIcon(programIcon(QStringLiteral("plover")));
    setFixedSize(pixels(8085), pixels(1965));
    createControls();
    orderTabs();
    connectHandlers(WebBrowser1);
}

void Form1::createControls()
{
    CommandOpen = placeControl<QPushButton>(this, "CommandOpen", QStringLiteral("PLOVER"), 120, 120,
                                            855, 375);
    CommandSave = placeControl<QPushButton>(this, "CommandSave", QStringLiteral("SAVE ID"), 1200,
                                            120, 855, 375);
    Label1 = placeLabel(this, "Label1", QStringLiteral("Operator :"), 120, 1815);
    Label2 = placeLabel(this, "Label2", QStringLiteral("MCC :"), 2160, 1335);
    Label3 = placeLabel(this, "Label3", QStringLiteral("MNC :"), 3600, 1335);
    Label4 = placeLabel(this, "Label4", QStringLiteral("LAC :"), 5040, 1335);
    Label5 = placeLabel(this, "Label5", QStringLiteral("CELL ID :"), 6480, 1335);
    Txtoperator = placeTextBox(this, "Txtoperator", 120, 1815);
    Txtmcc = placeTextBox(this, "Txtmcc", 2160, 1335);
    Txtmnc = placeTextBox(this, "Txtmnc", 3600, 1335);
    Txtlac = placeTextBox(this, "Txtlac", 5040, 1335);
    Txtcellid = placeTextBox(this, "Txtcellid", 6480, 1455);
    Command1 =
        placeControl<QPushButton>(this, "Command1", QStringLiteral("MAP"), 120, 1440, 855, 375);
    Label6 =
        placeControl<QLabel>(this, "Label6", QStringLiteral("Your place :"), 1200, 1500, 1095, 255);
    TxtPlace = placeControl<QLineEdit>(this, "TxtPlace", QString(), 2280, 1440, 2595, 375);
    TxtPlace->setPlaceholderText(QStringLiteral("latitude, longitude"));
    TxtPlace->setToolTip(QStringLiteral(
        "Where you are, as \"55.7558, 37.6173\" or a map address with ll=; remembered"));
    if (place_)
        TxtPlace->setText(place::placeText(*place_));
    LblWay = placeControl<QLabel>(this, "LblWay", QString(), 5040, 1500, 2925, 255);
}

void Form1::orderTabs()
{
    // "MAP" first, then the save button, the fields left to right and the open button last.
    const QList<QWidget*> order{Command1, CommandSave, Txtoperator, Txtmcc,     Txtmnc,
                                Txtlac,   Txtcellid,   TxtPlace,    CommandOpen};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    Command1->setFocus();
}

void Form1::connectHandlers(PageLoader& loader)
{
    connect(CommandOpen, &QPushButton::clicked, this, &Form1::CommandOpen_Click);
    connect(CommandSave, &QPushButton::clicked, this, &Form1::CommandSave_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(&loader, &PageLoader::DocumentComplete, this, &Form1::web1);
    connect(&loader, &PageLoader::loadFailed, this,
            [this](const QString& reason) { lookup_.serviceUnreachable(reason); });
    connect(&loader, &PageLoader::replyTooLarge, this, [this] { lookup_.replyTooLarge(); });
    connect(TxtPlace, &QLineEdit::returnPressed, this, &Form1::TxtPlace_Return);
    connect(TxtPlace, &QLineEdit::editingFinished, this, &Form1::TxtPlace_Return);
    lookup_.placed = [this](double latitude, double longitude) { cellPlaced(latitude, longitude); };
}

void Form1::setNearbyLoader(PageLoader& loader)
{
    nearby_ = &loader;
    connect(&loader, &PageLoader::DocumentComplete, this, &Form1::nearbyCellsCame);
    connect(&loader, &PageLoader::loadFailed, this, [this](const QString& reason) {
        LblWay->setToolTip(QStringLiteral("No cells around you: %1").arg(reason));
    });
}

void Form1::TxtPlace_Return()
{
    const QString typed = TxtPlace->text().trimmed();
    if (typed.isEmpty()) {
        place_.reset();
        place::rememberPlace(place_);
        LblWay->clear();
        TxtPlace->setToolTip({});
        return;
    }
    const std::optional<place::Place> read = place::readPlace(typed);
    if (!read) {
        TxtPlace->setToolTip(
            QStringLiteral("\u201c%1\u201d is no place: give latitude, longitude in degrees")
                .arg(typed.left(64)));
        return;
    }
    place_ = read;
    place::rememberPlace(place_);
    TxtPlace->setText(place::placeText(*place_));
    TxtPlace->setToolTip({});
}

void Form1::cellPlaced(double latitude, double longitude)
{
    if (!place_)
        return;
    const geodesy::Position from{place_->latitude, place_->longitude};
    const geodesy::Position cell{latitude, longitude};
    LblWay->setText(
        place::wayText(geodesy::distanceKm(from, cell), geodesy::initialBearingDeg(from, cell)));
    LblWay->setToolTip({});
    mapped_ = {Txtmcc->text(), Txtmnc->text(), Txtlac->text(), Txtcellid->text()};
    if (nearby_)
        nearby_->Navigate(
            place::nearbyCellsAddress(bases_.service, *place_, mapped_.mcc, mapped_.mnc));
}

void Form1::nearbyCellsCame()
{
    const auto cells = place::readNearbyCells(nearby_->replyBody());
    if (!cells) {
        LblWay->setToolTip(QStringLiteral("No cells around you: the service gave no list"));
        return;
    }
    if (!roseWindow_) {
        roseWindow_ = new RoseWindow(this);
        roseWindow_->setAttribute(Qt::WA_DeleteOnClose);
        connect(roseWindow_, &RoseWindow::mapWanted, this, [this](const place::NearbyCell& cell) {
            opener_.open(QUrl(lookup::mapAddress(bases_.map, QString::number(cell.latitude, 'f', 5),
                                                 QString::number(cell.longitude, 'f', 5)),
                              QUrl::StrictMode));
        });
    }
    const QString operatorText = QStringLiteral("%1 %2").arg(mapped_.mcc, mapped_.mnc);
    roseWindow_->showCells(*cells, operatorText, mapped_.lac, mapped_.cellid);
    // The serving cell's own range says how far off its position may be.
    if (const auto serving = roseWindow_->Rose->servingIndex()) {
        const place::NearbyCell& cell = cells->at(*serving);
        LblWay->setText(place::wayText(cell.distanceKm, cell.bearingDeg, cell.rangeM));
    }
    roseWindow_->show();
    roseWindow_->raise();
}

void Form1::CommandOpen_Click()
{
    showIdentity(pickAndOpenIdFile(cmdOpenFile_, messages_, lookup::AppTitle));
}

void Form1::openIdFile(const QString& fileName)
{
    showIdentity(::openIdFile(fileName, messages_, lookup::AppTitle));
}

void Form1::showIdentity(const std::optional<CellIdentity>& identity)
{
    if (!identity)
        return;
    Txtoperator->setText(identity->operatorName);
    Txtmcc->setText(identity->mcc);
    Txtmnc->setText(identity->mnc);
    Txtlac->setText(identity->lac);
    Txtcellid->setText(identity->cellid);
}

void Form1::CommandSave_Click()
{
    if (Txtmcc->text().isEmpty() || Txtmnc->text().isEmpty() || Txtlac->text().isEmpty() ||
        Txtcellid->text().isEmpty())
        return;
    pickAndSaveIdFile(cmdOpenFile_,
                      {{IdFile::Operator, Txtoperator->text()},
                       {IdFile::Mcc, Txtmcc->text()},
                       {IdFile::Mnc, Txtmnc->text()},
                       {IdFile::Lac, Txtlac->text()},
                       {IdFile::CellId, Txtcellid->text()}},
                      messages_, lookup::AppTitle);
}

void Form1::Command1_Click()
{
    lookup_.click({Txtmcc->text(), Txtmnc->text(), Txtlac->text(), Txtcellid->text()});
}

void Form1::web1()
{
    lookup_.web1();
}

void Form1::web2()
{
    lookup_.web2();
}

RoseWindow* Form1::roseWindow() const
{
    return roseWindow_;
}
