#pragma once

#include "platform/web/UrlOpener.h"

#include <QList>

// Records the addresses handed to the desktop; `succeeds` says what the desktop answers.
class FakeUrlOpener : public UrlOpener
{
public:
    QList<QUrl> opened;
    bool succeeds = true;
    bool open(const QUrl& url) override
    {
        opened << url;
        return succeeds;
    }
};
