#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"
#include "plover/Form1.h"
#include "plover/tests/WidgetApp.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace
{

struct Parts {
    QApplication& app = widgetApp();
    FakeFileDialog dialog;
    FakePageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
};

class Form1Layout : public testing::Test
{
protected:
    Parts parts;
    Form1 form{parts.dialog, parts.loader, parts.opener, parts.messages};
};

TEST_F(Form1Layout, WindowIsPloverWithAFixedClientArea)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("plover"));
    EXPECT_EQ(form.size(), QSize(539, 131));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
}

struct ControlRow {
    const char* name;
    const char* caption; // nullptr for a text box, which starts empty
    QRect pixels;
};

void PrintTo(const ControlRow& row, std::ostream* os)
{
    *os << row.name;
}

class Form1Controls : public Form1Layout, public testing::WithParamInterface<ControlRow>
{
};

TEST_P(Form1Controls, SitWhereTheDesignPutsThem)
{
    const ControlRow& row = GetParam();
    auto* control = form.findChild<QWidget*>(QString::fromLatin1(row.name));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->geometry(), row.pixels);
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        EXPECT_EQ(button->text(), QString::fromUtf8(row.caption));
    else if (auto* label = qobject_cast<QLabel*>(control))
        EXPECT_EQ(label->text(), QString::fromUtf8(row.caption));
    else if (auto* box = qobject_cast<QLineEdit*>(control)) {
        EXPECT_EQ(row.caption, nullptr);
        EXPECT_TRUE(box->text().isEmpty());
        EXPECT_FALSE(box->isReadOnly());
    } else
        ADD_FAILURE() << "unexpected kind of control";
}

INSTANTIATE_TEST_SUITE_P(Table, Form1Controls,
                         testing::Values(ControlRow{"CommandOpen", "PLOVER", {8, 8, 57, 25}},
                                         ControlRow{"CommandSave", "SAVE ID", {80, 8, 57, 25}},
                                         ControlRow{"Label1", "Operator :", {8, 40, 121, 17}},
                                         ControlRow{"Label2", "MCC :", {144, 40, 89, 17}},
                                         ControlRow{"Label3", "MNC :", {240, 40, 89, 17}},
                                         ControlRow{"Label4", "LAC :", {336, 40, 89, 17}},
                                         ControlRow{"Label5", "CELL ID :", {432, 40, 89, 17}},
                                         ControlRow{"Txtoperator", nullptr, {8, 56, 121, 33}},
                                         ControlRow{"Txtmcc", nullptr, {144, 56, 89, 33}},
                                         ControlRow{"Txtmnc", nullptr, {240, 56, 89, 33}},
                                         ControlRow{"Txtlac", nullptr, {336, 56, 89, 33}},
                                         ControlRow{"Txtcellid", nullptr, {432, 56, 97, 33}},
                                         ControlRow{"Command1", "MAP", {8, 96, 57, 25}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Layout, TabOrderRunsFromMapToTheOpenButton)
{
    QStringList order;
    QWidget* widget = form.Command1;
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != form.Command1 && order.size() < 20);
    EXPECT_EQ(order, (QStringList{"Command1", "CommandSave", "Txtoperator", "Txtmcc", "Txtmnc",
                                  "Txtlac", "Txtcellid", "CommandOpen"}));
}

TEST_F(Form1Layout, MembersAreTheNamedControls)
{
    EXPECT_EQ(form.Txtcellid, form.findChild<QLineEdit*>(QStringLiteral("Txtcellid")));
    EXPECT_EQ(form.Command1, form.findChild<QPushButton*>(QStringLiteral("Command1")));
    EXPECT_EQ(form.Label5, form.findChild<QLabel*>(QStringLiteral("Label5")));
}

} // namespace
