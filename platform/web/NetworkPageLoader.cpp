#include "platform/web/NetworkPageLoader.h"

#include "platform/web/PageText.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QUrl>
#include <memory>

namespace
{

// Whether the transfer itself failed (cut short, reset, garbled), as opposed to an HTTP error
// status, which Qt reports with codes of 200 and up.
bool brokeOff(QNetworkReply::NetworkError error)
{
    return (error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied) ||
           error == QNetworkReply::ProtocolFailure;
}

} // namespace

NetworkPageLoader::NetworkPageLoader(QObject* parent, std::chrono::milliseconds timeout)
    : PageLoader(parent), timeout_(timeout)
{
    manager_.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, &NetworkPageLoader::timedOut);
}

void NetworkPageLoader::Navigate(const QString& address)
{
    dropInFlight();
    ++navigation_;

    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        failLater(tr("Not a web address: %1").arg(address));
        return;
    }

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    QNetworkReply* reply = manager_.get(request);
    reply_ = reply;
    // The network thread stops reading once this much waits unread, so a reply that outgrows the
    // limit holds at most this much before it is dropped.
    reply->setReadBufferSize(2 * MaxReplyBytes);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { checkSize(reply); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { checkSize(reply); });
    connect(reply, &QNetworkReply::redirected, this,
            [this, reply, url](const QUrl& target) { checkRedirect(reply, url, target); });
    deadline_.start(timeout_);
}

void NetworkPageLoader::dropInFlight()
{
    deadline_.stop();
    if (!reply_)
        return;
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    // Disconnect first: abort() emits finished at once, and an overtaken load reports nothing.
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
}

void NetworkPageLoader::failLater(const QString& reason)
{
    // Navigate returns before anything is reported, as it does for a load that starts.
    const quint64 navigation = navigation_;
    QTimer::singleShot(0, this, [this, navigation, reason] {
        if (navigation == navigation_)
            emit loadFailed(reason);
    });
}

void NetworkPageLoader::finished(QNetworkReply* reply)
{
    if (reply != reply_)
        return;
    deadline_.stop();
    reply_ = nullptr;
    reply->deleteLater();

    // An HTTP status means the server answered: that is a page, an error page included. But a
    // reply cut short or reset is none, whatever part of it came: the part where the answer
    // lies may be what is missing.
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid() &&
        !brokeOff(reply->error())) {
        const QByteArray body = reply->read(MaxReplyBytes + 1);
        if (body.size() > MaxReplyBytes) {
            emit replyTooLarge();
            return;
        }
        convertElsewhere(body, reply->rawHeader("Content-Type"));
        return;
    }
    emit loadFailed(reply->errorString());
}

NetworkPageLoader::~NetworkPageLoader()
{
    // A conversion still running finishes first; it is bounded by the reply's size.
    for (QThread* worker : findChildren<QThread*>(Qt::FindDirectChildrenOnly))
        worker->wait();
}

// The page's text is made on a thread of its own, so that a large or deeply nested page never
// holds up the window; a Navigate meanwhile makes the result stale, and it is dropped.
void NetworkPageLoader::convertElsewhere(const QByteArray& body, const QByteArray& contentType)
{
    const quint64 navigation = navigation_;
    auto text = std::make_shared<QString>();
    QThread* worker =
        QThread::create([text, body, contentType] { *text = pageText(body, contentType); });
    worker->setParent(this);
    connect(worker, &QThread::finished, this, [this, worker, text, navigation, body] {
        worker->wait(); // finished comes just before the thread's very end
        delete worker;
        if (navigation != navigation_)
            return;
        bodyText_ = *text;
        replyBody_ = body;
        emit DocumentComplete();
    });
    worker->start();
}

void NetworkPageLoader::checkSize(QNetworkReply* reply)
{
    if (reply != reply_)
        return;
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    if (reply->bytesAvailable() <= MaxReplyBytes &&
        (!announced.isValid() || announced.toLongLong() <= MaxReplyBytes))
        return;
    // Dropped before it is read: the body is buffered only up to about the limit.
    dropInFlight();
    emit replyTooLarge();
}

// A redirect is followed only on the host the address named: another host would be sent what the
// address asks (for the locator, the cell's identity). Nor does it lead from https to http.
void NetworkPageLoader::checkRedirect(QNetworkReply* reply, const QUrl& asked, const QUrl& target)
{
    if (reply != reply_)
        return;
    const QString scheme = target.scheme().toLower();
    if (target.host().compare(asked.host(), Qt::CaseInsensitive) == 0 &&
        (scheme == QLatin1String("https") ||
         (scheme == QLatin1String("http") && asked.scheme().toLower() == scheme))) {
        emit reply->redirectAllowed();
        return;
    }
    // Named by scheme, host and port only, and not at any length.
    constexpr qsizetype longest = 100;
    QString where = target.toDisplayString(QUrl::RemoveUserInfo | QUrl::RemovePath |
                                           QUrl::RemoveQuery | QUrl::RemoveFragment);
    if (where.size() > longest)
        where = where.left(longest) + QChar(0x2026);
    dropInFlight();
    emit loadFailed(tr("The server sent the request on to %1, which is not followed").arg(where));
}

void NetworkPageLoader::timedOut()
{
    if (!reply_)
        return;
    dropInFlight();
    const double seconds = std::chrono::duration<double>(timeout_).count();
    emit loadFailed(tr("No answer within %1 seconds").arg(seconds));
}
