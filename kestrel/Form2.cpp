#include "kestrel/Form2.h"

#include "kestrel/Form1.h"
#include "kestrel/HistoryWindow.h"
#include "kestrel/LevelDbm.h"
#include "kestrel/aiming/AimingAids.h"
#include "kestrel/aiming/HistoryView.h"
#include "platform/levelbar/ProgressBar.h"
#include "platform/window/WindowHelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QWindow>

namespace
{

QFont boldSerif(int points)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(points);
    font.setBold(true);
    return font;
}

// A label that sizes itself to its text, with its top left corner fixed.
QLabel* makeSizingLabel(QWidget* parent, const char* name, const QPoint& topLeft, const QFont& font)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->move(topLeft);
    label->setFont(font);
    label->adjustSize();
    return label;
}

void copyText(QLabel* label, const QString& text)
{
    if (label->text() != text) {
        label->setText(text);
        label->adjustSize();
    }
}

constexpr int initialSize = 250;
constexpr int sizeBeforeFirstSetting = 24;
// Below the level text, a trace lower than this would show nothing to read.
constexpr int lowestTrace = 60;

} // namespace

QString fullScreenLevelText(bool percentMode, double barPercentage, at::DbmLevel levelDbm)
{
    const QString level = percentMode ? QString::number(at::roundHalfToEven(barPercentage))
                                      : at::levelDbmText(levelDbm);
    return QStringLiteral("  ") + level;
}

Form2::Form2(const Form1& mainWindow) : mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("FULL SCREEN"));
    setWindowIcon(mainWindow.windowIcon());
    resize(twipsRect(0, 0, 9915, 5385).size());
    setFont(mainWindow.font());
    setAutoFillBackground(true);
    setColour(this, QPalette::Window, Qt::black);

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(twipsRect(120, 120, 2895, 615));
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setLineWidth(1);
    setTextColour(Shape1, Qt::white);

    Slider1 = new QSlider(Qt::Horizontal, this);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setGeometry(twipsRect(240, 240, 2055, 375));
    Slider1->setRange(0, 500);
    Slider1->setValue(initialSize);
    Slider1->setSingleStep(1);
    Slider1->setPageStep(5);

    Label3 = new QLabel(QStringLiteral("SIZE "), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(twipsRect(2400, 360, 615, 255));
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(Label3, Qt::white);

    Label1 = makeSizingLabel(this, "Label1", twipsPoint(120, 720), boldSerif(36));
    Label2 =
        makeSizingLabel(this, "Label2", twipsPoint(120, 1800), boldSerif(sizeBeforeFirstSetting));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);

    // A drag resizes once, on release, not at every step of the way; clicks on the groove and
    // keys resize at once.
    connect(Slider1, &QSlider::sliderReleased, this, [this] { Slider1_Click(); });
    connect(Slider1, &QSlider::valueChanged, this, [this] {
        if (!Slider1->isSliderDown()) {
            Slider1_Click();
        }
    });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    addAction(mainWindow.MnuMark); // the M key here too
    // A view that fills the screen closes the way full-screen views do.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, [this] { close(); });

    TraceView = new HistoryView(mainWindow.aimingAids().history(), this);
    TraceView->setObjectName(QStringLiteral("TraceView"));
    TraceView->setScale(3);
    TraceView->hide();
}

void Form2::placeTrace()
{
    // The history goes with its window, and only where the level text leaves room for it.
    const HistoryWindow* history = mainWindow_.historyWindow();
    const int top = Label2->geometry().bottom() + 1;
    const bool shown = history && history->isVisible() && height() - top >= lowestTrace;
    if (shown) {
        const QRect below(0, top, width(), height() - top);
        if (TraceView->geometry() != below) {
            TraceView->setGeometry(below);
        }
    }
    if (TraceView->isVisible() != shown) {
        TraceView->setVisible(shown);
    }
}

void Form2::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeTrace();
}

void Form2::refreshHistory()
{
    TraceView->update();
}

void Form2::contextMenuEvent(QContextMenuEvent* event)
{
    mainWindow_.MenuAiming->exec(event->globalPos());
}

void Form2::Form_Load()
{
    // The window opens where the system places new windows, its frame as large as the
    // screen. Frame margins are known once the native window exists (on X11 only after the
    // window manager has framed it; until then they count as none).
    winId();
    if (const QScreen* shownOn = screen()) {
        resize(shownOn->size().shrunkBy(windowHandle()->frameMargins()));
    }
    setLevelTextSize(Slider1->value());
    Timer1->start();
}

void Form2::Slider1_Click()
{
    setLevelTextSize(Slider1->value());
}

void Form2::Timer1_Timer()
{
    copyText(Label1, mainWindow_.LblCOPS->text());
    setTextColour(Label1, textColour(mainWindow_.LblCOPS));
    setTextColour(Label2, mainWindow_.levelColour());
    copyText(Label2, fullScreenLevelText(mainWindow_.Check1->isChecked(),
                                         mainWindow_.ProgressBar1->Percentage(), LevelDbm()));
    placeTrace();
}

void Form2::closeEvent(QCloseEvent* event)
{
    Timer1->stop();
    event->accept();
}

void Form2::setLevelTextSize(int points)
{
    // A font of no size does not exist: at 0 the text keeps the size it has.
    if (points <= 0 || Label2->font().pointSize() == points) {
        return;
    }
    QFont font = Label2->font();
    font.setPointSize(points);
    Label2->setFont(font);
    Label2->adjustSize();
    placeTrace();
}
