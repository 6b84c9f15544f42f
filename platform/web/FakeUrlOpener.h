#pragma once

#include "platform/web/UrlOpener.h"

#include <QList>

// Records the addresses handed to the desktop; when `failure` is not empty, each of them is
// reported not opened for that reason, from within open().
class FakeUrlOpener : public UrlOpener
{
public:
    QList<QUrl> opened;
    QString failure;
    void open(const QUrl& url) override
    {
        opened << url;
        if (!failure.isEmpty())
            emit notOpened(url, failure);
    }
};
