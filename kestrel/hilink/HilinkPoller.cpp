#include "kestrel/hilink/HilinkPoller.h"

#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>

namespace
{

const QString kUser = QStringLiteral("admin"); // the only user HiLink firmware has
const QByteArray kXmlHead = R"(<?xml version="1.0" encoding="UTF-8"?>)";
const char* const kTooLarge = "tooLarge"; // a reply's property once its body outgrew the cap

QByteArray element(const QString& name, const QString& text)
{
    return ('<' + name + '>' + text.toHtmlEscaped() + "</" + name + '>').toUtf8();
}

} // namespace

HilinkPoller::HilinkPoller(const QUrl& base, QObject* parent)
    : QObject(parent), base_(base), network_(new QNetworkAccessManager(this))
{
    // The stick is on the machine's own link; a proxy would send the session elsewhere.
    network_->setProxy(QNetworkProxy::NoProxy);
}

void HilinkPoller::poll()
{
    if (!polling()) {
        ask({Task::Round, {}});
    }
}

bool HilinkPoller::polling() const
{
    return running_ == Task::Round || std::any_of(waiting_.begin(), waiting_.end(),
                                                  [](auto& a) { return a.task == Task::Round; });
}

void HilinkPoller::logIn(const QString& password)
{
    ask({Task::LogIn, password});
}

void HilinkPoller::setNetworkMode(const QString& networkMode)
{
    ask({Task::NetworkMode, networkMode});
}

void HilinkPoller::ask(Asked asked)
{
    waiting_.push_back(std::move(asked));
    if (!running_) {
        startNext();
    }
}

void HilinkPoller::startNext()
{
    if (waiting_.empty()) {
        return;
    }
    const Asked next = std::move(waiting_.front());
    waiting_.pop_front();
    running_ = next.task;
    switch (next.task) {
    case Task::Round:
        round_ = {};
        if (session_) {
            askSimLock(false);
        } else {
            askSession([this] { askSimLock(true); });
        }
        break;
    case Task::LogIn:
        // On a new session, as the stick's own login page does: the old one may have expired
        // since the last round.
        askSession([this, password = next.argument] { postLogIn(password); });
        break;
    case Task::NetworkMode:
        if (session_) {
            postNetworkMode(next.argument);
        } else {
            askSession([this, mode = next.argument] { postNetworkMode(mode); });
        }
        break;
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
        // The old session's tokens went with it; its SIM may have been locked meanwhile.
        tokens_ = QStringList{session_->token};
        simUnlocked_ = false;
        then();
    });
}

void HilinkPoller::askSimLock(bool sessionIsNew)
{
    if (simUnlocked_) {
        askSignal(sessionIsNew);
        return;
    }
    get(QStringLiteral("/api/pin/status"), [this, sessionIsNew](const hilink::Reply& reply) {
        const int state = reply.fields.value(QStringLiteral("SimState")).trimmed().toInt();
        if (state == hilink::kSimPinRequired || state == hilink::kSimPukRequired) {
            // Asked again next round: the user may unlock the SIM on the stick's own page.
            round_.outcome = HilinkRound::Outcome::PinRequired;
            round_.why = state == hilink::kSimPinRequired ? QStringLiteral("the SIM wants its PIN")
                                                          : QStringLiteral("the SIM wants its PUK");
            finish();
            return;
        }
        // Firmware without the page answers an error, and has no lock to tell of.
        simUnlocked_ = true;
        askSignal(sessionIsNew);
    });
}

void HilinkPoller::askSignal(bool sessionIsNew)
{
    get(QStringLiteral("/api/device/signal"), [this, sessionIsNew](const hilink::Reply& reply) {
        if (reply.errorCode == hilink::kSessionExpired && !sessionIsNew) {
            // Sessions expire after a few minutes without a request: one new one, once a round.
            session_.reset();
            askSession([this] { askSimLock(true); });
            return;
        }
        if (reply.errorCode) {
            fail(QStringLiteral("the stick answered error %1").arg(*reply.errorCode));
            return;
        }
        round_.signal = hilink::readSignal(reply);
        if (round_.signal.tac.isEmpty()) {
            askCellArea();
        } else {
            askOperator();
        }
    });
}

void HilinkPoller::askCellArea()
{
    // Firmware without the page answers an error or HTTP 404; the round goes on without a LAC.
    get(
        QStringLiteral("/api/net/signal-para"),
        [this](const hilink::Reply& reply) {
            round_.area = hilink::readSignalPara(reply);
            askOperator();
        },
        Page::Optional);
}

void HilinkPoller::askOperator()
{
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
}

void HilinkPoller::postLogIn(const QString& password)
{
    get(QStringLiteral("/api/user/state-login"), [this, password](const hilink::Reply& state) {
        if (state.errorCode) {
            fail(hilink::errorText(*state.errorCode));
            return;
        }
        // Type 4 hashes the password with the token the login spends; older firmware takes the
        // password in base64.
        const bool hashed = state.fields.value(QStringLiteral("password_type")).trimmed() == "4";
        const auto body = [password, hashed](const QString& token) {
            const QByteArray sent = hashed ? hilink::loginPassword(kUser, password, token)
                                           : password.toUtf8().toBase64();
            return kXmlHead + "<request>" + element(QStringLiteral("Username"), kUser) +
                   element(QStringLiteral("Password"), QString::fromLatin1(sent)) +
                   element(QStringLiteral("password_type"), hashed ? "4" : "0") + "</request>";
        };
        post(QStringLiteral("/api/user/login"), body, [this](const hilink::Reply& reply) {
            announce(!reply.errorCode, reply.errorCode ? hilink::errorText(*reply.errorCode) : "");
        });
    });
}

void HilinkPoller::postNetworkMode(const QString& networkMode)
{
    get(QStringLiteral("/api/net/net-mode"), [this, networkMode](const hilink::Reply& now) {
        if (now.errorCode) {
            fail(hilink::errorText(*now.errorCode));
            return;
        }
        // The POST sets the bands too: those the stick uses now go back unchanged.
        QByteArray body =
            kXmlHead + "<request>" + element(QStringLiteral("NetworkMode"), networkMode);
        for (const QString& bands : {QStringLiteral("NetworkBand"), QStringLiteral("LTEBand")}) {
            if (now.fields.contains(bands)) {
                body += element(bands, now.fields.value(bands).trimmed());
            }
        }
        body += "</request>";
        post(
            QStringLiteral("/api/net/net-mode"), [body](const QString&) { return body; },
            [this](const hilink::Reply& reply) {
                announce(!reply.errorCode,
                         reply.errorCode ? hilink::errorText(*reply.errorCode) : "");
            });
    });
}

void HilinkPoller::get(const QString& path, const Then& then, Page page)
{
    // A GET carries the next token as the stick's own pages send it, without spending it.
    send(path, tokens_.value(0), std::nullopt, then, page);
}

void HilinkPoller::post(const QString& path, const Body& body, const Then& then)
{
    if (tokens_.isEmpty()) {
        askSession([this, path, body, then] { post(path, body, then); });
        return;
    }
    const QString token = tokens_.takeFirst();
    send(path, token, body(token), then);
}

void HilinkPoller::send(const QString& path, const QString& token,
                        const std::optional<QByteArray>& body, const Then& then, Page page)
{
    QUrl url = base_;
    url.setPath(path);
    QNetworkRequest request(url);
    request.setTransferTimeout(kAnswerWithinMs);
    // The stick's own page is the only client it expects; redirects lead off the stick.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    // The session sent is the one held here, never one a cookie jar kept from an older login.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    if (session_ && !session_->cookie.isEmpty()) {
        request.setRawHeader("Cookie", session_->cookie.toLatin1());
    }
    if (!token.isEmpty()) {
        request.setRawHeader("__RequestVerificationToken", token.toLatin1());
    }
    QNetworkReply* reply = nullptr;
    if (body) {
        // The stick's own page posts its XML as a form would.
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/x-www-form-urlencoded; charset=UTF-8"));
        reply = network_->post(request, *body);
    } else {
        reply = network_->get(request);
    }
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > hilink::kMaxReplyBytes) {
            reply->setProperty(kTooLarge, true);
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, then, page] {
        reply->deleteLater();
        keepHandedOut(*reply);
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (reply->property(kTooLarge).toBool()) {
            fail(QStringLiteral("the stick's reply was far too large"));
            return;
        }
        if (reply->error() == QNetworkReply::OperationCanceledError ||
            reply->error() == QNetworkReply::TimeoutError) {
            fail(QStringLiteral("the stick gave no answer within a second"));
            return;
        }
        if (reply->error() != QNetworkReply::NoError && status.isValid() &&
            page == Page::Optional) {
            then({});
            return;
        }
        if (reply->error() != QNetworkReply::NoError) {
            round_.unreachable = reply->error() == QNetworkReply::ConnectionRefusedError ||
                                 reply->error() == QNetworkReply::HostNotFoundError ||
                                 reply->error() == QNetworkReply::UnknownNetworkError;
            fail(status.isValid() ? QStringLiteral("the stick answered HTTP %1").arg(status.toInt())
                                  : reply->errorString());
            return;
        }
        const auto read = hilink::readReply(reply->readAll());
        if (std::holds_alternative<hilink::Unreadable>(read)) {
            fail(QStringLiteral("the stick's reply was no reply of its web API"));
            return;
        }
        const hilink::Reply& answer = std::get<hilink::Reply>(read);
        if (answer.errorCode == hilink::kBadToken) {
            // The tokens held are out of step with the stick: the next POST takes a new session.
            tokens_.clear();
        }
        if (answer.errorCode == hilink::kPasswordRequired && running_ == Task::Round) {
            round_.outcome = HilinkRound::Outcome::PasswordRequired;
            finish();
            return;
        }
        then(answer);
    });
}

void HilinkPoller::keepHandedOut(const QNetworkReply& reply)
{
    // A login replaces the session, named in Set-Cookie; the old session's tokens are void.
    const auto cookies =
        reply.header(QNetworkRequest::SetCookieHeader).value<QList<QNetworkCookie>>();
    for (const QNetworkCookie& cookie : cookies) {
        if (cookie.name() == "SessionID") {
            session_ = hilink::Session{"SessionID=" + QString::fromLatin1(cookie.value()), {}};
            tokens_.clear();
            simUnlocked_ = false;
        }
    }
    // After a login the stick hands two tokens, as ...one and ...two (and may repeat the first
    // in the plain header); after any other POST one, for the next.
    const QList<QByteArray> names =
        reply.hasRawHeader("__RequestVerificationTokenone")
            ? QList<QByteArray>{"__RequestVerificationTokenone", "__RequestVerificationTokentwo"}
            : QList<QByteArray>{"__RequestVerificationToken"};
    for (const QByteArray& name : names) {
        const QString token = QString::fromLatin1(reply.rawHeader(name)).trimmed();
        if (!token.isEmpty() && !tokens_.contains(token)) {
            tokens_.append(token);
        }
    }
}

void HilinkPoller::fail(const QString& why)
{
    if (running_ != Task::Round) {
        announce(false, why);
        return;
    }
    round_.outcome = HilinkRound::Outcome::NoReply;
    round_.why = why;
    finish();
}

void HilinkPoller::finish()
{
    running_.reset();
    emit roundDone(round_);
    if (!running_) {
        startNext();
    }
}

void HilinkPoller::announce(bool ok, const QString& why)
{
    const Task task = *running_;
    running_.reset();
    if (task == Task::LogIn) {
        emit loggedIn(ok, why);
    } else {
        emit networkModeSet(ok, why);
    }
    if (!running_) {
        startNext();
    }
}
