#pragma once

#include "platform/message/MessageSink.h"

#include <QList>

// Records each message box instead of showing it; questions take the next of `answers`
// (Cancel when none is left).
class FakeMessageSink : public MessageSink
{
public:
    struct Shown {
        QString title;
        QString text;
        bool selectable;
        QString detail;
    };
    QList<Shown> shown;
    QList<Shown> asked; // `selectable` is unused here
    QList<bool> answers;

    void show(const QString& title, const QString& text, bool selectable) override
    {
        shown << Shown{title, text, selectable, {}};
    }
    void showDetailed(const QString& title, const QString& text, const QString& detail) override
    {
        shown << Shown{title, text, true, detail};
    }
    bool ask(const QString& title, const QString& text, const QString&) override
    {
        asked << Shown{title, text, false, {}};
        return !answers.isEmpty() && answers.takeFirst();
    }
};
