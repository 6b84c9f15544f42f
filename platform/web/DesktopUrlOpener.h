#pragma once

#include "platform/web/UrlOpener.h"

#include <chrono>
#include <sys/types.h>

// Hands http and https addresses to xdg-open, run without a shell with the address as its one
// argument; any other scheme is refused, so a file or a program can never be opened this way.
// xdg-open's exit status is the desktop's answer (QDesktopServices counts an xdg-open that
// starts and then finds no browser as success): a status other than 0, or an end by a signal,
// within `patience` is reported by notOpened. One still running by then counts as opened, as it
// may live as long as the browser it became; it is never killed, and nothing waits for it on
// the owner's thread.
class DesktopUrlOpener : public UrlOpener
{
public:
    explicit DesktopUrlOpener(QString program = QStringLiteral("xdg-open"),
                              std::chrono::milliseconds patience = std::chrono::seconds(5),
                              QObject* parent = nullptr);
    // Openers still running are left to run on.
    ~DesktopUrlOpener() override;

    void open(const QUrl& url) override;

private:
    void watch(pid_t pid, const QUrl& url);

    QString program_;
    std::chrono::milliseconds patience_;
};
