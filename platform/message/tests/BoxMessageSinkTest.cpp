#include "platform/message/BoxMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

TEST(BoxMessageSink, ModalBoxWithTitleAndSelectablePlainText)
{
    int argc = 1;
    char name[] = "platform_message_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QMessageBox seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.setWindowTitle(box->windowTitle());
        seen.setText(box->text());
        seen.setTextFormat(box->textFormat());
        seen.setTextInteractionFlags(box->textInteractionFlags());
        seen.setStandardButtons(box->standardButtons());
        box->accept();
    });
    const QString address = QStringLiteral("https://example.org/?a=<b>&c=1");
    BoxMessageSink().show(QStringLiteral("plover"), address, true);

    EXPECT_EQ(seen.windowTitle(), QStringLiteral("plover"));
    EXPECT_EQ(seen.text(), address);
    EXPECT_EQ(seen.textFormat(), Qt::PlainText);
    EXPECT_TRUE(seen.textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
    EXPECT_EQ(seen.standardButtons(), QMessageBox::Ok);
}

} // namespace
