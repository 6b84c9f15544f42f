#pragma once

#include "kestrel/hilink/HilinkReply.h"

#include <QObject>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// What one round of requests to a HiLink stick gave.
struct HilinkRound {
    enum class Outcome {
        Read,             // the signal and the operator
        NoReply,          // nothing readable came: no answer, an HTTP error, a cut or huge body
        PasswordRequired, // the stick wants its user to log in first
    };
    Outcome outcome = Outcome::NoReply;
    QString why; // with NoReply, in words for the title's tool tip
    // With NoReply: nothing listens at the address, or it cannot be reached at all, as when the
    // stick was pulled (against a stick that is there but does not answer).
    bool unreachable = false;
    hilink::SignalFacts signal;
    // GET /api/net/current-plmn: <FullName>, <Numeric> ("310260") and <Rat> (0, 2, 7).
    QString operatorName;
    QString numeric;
    std::optional<int> rat;
};
Q_DECLARE_METATYPE(HilinkRound)

// Polls a HiLink stick's web API, one round at a time: a session first when there is none
// (again after the stick says the session expired), then the signal, then the operator. One
// request is in flight at a time; each must be answered within a second, in at most
// hilink::kMaxReplyBytes.
class HilinkPoller : public QObject
{
    Q_OBJECT
public:
    static constexpr int kAnswerWithinMs = 1000;

    // `base` is the stick's address, such as http://192.168.8.1.
    explicit HilinkPoller(const QUrl& base, QObject* parent = nullptr);

    // Starts a round; roundDone comes when it ends. A round under way is not disturbed.
    void poll();
    bool polling() const { return polling_; }

signals:
    void roundDone(const HilinkRound& round);

private:
    using Then = std::function<void(const hilink::Reply&)>;
    void get(const QString& path, const Then& then);
    void askSession(const std::function<void()>& then);
    void askSignal(bool sessionIsNew);
    void finish();
    void fail(const QString& why);

    QUrl base_;
    QNetworkAccessManager* network_;
    std::optional<hilink::Session> session_;
    HilinkRound round_;
    bool polling_ = false;
};
