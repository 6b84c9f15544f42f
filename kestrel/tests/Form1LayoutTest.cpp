#include "kestrel/Form1.h"
#include "kestrel/tests/TestApplication.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace
{

class Form1LayoutTest : public testing::Test, WithApplication
{
protected:
    FakeCommControl serial;
    FakeDeviceInventory inventory;
    FakeSoundPlayer sound;
    FakeFileDialog dialog;
    Form1 form{{serial, inventory, sound, dialog, QString()}};
};

struct Placement {
    const char* name;
    int left, top, width, height; // twips
};

// The window's design, in twips.
const Placement placements[] = {
    {"Shape2", 240, 360, 6735, 1455},   {"Shape1", 360, 480, 6495, 1215},
    {"Label5", 240, 120, 3255, 255},    {"ProgressBar1", 480, 600, 6255, 375},
    {"Label4", 480, 1080, 495, 255},    {"LblMCC", 960, 1080, 735, 255},
    {"Label3", 1800, 1080, 495, 375},   {"LblMNC", 2280, 1080, 735, 255},
    {"Label1", 3120, 1080, 495, 375},   {"LblLAC", 3600, 1080, 1215, 255},
    {"Label2", 4920, 1080, 615, 375},   {"LblCellID", 5520, 1080, 1815, 255},
    {"LblCOPS", 480, 1320, 2655, 255},  {"LblCSQ", 3000, 1320, 1335, 300},
    {"Check1", 240, 1920, 255, 255},    {"Label6", 600, 1920, 1695, 255},
    {"Check2", 3720, 1920, 255, 255},   {"Label7", 4080, 1920, 1335, 255},
    {"Command1", 6000, 2040, 975, 375}, {"Label8", 240, 2400, 615, 255},
    {"Combo1", 840, 2400, 4335, 315},   {"CommandSave", 6000, 2640, 975, 375},
    {"Label9", 240, 2760, 1695, 255},   {"Combo2", 2040, 2760, 3135, 315},
    {"Label10", 2640, 3480, 1455, 255}, {"Command2", 7920, 720, 1095, 495},
    {"Text1", 360, 5400, 3375, 285},
};

TEST_F(Form1LayoutTest, EveryControlSitsWhereTheDesignPutsIt)
{
    for (const auto& place : placements) {
        SCOPED_TRACE(place.name);
        const auto* control = form.findChild<QWidget*>(QLatin1String(place.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(),
                  QRect(place.left / 15, place.top / 15, place.width / 15, place.height / 15));
    }
}

TEST_F(Form1LayoutTest, TheWindowIsFixedAndGrey)
{
    EXPECT_EQ(form.minimumSize(), QSize(484, 220));
    EXPECT_EQ(form.maximumSize(), QSize(484, 220));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(192, 192, 192));
    // The panel lies behind every other control, the black inner rectangle on the grey one.
    const auto order = form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_GE(order.size(), 2);
    EXPECT_EQ(order[0], form.Shape2);
    EXPECT_EQ(order[1], form.Shape1);
    EXPECT_EQ(form.Shape1->palette().color(QPalette::Window), QColor(Qt::black));
}

TEST_F(Form1LayoutTest, ChoicesStartEmptyAndUnchecked)
{
    ASSERT_EQ(form.Combo1->count(), 27);
    for (int i = 0; i <= 26; ++i) {
        EXPECT_EQ(form.Combo1->itemText(i), QString::number(i));
    }
    EXPECT_TRUE(form.Combo1->isEditable());
    EXPECT_TRUE(form.Combo1->currentText().isEmpty());
    EXPECT_EQ(form.Combo1->palette().color(QPalette::Base), QColor(128, 128, 128));
    EXPECT_EQ(form.Combo1->palette().color(QPalette::Text), QColor(224, 224, 224));
    const QStringList modes{"3G Only", "3G Preferred", "GPRS/EDGE Only",
                            "4G Only", "4G Preferred", "Automatic"};
    ASSERT_EQ(form.Combo2->count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(form.Combo2->itemText(i), modes[i]);
    }
    EXPECT_TRUE(form.Combo2->currentText().isEmpty());
    EXPECT_FALSE(form.Check1->isChecked());
    EXPECT_FALSE(form.Check2->isChecked());
    EXPECT_TRUE(form.Check1->text().isEmpty());
    EXPECT_EQ(form.Text1->text(), QStringLiteral("Text1"));
    EXPECT_EQ(form.Command2->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
}

} // namespace
