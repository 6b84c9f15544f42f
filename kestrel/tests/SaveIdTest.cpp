// "Save id" of the main window: the last reading's cell identity in kestrel's order. Dialog,
// questions and refusals are the ID file's own, tested with it.
#include "kestrel/tests/WindowFixture.h"
#include "tests/support/TempFolder.h"

#include <QLabel>
#include <QPushButton>

namespace
{

TEST_F(WindowFixture, SaveIdWritesTheLastReadingOnceAnOperatorIsKnown)
{
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("id.ini"));
    port.setPortOpen(true);
    dialog.nextChoices = QStringList{path};
    form().CommandSave->click();
    EXPECT_TRUE(dialog.shown.isEmpty()) << "no operator read yet: nothing to save";

    cycle();
    QStringList codeCycle = kWholeCycle;
    codeCycle[0] = QStringLiteral("\r\n+COPS: 0,2,\"25002\",2\r\n\r\nOK\r\n");
    cycle(codeCycle);
    form().CommandSave->click();
    EXPECT_EQ(dialog.shown, QStringList{"save"});
    EXPECT_EQ(fileBytes(path), "[Value]\r\ncellid=12834021\r\nlac=6699\r\nmnc=02\r\nmcc=250\r\n"
                               "operator=Mobile Net (3G)\r\n\r\n");
}

} // namespace
