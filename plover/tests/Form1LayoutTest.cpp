#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"
#include "plover/Form1.h"
#include "tests/support/TestApp.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace
{

class Form1Layout : public testing::Test
{
protected:
    WidgetApp app;
    FakeFileDialog dialog;
    FakePageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    Form1 form{dialog, loader, opener, messages};
};

TEST_F(Form1Layout, ControlsSitWhereTheDesignPutsThem)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("plover"));
    EXPECT_EQ(form.size(), QSize(539, 131));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());

    const struct {
        const char* name;
        const char* caption; // empty for a text box, which starts empty
        QRect pixels;
    } rows[] = {
        {"CommandOpen", "PLOVER", {8, 8, 57, 25}},  {"CommandSave", "SAVE ID", {80, 8, 57, 25}},
        {"Label1", "Operator :", {8, 40, 121, 17}}, {"Label2", "MCC :", {144, 40, 89, 17}},
        {"Label3", "MNC :", {240, 40, 89, 17}},     {"Label4", "LAC :", {336, 40, 89, 17}},
        {"Label5", "CELL ID :", {432, 40, 89, 17}}, {"Txtoperator", "", {8, 56, 121, 33}},
        {"Txtmcc", "", {144, 56, 89, 33}},          {"Txtmnc", "", {240, 56, 89, 33}},
        {"Txtlac", "", {336, 56, 89, 33}},          {"Txtcellid", "", {432, 56, 97, 33}},
        {"Command1", "MAP", {8, 96, 57, 25}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto* control = form.findChild<QWidget*>(QString::fromLatin1(row.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), row.pixels);
        QString caption = QStringLiteral("<none>");
        if (auto* button = qobject_cast<QPushButton*>(control))
            caption = button->text();
        else if (auto* label = qobject_cast<QLabel*>(control))
            caption = label->text();
        else if (auto* box = qobject_cast<QLineEdit*>(control))
            caption = box->isReadOnly() ? QStringLiteral("<read-only>") : box->text();
        EXPECT_EQ(caption, QString::fromLatin1(row.caption));
    }
    EXPECT_EQ(form.Txtcellid, form.findChild<QLineEdit*>(QStringLiteral("Txtcellid")));
}

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

} // namespace
