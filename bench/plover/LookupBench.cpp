// What a hostile reply costs plover's window: a lookup against a local server that answers
// with a 300 MB body, a 10 MB page of nested tables, a page of nested tables just under the
// reply limit, an XML reply whose longitude is a million blanks, and a plain XML reply. For each it
// prints the outcome, the time to it, the longest stall of the window's event loop (the gap between
// ticks of a 5 ms timer) and the peak resident memory of the process during the lookup.
//
//   lookup_bench            (offscreen unless QT_QPA_PLATFORM says otherwise)
//
// The server runs in a child process, so its buffers do not count.
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakeUrlOpener.h"
#include "platform/web/NetworkPageLoader.h"
#include "platform/window/Offscreen.h"
#include "plover/Form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

constexpr qint64 kMiB = 1024 * 1024;

QByteArray nestedTables(qint64 size)
{
    const QByteArray open = "<table><tr><td>";
    const QByteArray close = "</td></tr></table>";
    const qint64 depth = (size - 200) / (open.size() + close.size());
    return "<html><body>" + open.repeated(depth) + "coordinates \"1.5\" \"2.5\"" +
           close.repeated(depth) + "</body></html>";
}

bool sendAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size_t(size), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

// One connection: the path picks the reply. The 300 MB body has no Content-Length, so only
// what arrives can tell its size.
void serve(int fd, const QByteArray& nested10, const QByteArray& nested1)
{
    QByteArray request;
    char buffer[4096];
    while (!request.contains("\r\n\r\n")) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        request.append(buffer, n);
    }
    const QByteArray target = request.split(' ').value(1);
    if (target.startsWith("/big/")) {
        const QByteArray head =
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n";
        const QByteArray chunk(64 * 1024, 'x');
        sendAll(fd, head.constData(), head.size());
        for (qint64 sent = 0; sent < 300 * kMiB; sent += chunk.size())
            if (!sendAll(fd, chunk.constData(), chunk.size()))
                return;
        return;
    }
    const auto answer = [fd](const QByteArray& type, const QByteArray& body) {
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: " + type +
                                "\r\nContent-Length: " + QByteArray::number(body.size()) +
                                "\r\nConnection: close\r\n\r\n";
        sendAll(fd, head.constData(), head.size()) && sendAll(fd, body.constData(), body.size());
    };
    if (target.startsWith("/nested10/"))
        answer("text/html", nested10);
    else if (target.startsWith("/blanks/"))
        answer("text/xml", R"(<location><coordinates latitude="55.75580" longitude=")" +
                               QByteArray(1000000, ' ') + R"("/></location>)");
    else if (target.startsWith("/nested1/"))
        answer("text/html", nested1);
    else
        answer("text/xml",
               R"(<location><coordinates latitude="55.75580" longitude="37.61730"/></location>)");
}

// Listens on 127.0.0.1 in a child process; returns its port and pid.
std::pair<quint16, pid_t> startServer()
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 8) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("lookup_bench: listen");
        std::exit(1);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const QByteArray nested10 = nestedTables(10 * kMiB);
        const QByteArray nested1 = nestedTables(kMiB - 1024);
        for (;;) {
            const int fd = ::accept(listener, nullptr, nullptr);
            if (fd < 0)
                continue;
            serve(fd, nested10, nested1);
            ::close(fd);
        }
    }
    ::close(listener);
    return {ntohs(address.sin_port), child};
}

double statusMiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void measureLookup(const char* name, const QString& base)
{
    FakeFileDialog dialog;
    NetworkPageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    Form1 form(dialog, loader, opener, messages, {base, QStringLiteral("https://map.test")});
    form.show();
    for (QLineEdit* box : {form.Txtmcc, form.Txtmnc, form.Txtlac, form.Txtcellid})
        box->setText(QStringLiteral("1"));
    QCoreApplication::processEvents();

    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestStall = std::max(longestStall, now - lastTick);
        lastTick = now;
        form.update(); // a repaint with every tick
    });
    resetPeakMemory();
    clock.start();
    ticker.start(5);
    form.Command1->click();
    while ((opener.opened.isEmpty() && messages.shown.isEmpty()) && clock.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const qint64 done = clock.elapsed();
    ticker.stop();
    const QString outcome = !opener.opened.isEmpty()    ? QStringLiteral("map opened")
                            : !messages.shown.isEmpty() ? messages.shown.first().text
                                                        : QStringLiteral("nothing in 120 s");
    std::printf("%-10s outcome=\"%s\" seconds=%.3f longest_stall_ms=%lld peak_rss_mib=%.1f "
                "rss_after_mib=%.1f\n",
                name, outcome.section(u'\n', 0, 0).toLocal8Bit().constData(), done / 1000.0,
                static_cast<long long>(longestStall), statusMiB("VmHWM:"), statusMiB("VmRSS:"));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    const auto [port, server] = startServer();
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(port);
    std::printf("rss_at_start_mib=%.1f\n", statusMiB("VmRSS:"));
    measureLookup("xml", base + QStringLiteral("/xml"));
    measureLookup("big300mb", base + QStringLiteral("/big"));
    measureLookup("nested10mb", base + QStringLiteral("/nested10"));
    measureLookup("nested1mb", base + QStringLiteral("/nested1"));
    measureLookup("blanks1m", base + QStringLiteral("/blanks"));
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    return 0;
}
