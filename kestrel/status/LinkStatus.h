#pragma once

#include <QString>
#include <optional>

// Where the monitor stands with its stick, as the main window's title tells it.
enum class Link {
    Looking,    // no AT port in the device list
    OpenFailed, // the port could not be opened; `reason` says why
    Open,       // the port is open and polled
    Unplugged,  // the open port's device went away; waiting for the stick to come back
};

struct LinkStatus {
    Link link = Link::Looking;
    QString port;         // the port text, such as "3"
    QString reason;       // with OpenFailed
    bool noReply = false; // with Open: the last cycles brought no reply the queries could read
    QString note;         // what the port box could not take, shown after the state
    // With Open: the registration report's <stat> as the last cycle read it, none when unknown.
    std::optional<int> registration;

    static LinkStatus of(Link link, const QString& port, const QString& reason = {})
    {
        LinkStatus status;
        status.link = link;
        status.port = port;
        status.reason = reason;
        return status;
    }

    bool operator==(const LinkStatus&) const = default;
};

// "kestrel — USB3", "kestrel — USB3: no reply", "kestrel — looking for the modem",
// "kestrel — USB3 — searching for a network", ...: the link, then what the registration report
// says when the stick is not simply registered at home, then the note.
// A device path and a HiLink stick ("HiLink 192.168.8.1") are shown as they are, and any other
// port text that is no number in quotes, instead of as USB<N>.
QString monitorTitle(const LinkStatus& status);
