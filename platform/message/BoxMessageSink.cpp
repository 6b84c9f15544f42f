#include "platform/message/BoxMessageSink.h"

#include <QMessageBox>

void BoxMessageSink::show(const QString& title, const QString& text, bool selectable)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent_);
    box.setWindowModality(Qt::ApplicationModal);
    // Plain text: whatever a reply or an address holds is shown, never interpreted as markup.
    box.setTextFormat(Qt::PlainText);
    if (selectable)
        box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}
