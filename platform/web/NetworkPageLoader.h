#pragma once

#include "platform/web/PageLoader.h"

#include <QNetworkAccessManager>
#include <QPointer>
#include <QTimer>
#include <chrono>

class QNetworkReply;

// The hidden page loader on QNetworkAccessManager. Only http and https addresses are loaded;
// redirects are followed on the same host only, and never from https to http. Any complete HTTP
// reply, whatever its status, is a page; a load that brings no reply at all, one cut short or
// reset, one redirected elsewhere, or none complete within `timeout`, ends in loadFailed; one whose
// body (announced or arrived) passes MaxReplyBytes is dropped at once with replyTooLarge. The
// page's text is made off the owner's thread. A new Navigate drops the load (or conversion) in
// flight without a signal for it.
class NetworkPageLoader : public PageLoader
{
    Q_OBJECT
public:
    explicit NetworkPageLoader(QObject* parent = nullptr,
                               std::chrono::milliseconds timeout = std::chrono::seconds(30));
    ~NetworkPageLoader() override;

    void Navigate(const QString& address) override;
    QString bodyText() const override { return bodyText_; }
    QByteArray replyBody() const override { return replyBody_; }

private:
    void dropInFlight();
    void failLater(const QString& reason);
    void finished(QNetworkReply* reply);
    void checkSize(QNetworkReply* reply);
    void checkRedirect(QNetworkReply* reply, const QUrl& asked, const QUrl& target);
    void convertElsewhere(const QByteArray& body, const QByteArray& contentType);
    void timedOut();

    QNetworkAccessManager manager_;
    QPointer<QNetworkReply> reply_;
    QTimer deadline_;
    std::chrono::milliseconds timeout_;
    quint64 navigation_ = 0; // lets a queued failure of an overtaken Navigate see it is stale
    QString bodyText_;
    QByteArray replyBody_;
};
