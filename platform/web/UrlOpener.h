#pragma once

#include <QUrl>

// Hands an address to the desktop's default web browser.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    // false when the desktop reports that no browser could be started.
    virtual bool open(const QUrl& url) = 0;
};
