#include "platform/web/DesktopUrlOpener.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

// Why an opener that ended this way opened nothing, in the words of its manual's exit codes;
// empty when it opened the address.
QString failure(const QString& name, const siginfo_t& ended)
{
    if (ended.si_code != CLD_EXITED)
        return QStringLiteral("%1 was ended by signal %2").arg(name).arg(ended.si_status);
    switch (ended.si_status) {
    case 0:
        return {};
    case 3:
        return QStringLiteral("%1 ended with status 3: it found no web browser").arg(name);
    case 4:
        return QStringLiteral("%1 ended with status 4: the browser failed to open it").arg(name);
    default:
        return QStringLiteral("%1 ended with status %2").arg(name).arg(ended.si_status);
    }
}

} // namespace

DesktopUrlOpener::DesktopUrlOpener(QString program, std::chrono::milliseconds patience,
                                   QObject* parent)
    : UrlOpener(parent), program_(std::move(program)), patience_(patience)
{
}

DesktopUrlOpener::~DesktopUrlOpener()
{
    // The notifiers go with this object, and the descriptors of those still watching are closed
    // here; the openers they watched run on (once the program ends, init collects them).
    for (QSocketNotifier* notifier : findChildren<QSocketNotifier*>())
        if (notifier->isEnabled()) {
            notifier->setEnabled(false);
            ::close(int(notifier->socket()));
        }
}

void DesktopUrlOpener::open(const QUrl& url)
{
    const QString name = QFileInfo(program_).fileName();
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        emit notOpened(url, QStringLiteral("only web addresses are opened"));
        return;
    }
    const QString path =
        program_.contains(u'/') ? program_ : QStandardPaths::findExecutable(program_);
    if (path.isEmpty()) {
        emit notOpened(url, QStringLiteral("%1 was not found").arg(name));
        return;
    }

    const QByteArray file = QFile::encodeName(path);
    const QByteArray address = url.toString(QUrl::FullyEncoded).toLatin1();
    char* const argv[] = {const_cast<char*>(file.constData()),
                          const_cast<char*>(address.constData()), nullptr};
    // The browser starts as it would from a desktop's launcher: in a session of its own (a
    // terminal that plover was started from may close), no signal blocked, SIGPIPE as default.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigset_t pipe;
    sigemptyset(&none);
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &pipe);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, file.constData(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        emit notOpened(url, QStringLiteral("%1 could not be started: %2")
                                .arg(name, QString::fromLocal8Bit(std::strerror(error))));
        return;
    }
    watch(pid, url);
}

// The opener's end is read from a pidfd, which becomes readable when the process ends, so the
// event loop waits for it, not this thread. Nothing else in the program collects children that
// it did not start, so the process stays ours to collect until then.
void DesktopUrlOpener::watch(pid_t pid, const QUrl& url)
{
    // Debian 12's <sys/pidfd.h> declares pidfd_open without C linkage, so the call is made
    // directly.
    const int pidfd = int(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0)
        return; // a kernel before 5.3: the answer cannot be read, so it counts as opened
    const QDeadlineTimer answerBy(patience_);
    auto* notifier = new QSocketNotifier(pidfd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier, pidfd, url, answerBy] {
        siginfo_t ended{};
        const int status = waitid(P_PIDFD, id_t(pidfd), &ended, WEXITED | WNOHANG);
        if ((status != 0 && errno == EINTR) || (status == 0 && ended.si_pid == 0))
            return; // not ended after all
        notifier->setEnabled(false);
        notifier->deleteLater();
        ::close(pidfd);
        // Collected by someone else (status -1), its answer is unknown: it counts as opened.
        const QString reason =
            status == 0 ? failure(QFileInfo(program_).fileName(), ended) : QString();
        if (!reason.isEmpty() && !answerBy.hasExpired())
            emit notOpened(url, reason);
    });
}
