#include "kestrel/Form2.h"

#include "kestrel/HistoryWindow.h"
#include "kestrel/aiming/HistoryView.h"
#include "kestrel/tests/WindowFixture.h"
#include "platform/levelbar/ProgressBar.h"
#include "platform/window/WindowHelpers.h"
#include "tests/support/WaitUntil.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <functional>

namespace
{

class Form2Test : public WindowFixture
{
protected:
    Form2& openView()
    {
        form().Command1->click();
        Form2* view = form().fullScreenView();
        EXPECT_NE(view, nullptr);
        return *view;
    }

    // Closes the view with its close button's event, or Escape pressed on it, and lets the
    // deferred deletion run.
    void closeView(bool byEscape = false)
    {
        ASSERT_NE(form().fullScreenView(), nullptr);
        if (byEscape) { // on the view, active as the user's is
            QApplication::setActiveWindow(form().fullScreenView());
            QTest::keyClick(form().fullScreenView()->windowHandle(), Qt::Key_Escape);
        } else {
            form().fullScreenView()->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static int levelPoints(const Form2& view) { return view.Label2->font().pointSize(); }
};

// Each opening is a screen-sized view at 250 points, whatever the last one was set to;
// closing unloads it, with its close button or Escape.
TEST_F(Form2Test, OpensScreenSizedAt250PointsAndClosingUnloadsIt)
{
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        Form2& view = openView();
        EXPECT_TRUE(view.isVisible());
        EXPECT_EQ(view.frameGeometry().size(), QGuiApplication::primaryScreen()->size());
        EXPECT_EQ(view.Slider1->value(), 250);
        EXPECT_EQ(levelPoints(view), 250);
        EXPECT_TRUE(view.Timer1->isActive());
        view.Slider1->setValue(400);
        QPointer<Form2> closed(&view);
        closeView(opening == 2);
        EXPECT_TRUE(closed.isNull());
        EXPECT_EQ(form().fullScreenView(), nullptr);
    }
}

TEST_F(Form2Test, TheSliderSetsTheLevelSizeWhenTheUserLetsGoOrPressesAKey)
{
    // A mouse press on the slider, a move, and the release.
    const auto release = [](int value) {
        return [value](QSlider* s) {
            s->setSliderDown(true);
            s->setValue(value);
            EXPECT_EQ(s->parentWidget()->findChild<QLabel*>("Label2")->font().pointSize(), 250)
                << "a drag resizes only when it ends";
            s->setSliderDown(false);
        };
    };
    const struct {
        const char* shows;
        std::function<void(QSlider*)> move;
        int value;
        int points;
    } rows[] = {
        {"released at 100", release(100), 100, 100},
        {"0 keeps the size the text had", release(0), 0, 250},
        {"a key down to 0 keeps it too",
         [](QSlider* s) { s->setValue(1), QTest::keyClick(s, Qt::Key_Home); }, 0, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        Form2& view = openView();
        row.move(view.Slider1);
        EXPECT_EQ(view.Slider1->value(), row.value);
        EXPECT_EQ(levelPoints(view), row.points);
        closeView();
    }
}

TEST_F(Form2Test, TheViewGoesWithTheMainWindow)
{
    QPointer<Form2> view(&openView());
    form().Form_Unload();
    EXPECT_FALSE(view->isVisible());
    EXPECT_FALSE(view->Timer1->isActive());

    view = &openView();
    window_.reset();
    EXPECT_TRUE(view.isNull()) << "the view never outlives the window it reads";
}

// The history trace goes with the "Signal history" window and never covers the level text.
TEST_F(Form2Test, TheHistoryTraceShowsWithItsWindowBelowTheLevel)
{
    Form2& view = openView();
    view.Timer1_Timer();
    EXPECT_FALSE(view.TraceView->isVisible()) << "no history window yet";

    form().MnuHistory->trigger();
    for (const int points : {100, 250, 500}) {
        SCOPED_TRACE(points);
        view.Slider1->setValue(points);
        view.Timer1_Timer();
        const int levelBottom = view.Label2->geometry().bottom();
        if (view.TraceView->isVisible()) {
            EXPECT_GT(view.TraceView->geometry().top(), levelBottom);
            EXPECT_EQ(view.TraceView->geometry().bottom(), view.rect().bottom());
        } else {
            EXPECT_GT(levelBottom + 60, view.height()) << "hidden only where there is no room";
        }
    }
    view.Slider1->setValue(100);
    view.Timer1_Timer();
    EXPECT_TRUE(view.TraceView->isVisible());
    form().historyWindow()->close();
    view.Timer1_Timer();
    EXPECT_FALSE(view.TraceView->isVisible());
    closeView();
}

TEST_F(Form2Test, TheViewFollowsTheMainWindowWithinOneTick)
{
    const QColor buttonText = QApplication::palette().color(QPalette::ButtonText);
    const QColor blue(0, 0, 255);
    const QColor green(0, 192, 0);
    const struct {
        const char* shows;
        QString operatorLine;
        QColor colour;
        bool percentMode;
        int barValue;
        at::DbmLevel levelDbm;
        QString levelText;
    } rows[] = {
        {"a 3G operator at -85 dBm", "MegaFon (3G)", blue, false, 14, -85, "  -85"},
        {"percent mode, without a unit", "Beeline (2G)", green, true, 23, -67, "  76"},
        {"a cleared level in dBm mode", QString(), buttonText, false, 0, std::nullopt, "  "},
    };
    Form2& view = openView();
    QSignalSpy ticks(view.Timer1, &QTimer::timeout); // the view's own timer
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        form().LblCOPS->setText(row.operatorLine);
        setTextColour(form().LblCOPS, row.colour);
        form().Check1->setChecked(row.percentMode);
        form().ProgressBar1->setValue(row.barValue);
        LevelDbm() = row.levelDbm;

        const qsizetype before = ticks.count();
        ASSERT_TRUE(waitUntil([&] { return ticks.count() > before; }));
        EXPECT_EQ(view.Label1->text(), row.operatorLine);
        EXPECT_EQ(view.Label2->text(), row.levelText);
        EXPECT_EQ(textColour(view.Label1), row.colour);
        EXPECT_EQ(textColour(view.Label2), row.colour);
        // The labels size themselves to their text.
        EXPECT_EQ(view.Label2->size(), view.Label2->sizeHint());
    }
}

} // namespace
