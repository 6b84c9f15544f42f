#pragma once

#include <QString>

// A modal message box with an OK button.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // selectable: the text can be selected and copied (an address the user may open by hand).
    virtual void show(const QString& title, const QString& text, bool selectable = false) = 0;
};
