#pragma once

#include <QString>

// Modal message boxes: a message with an OK button, or a question.
class MessageSink
{
public:
    virtual ~MessageSink() = default;
    // selectable: the text can be selected and copied (an address the user may open by hand).
    virtual void show(const QString& title, const QString& text, bool selectable = false) = 0;
    // A message with a smaller paragraph under it that says why, such as the reason a service
    // gave, to be selected and copied; an empty detail shows the message alone. Sinks that have
    // no place for a detail show it as a paragraph of the text.
    virtual void showDetailed(const QString& title, const QString& text, const QString& detail)
    {
        show(title, detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail, true);
    }
    // A question with two buttons: `accept` and "Cancel", which is the default (Enter and
    // Escape both cancel). True only when the user pressed `accept`.
    virtual bool ask(const QString& title, const QString& text, const QString& accept) = 0;
};
