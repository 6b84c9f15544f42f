#include "platform/message/BoxMessageSink.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

QApplication& app()
{
    static int argc = 1;
    static char name[] = "platform_message_tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}

struct SeenBox {
    bool modal = false;
    QString title;
    QString text;
    int buttons = 0;
    Qt::TextInteractionFlags textFlags;
    Qt::TextFormat format = Qt::AutoText;
};

// Shows one message through the sink, records the box while it is up and presses its button.
SeenBox showAndRecord(const QString& title, const QString& text, bool selectable)
{
    app();
    SeenBox seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.modal = box->isModal();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.buttons = static_cast<int>(box->buttons().size());
        seen.textFlags = box->textInteractionFlags();
        seen.format = box->textFormat();
        box->button(QMessageBox::Ok)->click();
    });
    BoxMessageSink sink;
    sink.show(title, text, selectable);
    return seen;
}

TEST(BoxMessageSink, ShowsAModalBoxWithTitleTextAndOneButton)
{
    const SeenBox seen =
        showAndRecord(QStringLiteral("plover"), QStringLiteral("ID does not exist"), false);
    EXPECT_TRUE(seen.modal);
    EXPECT_EQ(seen.title, QStringLiteral("plover"));
    EXPECT_EQ(seen.text, QStringLiteral("ID does not exist"));
    EXPECT_EQ(seen.buttons, 1);
}

TEST(BoxMessageSink, SelectableTextIsPlainAndCanBeCopied)
{
    const QString address = QStringLiteral("https://example.org/?a=<b>&c=1");
    const SeenBox seen = showAndRecord(QStringLiteral("plover"), address, true);
    EXPECT_EQ(seen.text, address);
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_TRUE(seen.textFlags.testFlag(Qt::TextSelectableByMouse));
}

} // namespace
