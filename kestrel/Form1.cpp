#include "kestrel/Form1.h"

#include "kestrel/Form1Presenter.h"
#include "kestrel/Form2.h"
#include "kestrel/aiming/AimingAids.h"
#include "kestrel/at/NetworkMode.h"
#include "kestrel/monitor/MonitorCore.h"
#include "packaging/icons/ProgramIcon.h"
#include "platform/levelbar/ProgressBar.h"
#include "platform/window/WindowHelpers.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace
{

const QColor windowGrey(192, 192, 192);
const QColor panelGrey(64, 64, 64);
const QColor boxText(224, 224, 224);

const QString timesNewRoman = QStringLiteral("Times New Roman");
const QString msSansSerif = QStringLiteral("MS Sans Serif");
const QString microsoftSansSerif = QStringLiteral("Microsoft Sans Serif");

// The window's fonts are Windows fonts; on Linux they resolve to metric-compatible Liberation
// fonts where installed, else to DejaVu.
void installFontSubstitutes()
{
    const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                           QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(msSansSerif, sans);
    QFont::insertSubstitutions(microsoftSansSerif, sans);
    QFont::insertSubstitutions(
        timesNewRoman, {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
}

QFont windowFont(const QString& family, double points, bool bold = false)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A display label: transparent, text at the top left, clipped to its box.
QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& text,
                  const QColor& colour, const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font);
    setColour(label, QPalette::WindowText, colour);
    return label;
}

// A filled rectangle with a one-pixel border.
QFrame* makeShape(QWidget* parent, const char* name, const QRect& geometry, const QColor& fill,
                  const QColor& border)
{
    auto* shape = new QFrame(parent);
    shape->setObjectName(QLatin1String(name));
    shape->setGeometry(geometry);
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setLineWidth(1);
    shape->setAutoFillBackground(true);
    QPalette palette = shape->palette();
    palette.setColor(QPalette::Window, fill);
    palette.setColor(QPalette::WindowText, border);
    shape->setPalette(palette);
    return shape;
}

QComboBox* makeBox(QWidget* parent, const char* name, const QRect& geometry,
                   const QStringList& items)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    box->setEditable(true);
    // Typed text is a port or mode to try, not a new list item.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    QPalette palette = box->palette();
    for (const auto role : {QPalette::Base, QPalette::Button, QPalette::Window}) {
        palette.setColor(role, captionGrey);
    }
    for (const auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
        palette.setColor(role, boxText);
    }
    box->setPalette(palette);
    return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QRect& geometry,
                        const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

QCheckBox* makeCheck(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* check = new QCheckBox(parent);
    check->setObjectName(QLatin1String(name));
    check->setGeometry(geometry);
    return check;
}

QTimer* makeTimer(QObject* parent, const char* name, int intervalMs)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(intervalMs);
    return timer;
}

// Linux numbers its USB serial ports from 0.
QStringList portChoices()
{
    QStringList choices;
    for (int port = 0; port <= 26; ++port) {
        choices << QString::number(port);
    }
    return choices;
}

} // namespace

Form1::Form1(MonitorCore& core, WindowPlatform platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      MMControl1(platform.MMControl1), cmdOpenFile(platform.cmdOpenFile), core_(core),
      executableFolder_(std::move(platform.executableFolder)),
      messages_(platform.messages ? *platform.messages : boxes_),
      aiming_(new AimingAids(platform.toneOutput, this))
{
    installFontSubstitutes();
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(programIcon(QStringLiteral("kestrel")));
    setFixedSize(pixels(7260), kDesignHeight);
    setFont(windowFont(msSansSerif, 8.25));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, windowGrey);
    palette.setColor(QPalette::Button, windowGrey);
    setPalette(palette);

    createPanel();
    createDisplayFields();
    createChoices();
    createHiddenControls();
    LblLteCell->raise();
    createAimingMenu();
    Timer3 = makeTimer(this, "Timer3", 2000);
    connectHandlers();
    connectCore();
}

void Form1::createPanel()
{
    Shape2 = makeShape(this, "Shape2", twipsRect(240, 360, 6735, 1455), panelGrey, panelGrey);
    Shape1 = makeShape(this, "Shape1", twipsRect(360, 480, 6495, 1215), Qt::black, panelGrey);
    Shape1->lower();
    Shape2->lower();
}

void Form1::createDisplayFields()
{
    const QFont serif = windowFont(timesNewRoman, 8.25);
    const QFont fieldFont = windowFont(msSansSerif, 8.25, true);
    const QFont fieldFontNew = windowFont(microsoftSansSerif, 8.25, true);

    Label5 = makeLabel(this, "Label5", twipsRect(240, 120, 3255, 255), QStringLiteral("KESTREL"),
                       captionGrey, windowFont(timesNewRoman, 9.75));

    ProgressBar1 = new ProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(twipsRect(480, 600, 6255, 375));
    ProgressBar1->setMin(LevelBarMinimum);
    ProgressBar1->setMax(LevelBarMaximum);
    ProgressBar1->setValue(1);
    // The menu-text colour of the system palette (black in the usual schemes).
    ProgressBar1->setBackColor(QApplication::palette().color(QPalette::WindowText));
    ProgressBar1->setBarColorStart(lightBlue);
    ProgressBar1->setBarColorEnd(lightBlue);
    ProgressBar1->setTextColor(lightBlue);
    ProgressBar1->setFont(windowFont(msSansSerif, 8.25));

    Label4 = makeLabel(this, "Label4", twipsRect(480, 1080, 495, 255), QStringLiteral("MCC :  "),
                       lightBlue, serif);
    LblMCC = makeLabel(this, "LblMCC", twipsRect(960, 1080, 735, 255), QString(), lightBlue,
                       fieldFontNew);
    Label3 = makeLabel(this, "Label3", twipsRect(1800, 1080, 495, 375), QStringLiteral("MNC :  "),
                       lightBlue, serif);
    LblMNC = makeLabel(this, "LblMNC", twipsRect(2280, 1080, 735, 255), QString(), lightBlue,
                       fieldFontNew);
    Label1 = makeLabel(this, "Label1", twipsRect(3120, 1080, 495, 375), QStringLiteral("LAC :  "),
                       lightBlue, serif);
    LblLAC = makeLabel(this, "LblLAC", twipsRect(3600, 1080, 1215, 255), QString(), lightBlue,
                       fieldFont);
    Label2 = makeLabel(this, "Label2", twipsRect(4920, 1080, 615, 375),
                       QStringLiteral("Cell ID : "), lightBlue, serif);
    LblCellID = makeLabel(this, "LblCellID", twipsRect(5520, 1080, 1815, 255), QString(), lightBlue,
                          fieldFont);
    // Until the operator query colours it, the operator line uses the button-text colour.
    LblCOPS = makeLabel(this, "LblCOPS", twipsRect(480, 1320, 2655, 255), QString(),
                        QApplication::palette().color(QPalette::ButtonText),
                        windowFont(microsoftSansSerif, 9, true));
    LblCSQ = makeLabel(this, "LblCSQ", twipsRect(3000, 1320, 1335, 300), QString(), lightBlue,
                       windowFont(msSansSerif, 12, true));
    LblCSQ->setAutoFillBackground(true);
    setColour(LblCSQ, QPalette::Window, Qt::black);

    // The black panel's free area right of the level.
    LblQuality = makeLabel(this, "LblQuality", QRect(291, 88, 164, 25), QString(), lightBlue,
                           windowFont(msSansSerif, 7));
    LblQuality->setVisible(false);
    // Covers the signature below the window's bottom edge, which the grown window would bare.
    LblLteCell = makeLabel(this, "LblLteCell", QRect(16, kDesignHeight, 468, kLteLineHeight),
                           QString(), captionGrey, windowFont(msSansSerif, 8.25));
    LblLteCell->setAutoFillBackground(true);
    LblLteCell->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    LblLteCell->setVisible(false);
}

void Form1::createChoices()
{
    const QFont serif = windowFont(timesNewRoman, 8.25);

    Check1 = makeCheck(this, "Check1", twipsRect(240, 1920, 255, 255));
    Label6 = makeLabel(this, "Label6", twipsRect(600, 1920, 1695, 255),
                       QStringLiteral("LEVEL PERCENTAGE "), captionGrey, serif);
    Check2 = makeCheck(this, "Check2", twipsRect(3720, 1920, 255, 255));
    Label7 = makeLabel(this, "Label7", twipsRect(4080, 1920, 1335, 255),
                       QStringLiteral("LEVEL AS VOICE"), captionGrey, serif);
    Command1 = makeButton(this, "Command1", twipsRect(6000, 2040, 975, 375),
                          QStringLiteral("Full screen"));
    Label8 = makeLabel(this, "Label8", twipsRect(240, 2400, 615, 255), QStringLiteral("PORT"),
                       captionGrey, serif);
    Combo1 = makeBox(this, "Combo1", twipsRect(840, 2400, 4335, 315), portChoices());
    CommandSave =
        makeButton(this, "CommandSave", twipsRect(6000, 2640, 975, 375), QStringLiteral("Save id"));
    Label9 = makeLabel(this, "Label9", twipsRect(240, 2760, 1695, 255),
                       QStringLiteral("CONNECTION TYPE"), captionGrey, serif);
    Combo2 = makeBox(this, "Combo2", twipsRect(2040, 2760, 3135, 315), at::networkModeEntries());
    Label10 = makeLabel(this, "Label10", twipsRect(2640, 3480, 1455, 255),
                        QStringLiteral("Kestrel signal monitor"), captionGrey,
                        windowFont(timesNewRoman, 6.75));
}

void Form1::createHiddenControls()
{
    Command2 =
        makeButton(this, "Command2", twipsRect(7920, 720, 1095, 495), QStringLiteral("Command2"));
    Text1 = new QLineEdit(QStringLiteral("Text1"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipsRect(360, 5400, 3375, 285));
}

void Form1::createAimingMenu()
{
    MenuAiming = new QMenu(this);
    MenuAiming->setObjectName(QStringLiteral("MenuAiming"));
    MnuTone = MenuAiming->addAction(QStringLiteral("Aiming tone"));
    MnuTone->setCheckable(true);
    MnuHistory = MenuAiming->addAction(QStringLiteral("Signal history"));
    MnuRecord = MenuAiming->addAction(QStringLiteral("Record readings…"));
    MnuRecord->setCheckable(true);
    MenuAimBy = MenuAiming->addMenu(QStringLiteral("Aim by"));
    auto* aimBy = new QActionGroup(MenuAimBy);
    for (const AimMeasure measure : kAimMeasures) {
        QAction* action = MenuAimBy->addAction(aimMeasureName(measure));
        action->setCheckable(true);
        aimBy->addAction(action);
        MnuAimBy[static_cast<int>(measure)] = action;
    }
    MnuMark = MenuAiming->addAction(QStringLiteral("Mark…"));
    MnuMark->setShortcut(Qt::Key_M);
    addAction(MnuMark); // the key works while this window is active
}
