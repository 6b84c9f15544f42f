// "Save id" of the main window: the five labels in kestrel's order. Dialog, questions and
// refusals are the ID file's own, tested in ini/tests.
#include "kestrel/tests/WindowFixture.h"
#include "tests/support/TempFolder.h"

#include <QLabel>
#include <QPushButton>

namespace
{

TEST_F(WindowFixture, SaveIdWritesTheFiveLabelsOnceAnOperatorIsKnown)
{
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("id.ini"));
    port.setPortOpen(true);
    const auto save = [&] {
        form().LblCellID->setText(QStringLiteral("20512345"));
        form().LblLAC->setText(QStringLiteral("7812"));
        form().LblMNC->setText(QStringLiteral("02"));
        form().LblMCC->setText(QStringLiteral("250"));
        form().LblCOPS->setText(QStringLiteral("MegaFon (3G)"));
        dialog.nextChoices = QStringList{path};
        form().CommandSave->click();
    };

    save();
    EXPECT_TRUE(dialog.shown.isEmpty()) << "no operator read yet: nothing to save";
    port.scriptedReads = {QStringLiteral("\r\n+COPS: 0,0,\"MegaFon\",2\r\n")};
    form().PCOPS();
    save();
    EXPECT_EQ(dialog.shown, QStringList{"save"});
    EXPECT_EQ(fileBytes(path), "[Value]\r\ncellid=20512345\r\nlac=7812\r\nmnc=02\r\nmcc=250\r\n"
                               "operator=MegaFon (3G)\r\n\r\n");
}

} // namespace
