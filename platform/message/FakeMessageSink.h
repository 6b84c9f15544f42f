#pragma once

#include "platform/message/MessageSink.h"

#include <QList>

// Records each message box instead of showing it.
class FakeMessageSink : public MessageSink {
public:
    struct Shown {
        QString title;
        QString text;
        bool selectable;
    };
    QList<Shown> shown;
    void show(const QString& title, const QString& text, bool selectable) override
    {
        shown << Shown{title, text, selectable};
    }
};
