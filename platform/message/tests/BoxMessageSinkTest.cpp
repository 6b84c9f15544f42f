#include "platform/message/BoxMessageSink.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
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

// Enter and Escape both mean Cancel; only the named button agrees.
TEST(BoxMessageSink, AQuestionAgreesOnlyThroughItsOwnButton)
{
    int argc = 1;
    char name[] = "platform_message_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    for (const bool pressAccept : {false, true}) {
        QString seenText;
        bool cancelIsDefault = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seenText = box->text();
            QAbstractButton* cancel = box->button(QMessageBox::Cancel);
            cancelIsDefault = static_cast<QAbstractButton*>(box->defaultButton()) == cancel &&
                              box->escapeButton() == cancel;
            for (QAbstractButton* button : box->buttons())
                if ((button->text() == QStringLiteral("Replace")) == pressAccept)
                    return button->click();
        });
        const bool agreed = BoxMessageSink().ask(
            QStringLiteral("plover"), QStringLiteral("Replace it?"), QStringLiteral("Replace"));
        EXPECT_EQ(agreed, pressAccept);
        EXPECT_EQ(seenText, QStringLiteral("Replace it?"));
        EXPECT_TRUE(cancelIsDefault);
    }
}

} // namespace
