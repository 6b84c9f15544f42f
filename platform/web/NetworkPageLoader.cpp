#include "platform/web/NetworkPageLoader.h"

#include "platform/web/PageText.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

NetworkPageLoader::NetworkPageLoader(QObject* parent, std::chrono::milliseconds timeout)
    : PageLoader(parent), timeout_(timeout)
{
    manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
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
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = manager_.get(request);
    reply_ = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
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

    // An HTTP status means the server answered: that is a page, an error page included.
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        bodyText_ = pageText(reply->readAll(), reply->rawHeader("Content-Type"));
        emit DocumentComplete();
        return;
    }
    emit loadFailed(reply->errorString());
}

void NetworkPageLoader::timedOut()
{
    if (!reply_)
        return;
    dropInFlight();
    const double seconds = std::chrono::duration<double>(timeout_).count();
    emit loadFailed(tr("No answer within %1 seconds").arg(seconds));
}
