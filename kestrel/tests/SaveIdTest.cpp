#include "kestrel/tests/WindowFixture.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// What a file made from nothing holds for the reading that SaveIdTest shows.
const QByteArray freshFile = "[Value]\r\n"
                             "cellid=20512345\r\n"
                             "lac=7812\r\n"
                             "mnc=02\r\n"
                             "mcc=250\r\n"
                             "operator=MegaFon (3G)\r\n"
                             "\r\n";

class SaveIdTest : public WindowFixture
{
protected:
    SaveIdTest()
    {
        port.setPortOpen(true);
        reportOperator(QStringLiteral("MegaFon"));
        showCell("20512345", "7812", "02", "250", "MegaFon (3G)");
    }

    void showCell(const QString& cellId, const QString& lac, const QString& mnc, const QString& mcc,
                  const QString& operatorLine)
    {
        form().LblCellID->setText(cellId);
        form().LblLAC->setText(lac);
        form().LblMNC->setText(mnc);
        form().LblMCC->setText(mcc);
        form().LblCOPS->setText(operatorLine);
    }

    // One operator reply, as the polling cycle reads it: a name, or no operator when empty.
    void reportOperator(const QString& name)
    {
        port.scriptedReads = {name.isEmpty()
                                  ? QStringLiteral("\r\n+COPS: 0\r\n\r\nOK\r\n")
                                  : QStringLiteral("\r\n+COPS: 0,0,\"%1\",2\r\n").arg(name)};
        form().PCOPS();
        form().Timer1->stop();
    }

    // A click on "Save id" with the user picking `fileName` (empty: cancelling).
    void saveAs(const QString& fileName)
    {
        dialog.nextChoices = QStringList{fileName};
        form().CommandSave->click();
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
};

TEST_F(SaveIdTest, ANewFileHoldsTheFiveLabelsInOrder)
{
    saveAs(path("id.ini"));
    EXPECT_EQ(dialog.shown, QStringList{"save"});
    EXPECT_EQ(dialog.defaultExt, QStringLiteral("ini"));
    EXPECT_EQ(dialog.filter, QStringLiteral("(*.ini)|*.ini"));
    EXPECT_EQ(readBytes(path("id.ini")), freshFile);
}

// The save's own refusals (folders, missing folders) are the ID file's, tested with plover.
TEST_F(SaveIdTest, NothingIsWrittenWithoutAnOperatorOrWithACancel)
{
    saveAs(path("id.ini"));
    showCell("9", "9", "99", "999", "Other (2G)");
    const struct {
        const char* shows;
        QString operatorText;
        QString choice;
    } rows[] = {
        {"no operator known yet", "", path("id.ini")},
        {"a cancelled dialog", "MegaFon", ""},
        {"replacing declined", "MegaFon", path("id.ini")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        reportOperator(row.operatorText);
        saveAs(row.choice);
        EXPECT_EQ(readBytes(path("id.ini")), freshFile);
    }
    EXPECT_EQ(dialog.shown.size(), 3) << "the dialog is not shown without an operator";
    EXPECT_EQ(messages.asked.size(), 1) << "only the existing file is asked about";
    EXPECT_TRUE(messages.shown.isEmpty());
}

} // namespace
