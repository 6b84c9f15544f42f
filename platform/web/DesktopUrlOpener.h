#pragma once

#include "platform/web/UrlOpener.h"

// Hands http and https addresses to the desktop (QDesktopServices, which asks xdg-open on
// Linux); no shell is involved. Any other scheme is refused, so a file or a program can never
// be opened this way.
class DesktopUrlOpener : public UrlOpener
{
public:
    bool open(const QUrl& url) override;
};
