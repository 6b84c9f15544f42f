#pragma once

#include "platform/message/MessageSink.h"

class QWidget;

// Message boxes on QMessageBox: modal over `parent`, one OK button.
class BoxMessageSink : public MessageSink
{
public:
    explicit BoxMessageSink(QWidget* parent = nullptr) : parent_(parent) {}
    // The window the box is modal over and centred on, when it exists after the sink.
    void setOwner(QWidget* parent) { parent_ = parent; }
    void show(const QString& title, const QString& text, bool selectable = false) override;
    void showDetailed(const QString& title, const QString& text, const QString& detail) override;
    bool ask(const QString& title, const QString& text, const QString& accept) override;

private:
    QWidget* parent_;
};
