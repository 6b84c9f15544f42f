#include "platform/message/BoxMessageSink.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace
{

constexpr Qt::TextInteractionFlags Selectable =
    Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;

void showBox(QWidget* parent, const QString& title, const QString& text, bool selectable,
             const QString& detail)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::ApplicationModal);
    // Plain text: whatever a reply or an address holds is shown, never interpreted as markup.
    box.setTextFormat(Qt::PlainText);
    if (selectable)
        box.setTextInteractionFlags(Selectable);
    if (!detail.isEmpty()) {
        box.setInformativeText(detail);
        // The box guesses the detail's format, and its label opens links: a detail that looks
        // like markup would be shown as such. Qt 6.4 gives no setter for it, so it is set on the
        // label that holds the detail.
        for (QLabel* label : box.findChildren<QLabel*>())
            if (label->text() == detail) {
                label->setTextFormat(Qt::PlainText);
                label->setTextInteractionFlags(Selectable);
            }
    }
    box.exec();
}

} // namespace

void BoxMessageSink::show(const QString& title, const QString& text, bool selectable)
{
    showBox(parent_, title, text, selectable, {});
}

void BoxMessageSink::showDetailed(const QString& title, const QString& text, const QString& detail)
{
    showBox(parent_, title, text, true, detail);
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
