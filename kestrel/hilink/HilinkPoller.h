#pragma once

#include "kestrel/hilink/HilinkReply.h"

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// What one round of requests to a HiLink stick gave.
struct HilinkRound {
    enum class Outcome {
        Read,             // the signal and the operator
        NoReply,          // nothing readable came: no answer, an HTTP error, a cut or huge body
        PasswordRequired, // the stick wants its user to log in first
        PinRequired,      // the SIM is locked: it wants its PIN, or its PUK (`why` says which)
    };
    Outcome outcome = Outcome::NoReply;
    QString why; // with NoReply and PinRequired, in words for the title's tool tip
    // With NoReply: nothing listens at the address, or it cannot be reached at all, as when the
    // stick was pulled (against a stick that is there but does not answer).
    bool unreachable = false;
    hilink::SignalFacts signal;
    // GET /api/net/signal-para, asked only when the signal gave no TAC: a 2G or 3G cell's LAC.
    hilink::CellArea area;
    // GET /api/net/current-plmn: <FullName>, <Numeric> ("310260") and <Rat> (0, 2, 7).
    QString operatorName;
    QString numeric;
    std::optional<int> rat;
};
Q_DECLARE_METATYPE(HilinkRound)

// Polls a HiLink stick's web API, one round at a time: a session first when there is none
// (again after the stick says the session expired), the SIM's lock after a new session, then the
// signal, then the operator. It also logs in and sets the network mode. One request is in flight
// at a time: a round, a login or a network mode asked while another runs waits its turn. Each
// request must be answered within a second, in at most hilink::kMaxReplyBytes.
//
// Every POST spends one of the tokens the stick hands out: the session's, then those named in
// the headers of its replies; a new session is taken when none is left.
class HilinkPoller : public QObject
{
    Q_OBJECT
public:
    static constexpr int kAnswerWithinMs = 1000;

    // `base` is the stick's address, such as http://192.168.8.1.
    explicit HilinkPoller(const QUrl& base, QObject* parent = nullptr);

    // Starts a round; roundDone comes when it ends. A round under way or waiting is not
    // disturbed, and no second one is asked.
    void poll();
    bool polling() const;

    // Logs in as the stick's user "admin" on a new session; loggedIn comes when done. Rounds
    // then read a stick that ended its last round with PasswordRequired. The password is
    // dropped once the login is posted.
    void logIn(const QString& password);

    // Sets the network mode, as HiLink writes it: "00" any, or "01" 2G, "02" 3G, "03" 4G in
    // order of preference ("02", "0201", "030201"). The bands stay as the stick reports them.
    // networkModeSet comes when done.
    void setNetworkMode(const QString& networkMode);

signals:
    void roundDone(const HilinkRound& round);
    // `why` in words when not ok, such as "wrong password".
    void loggedIn(bool ok, const QString& why);
    void networkModeSet(bool ok, const QString& why);

private:
    enum class Task { Round, LogIn, NetworkMode };
    struct Asked {
        Task task;
        QString argument; // the password or the network mode
    };
    using Then = std::function<void(const hilink::Reply&)>;
    using Body = std::function<QByteArray(const QString& token)>;

    void ask(Asked asked);
    void startNext();
    // A page some firmware lacks: an HTTP error from the stick reaches `then` as an empty reply
    // instead of ending the round.
    enum class Page { Needed, Optional };
    void get(const QString& path, const Then& then, Page page = Page::Needed);
    void post(const QString& path, const Body& body, const Then& then);
    void send(const QString& path, const QString& token, const std::optional<QByteArray>& body,
              const Then& then, Page page = Page::Needed);
    void keepHandedOut(const QNetworkReply& reply);
    void askSession(const std::function<void()>& then);
    void askSimLock(bool sessionIsNew);
    void askSignal(bool sessionIsNew);
    void askCellArea();
    void askOperator();
    void postLogIn(const QString& password);
    void postNetworkMode(const QString& networkMode);
    void finish();
    void announce(bool ok, const QString& why);
    void fail(const QString& why);

    QUrl base_;
    QNetworkAccessManager* network_;
    std::optional<hilink::Session> session_; // its token is among tokens_ until spent
    QStringList tokens_;                     // each good for one POST, oldest first
    bool simUnlocked_ = false;               // known for the session
    HilinkRound round_;
    std::optional<Task> running_;
    std::deque<Asked> waiting_;
};
