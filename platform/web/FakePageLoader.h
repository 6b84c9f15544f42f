#pragma once

#include "platform/web/PageLoader.h"

#include <QStringList>

// A page loader for tests: records each Navigate; the test completes or fails the load.
class FakePageLoader : public PageLoader
{
public:
    QStringList navigated;
    QString body;
    QByteArray raw;

    void Navigate(const QString& address) override { navigated << address; }
    QString bodyText() const override { return body; }
    QByteArray replyBody() const override { return raw; }

    void complete(const QString& text, const QByteArray& rawBody = {})
    {
        body = text;
        raw = rawBody;
        emit DocumentComplete();
    }
    void fail(const QString& reason) { emit loadFailed(reason); }
    void tooLarge() { emit replyTooLarge(); }
};
