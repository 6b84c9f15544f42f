#pragma once

// Watchers of the main window's editable combo boxes: which events are a pick from the list,
// and Return in the edit field.
#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>
#include <functional>

// Calls `onPick` when an entry is chosen from the box's drop-down list, by mouse or by keyboard
// in the open list. QComboBox::activated alone cannot tell that apart: in an editable box it
// also fires when typed text that equals an entry is confirmed with Return or left by moving
// the focus, and for arrow keys or the wheel on the closed box.
//
// The watcher sees each event before the box does. A release or Return in the open list arms
// it, and the box emits activated while it handles that same event. Every other source of
// activated starts with a key press, a focus loss or a wheel turn at the box or its edit field,
// which disarms it first.
class ListPickWatcher : public QObject
{
public:
    ListPickWatcher(QComboBox* box, std::function<void()> onPick)
        : QObject(box), onPick_(std::move(onPick))
    {
        for (QObject* target :
             {static_cast<QObject*>(box->view()), static_cast<QObject*>(box->view()->viewport())}) {
            target->installEventFilter(this);
            listParts_ << target;
        }
        for (QObject* target :
             {static_cast<QObject*>(box), static_cast<QObject*>(box->lineEdit())}) {
            if (target) {
                target->installEventFilter(this);
            }
        }
        connect(box, &QComboBox::activated, this, [this] {
            if (armed_) {
                armed_ = false;
                onPick_();
            }
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (listParts_.contains(watched)) {
            if (isListPick(event)) {
                armed_ = true;
            }
        } else if (isTypingOrStepping(event)) {
            armed_ = false;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // The open list takes Return already at the shortcut check that precedes the key press.
    static int keyOf(const QEvent* event)
    {
        const bool keyEvent =
            event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
        return keyEvent ? static_cast<const QKeyEvent*>(event)->key() : 0;
    }
    static bool isListPick(const QEvent* event)
    {
        const int key = keyOf(event);
        return event->type() == QEvent::MouseButtonRelease || key == Qt::Key_Return ||
               key == Qt::Key_Enter || key == Qt::Key_Select;
    }
    static bool isTypingOrStepping(const QEvent* event)
    {
        return event->type() == QEvent::KeyPress || event->type() == QEvent::FocusOut ||
               event->type() == QEvent::Wheel;
    }

    std::function<void()> onPick_;
    QObjectList listParts_;
    bool armed_ = false;
};

// Calls `onReturn` when Return or Enter is pressed in the box's edit field. The key reaches
// the box, which has the focus, and the box hands it to its edit field by a direct call, not as
// an event: a filter on the edit field never sees a key the user pressed, one on the box sees
// it once. (The edit field's returnPressed may fire twice for one key.)
class ReturnKeyWatcher : public QObject
{
public:
    ReturnKeyWatcher(QComboBox* box, std::function<void()> onReturn)
        : QObject(box), onReturn_(std::move(onReturn))
    {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                onReturn_();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onReturn_;
};
