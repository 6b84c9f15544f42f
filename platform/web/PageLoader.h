#pragma once

#include <QObject>
#include <QString>

// Loads an address out of sight, as a hidden browser would, and reports each completed page on
// the owner's thread. A reply body larger than MaxReplyBytes is not read to its end.
class PageLoader : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 MaxReplyBytes = 1024 * 1024;

    using QObject::QObject;
    ~PageLoader() override = default;

    // Starts loading and returns at once; a load still in flight is cancelled.
    virtual void Navigate(const QString& address) = 0;
    // The text a browser would show for the body of the last completed page.
    virtual QString bodyText() const = 0;
    // That body as it came, for a reply that is data rather than a page to read.
    virtual QByteArray replyBody() const = 0;

signals:
    // A page arrived (whatever its HTTP status); bodyText() now holds its text.
    void DocumentComplete();
    // No page could be had at all (no network, refused, unknown host, TLS failure, timeout, a
    // reply cut short or reset, a redirect to another host).
    void loadFailed(const QString& reason);
    // The reply grew past MaxReplyBytes; the load was dropped there.
    void replyTooLarge();
};
