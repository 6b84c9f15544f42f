#include "kestrel/hilink/HilinkPoller.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

HilinkPoller::HilinkPoller(const QUrl& base, QObject* parent)
    : QObject(parent), base_(base), network_(new QNetworkAccessManager(this))
{
    // The stick is on the machine's own link; a proxy would send the session elsewhere.
    network_->setProxy(QNetworkProxy::NoProxy);
}

void HilinkPoller::poll()
{
    if (polling_) {
        return;
    }
    polling_ = true;
    round_ = {};
    if (session_) {
        askSignal(false);
    } else {
        askSession([this] { askSignal(true); });
    }
}

void HilinkPoller::askSession(const std::function<void()>& then)
{
    get(QStringLiteral("/api/webserver/SesTokInfo"), [this, then](const hilink::Reply& reply) {
        session_ = hilink::readSession(reply);
        if (!session_) {
            fail(QStringLiteral("the stick gave no session"));
            return;
        }
        then();
    });
}

void HilinkPoller::askSignal(bool sessionIsNew)
{
    get(QStringLiteral("/api/device/signal"), [this, sessionIsNew](const hilink::Reply& reply) {
        if (reply.errorCode == hilink::kSessionExpired && !sessionIsNew) {
            // Sessions expire after a few minutes without a request: one new one, once a round.
            session_.reset();
            askSession([this] { askSignal(true); });
            return;
        }
        if (reply.errorCode) {
            fail(QStringLiteral("the stick answered error %1").arg(*reply.errorCode));
            return;
        }
        round_.signal = hilink::readSignal(reply);
        get(QStringLiteral("/api/net/current-plmn"), [this](const hilink::Reply& plmn) {
            if (plmn.errorCode) {
                fail(QStringLiteral("the stick answered error %1").arg(*plmn.errorCode));
                return;
            }
            round_.operatorName = plmn.fields.value(QStringLiteral("FullName")).trimmed();
            round_.numeric = plmn.fields.value(QStringLiteral("Numeric")).trimmed();
            bool numeric = false;
            const int rat = plmn.fields.value(QStringLiteral("Rat")).trimmed().toInt(&numeric);
            round_.rat = numeric ? std::optional<int>(rat) : std::nullopt;
            round_.outcome = HilinkRound::Outcome::Read;
            finish();
        });
    });
}

void HilinkPoller::get(const QString& path, const Then& then)
{
    QUrl url = base_;
    url.setPath(path);
    QNetworkRequest request(url);
    request.setTransferTimeout(kAnswerWithinMs);
    // The stick's own page is the only client it expects; redirects lead off the stick.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    if (session_) {
        if (!session_->cookie.isEmpty()) {
            request.setRawHeader("Cookie", session_->cookie.toLatin1());
        }
        request.setRawHeader("__RequestVerificationToken", session_->token.toLatin1());
    }
    QNetworkReply* reply = network_->get(request);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > hilink::kMaxReplyBytes) {
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, then] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            round_.unreachable = reply->error() == QNetworkReply::ConnectionRefusedError ||
                                 reply->error() == QNetworkReply::HostNotFoundError ||
                                 reply->error() == QNetworkReply::UnknownNetworkError;
            fail(reply->errorString());
            return;
        }
        const auto read = hilink::readReply(reply->readAll());
        if (std::holds_alternative<hilink::Unreadable>(read)) {
            fail(QStringLiteral("the stick's reply was no reply of its web API"));
            return;
        }
        const hilink::Reply& answer = std::get<hilink::Reply>(read);
        if (answer.errorCode == hilink::kPasswordRequired) {
            round_.outcome = HilinkRound::Outcome::PasswordRequired;
            finish();
            return;
        }
        then(answer);
    });
}

void HilinkPoller::fail(const QString& why)
{
    round_.outcome = HilinkRound::Outcome::NoReply;
    round_.why = why;
    finish();
}

void HilinkPoller::finish()
{
    polling_ = false;
    emit roundDone(round_);
}
