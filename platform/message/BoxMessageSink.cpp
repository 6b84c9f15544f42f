#include "platform/message/BoxMessageSink.h"

#include <QMessageBox>
#include <QPushButton>

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

bool BoxMessageSink::ask(const QString& title, const QString& text, const QString& accept)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent_);
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(accept, QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == yes;
}
