#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

// Chooses entry `index` from the box's drop-down list with the mouse, as a user does: open the
// list, click the entry.
inline void pickFromList(QComboBox* box, int index)
{
    box->showPopup();
    QAbstractItemView* view = box->view();
    const QModelIndex entry = box->model()->index(index, 0);
    view->scrollTo(entry);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry).center());
}

// Chooses entry `index` from the open list with the keyboard: move to it, press Return.
inline void pickFromListByKeyboard(QComboBox* box, int index)
{
    box->showPopup();
    box->view()->setCurrentIndex(box->model()->index(index, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
}

// Types `text` into the box and confirms it with Return, the keys going where a user's keys
// go: to the box, which has the focus.
inline void typeAndReturn(QComboBox* box, const QString& text)
{
    box->clearEditText();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}
