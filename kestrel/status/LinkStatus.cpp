#include "kestrel/status/LinkStatus.h"

#include "kestrel/serial/PortText.h"

namespace
{

QString portName(const QString& portText)
{
    if (const auto number = portNumberFromText(portText)) {
        return QStringLiteral("USB%1").arg(*number);
    }
    if (isDevicePath(portText) || hilinkAddressFromBoxText(portText)) {
        return portText;
    }
    return QLatin1Char('"') + portText + QLatin1Char('"');
}

QString state(const LinkStatus& status)
{
    const QString port = portName(status.port);
    switch (status.link) {
    case Link::Looking:
        return QStringLiteral("looking for the modem");
    case Link::OpenFailed:
        return port + QStringLiteral(": ") + status.reason;
    case Link::Open:
        return status.noReply ? port + QStringLiteral(": no reply") : port;
    case Link::Unplugged:
        return port + QStringLiteral(": unplugged, waiting for the stick");
    }
    return {};
}

// Words for a registration <stat> that the user should know of; none for registered at home.
QString registrationWords(std::optional<int> status)
{
    switch (status.value_or(1)) {
    case 0:
        return QStringLiteral("not registered");
    case 2:
        return QStringLiteral("searching for a network");
    case 3:
        return QStringLiteral("registration denied");
    case 5:
        return QStringLiteral("roaming");
    default:
        return {};
    }
}

} // namespace

QString monitorTitle(const LinkStatus& status)
{
    QString title = QStringLiteral("kestrel — ") + state(status);
    const QString registration = registrationWords(status.registration);
    if (status.link == Link::Open && !status.noReply && !registration.isEmpty()) {
        title += QStringLiteral(" — ") + registration;
    }
    if (!status.note.isEmpty()) {
        title += QStringLiteral(" — ") + status.note;
    }
    return title;
}
