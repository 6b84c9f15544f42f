#include "platform/message/BoxMessageSink.h"

#include "tests/support/TestApp.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace
{

// Looks at the box once it runs, from inside its event loop; `look` must close it.
void whenTheBoxRuns(const std::function<void(QMessageBox*)>& look)
{
    QTimer::singleShot(0, [look] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        look(box);
    });
}

TEST(BoxMessageSink, ShowsSelectablePlainTextAndAgreesOnlyThroughTheNamedButton)
{
    WidgetApp app;
    const QString address = QStringLiteral("https://example.org/?a=<b>&c=1");
    bool seen = false;
    whenTheBoxRuns([&](QMessageBox* box) {
        seen = true;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("plover"));
        EXPECT_EQ(box->text(), address);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_TRUE(box->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
        box->accept();
    });
    BoxMessageSink().show(QStringLiteral("plover"), address, true);
    EXPECT_TRUE(seen);

    // A detail that looks like markup, with a link, is shown as it is, to be selected.
    const QString detail = QStringLiteral("<a href=\"https://example.org\">why</a>");
    int shownAsIs = 0;
    whenTheBoxRuns([&](QMessageBox* box) {
        for (const QLabel* label : box->findChildren<QLabel*>())
            shownAsIs += label->text() == detail && label->textFormat() == Qt::PlainText &&
                         label->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard);
        box->accept();
    });
    BoxMessageSink().showDetailed(QStringLiteral("plover"), QStringLiteral("ID does not exist"),
                                  detail);
    EXPECT_EQ(shownAsIs, 1);

    // Enter and Escape both mean Cancel; only the named button agrees.
    for (const bool pressAccept : {false, true}) {
        whenTheBoxRuns([&](QMessageBox* box) {
            EXPECT_EQ(box->text(), QStringLiteral("Replace it?"));
            QAbstractButton* cancel = box->button(QMessageBox::Cancel);
            EXPECT_TRUE(box->defaultButton() == cancel && box->escapeButton() == cancel);
            for (QAbstractButton* button : box->buttons())
                if ((button->text() == QStringLiteral("Replace")) == pressAccept)
                    return button->click();
        });
        EXPECT_EQ(BoxMessageSink().ask("plover", "Replace it?", "Replace"), pressAccept);
    }
}

} // namespace
