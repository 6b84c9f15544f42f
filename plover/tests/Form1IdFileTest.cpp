#include "idfile/IdFile.h"
#include "packaging/icons/ProgramIcon.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"
#include "plover/Form1.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace
{

// A file as the monitor writes it from nothing.
const QByteArray monitorFile =
    "[Value]\r\ncellid=314\r\nlac=78\r\nmnc=01\r\nmcc=250\r\noperator=MTS 3G\r\n\r\n";

// The window with a scripted dialog, over real files in a fresh folder.
class Form1IdFile : public testing::Test
{
protected:
    QStringList fields() const
    {
        QStringList texts;
        for (QLineEdit* box : boxes)
            texts << box->text();
        return texts;
    }
    void fill(const QStringList& values)
    {
        for (int i = 0; i < 5; ++i)
            boxes[i]->setText(values[i]);
    }
    // Clicks the button; the dialog picks `name`, or is cancelled when it is nullptr.
    void use(QPushButton* button, const char* name)
    {
        dialog.nextChoices = name ? QStringList{folder.path(name)} : QStringList{};
        button->click();
    }

    WidgetApp app;
    TempFolder folder;
    FakeFileDialog dialog;
    FakePageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    Form1 form{dialog, loader, opener, messages};
    const QList<QLineEdit*> boxes{form.Txtoperator, form.Txtmcc, form.Txtmnc, form.Txtlac,
                                  form.Txtcellid};
    const QStringList cell{"MTS", "250", "01", "78", "314"};
};

TEST_F(Form1IdFile, OpenFillsTheFieldsAndACancelChangesNothing)
{
    ASSERT_TRUE(folder.write("cell.ini", monitorFile));
    use(form.CommandOpen, "cell.ini");
    EXPECT_EQ(fields(), (QStringList{"MTS 3G", "250", "01", "78", "314"}));
    EXPECT_EQ(dialog.defaultExt, QStringLiteral("ini"));
    EXPECT_EQ(dialog.filter, QStringLiteral("(*.ini)|*.ini"));

    fill(cell);
    use(form.CommandOpen, nullptr);
    EXPECT_EQ(fields(), cell);
}

TEST_F(Form1IdFile, SaveWritesTheFieldsAsTheyAreOnlyForAFullCell)
{
    fill({"", "250", "a;b", "x=y", " 314"});
    use(form.CommandSave, "new.ini");
    EXPECT_EQ(dialog.shown, QStringList{QStringLiteral("save")});
    EXPECT_EQ(folder.read("new.ini"),
              "[Value]\r\noperator=\r\nmcc=250\r\nmnc=a;b\r\nlac=x=y\r\ncellid= 314\r\n\r\n");

    for (QLineEdit* box : {form.Txtmcc, form.Txtmnc, form.Txtlac, form.Txtcellid}) {
        fill(cell);
        box->clear();
        use(form.CommandSave, "blocked.ini");
    }
    EXPECT_EQ(dialog.shown.size(), 1) << "an empty field blocks before the dialog";
    EXPECT_EQ(folder.entries(), QStringList{"new.ini"});
    EXPECT_TRUE(messages.shown.isEmpty() && messages.asked.isEmpty());
}

// The icon's pictures are compared with the installed ones in packaging/tests.
TEST_F(Form1IdFile, TheWindowShowsTheProgramIcon)
{
    EXPECT_EQ(form.windowIcon().pixmap(QSize(32, 32)).toImage(),
              programIcon(QStringLiteral("plover")).pixmap(QSize(32, 32)).toImage());
}

} // namespace
