#include "kestrel/hilink/HilinkReply.h"

#include "kestrel/at/Conversions.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

namespace hilink
{

std::variant<Reply, Unreadable> readReply(const QByteArray& body)
{
    if (body.size() > kMaxReplyBytes) {
        return Unreadable::TooLarge;
    }
    QXmlStreamReader xml(body);
    Reply reply;
    QString root;
    QString element;
    int depth = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            return Unreadable::DeclaresDtd;
        case QXmlStreamReader::StartElement:
            ++depth;
            if (depth == 1) {
                root = xml.name().toString();
            } else if (depth == 2) {
                element = xml.name().toString();
                reply.fields.insert(element, QString());
            }
            break;
        case QXmlStreamReader::Characters:
            if (depth == 2) {
                reply.fields[element] += xml.text();
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    if (xml.hasError() || (root != QLatin1String("response") && root != QLatin1String("error"))) {
        return Unreadable::NotXml;
    }
    if (root == QLatin1String("error")) {
        bool numeric = false;
        const int code = reply.fields.value(QStringLiteral("code")).trimmed().toInt(&numeric);
        reply.errorCode = numeric ? code : 0;
    }
    return reply;
}

std::optional<double> measuredValue(const QString& text)
{
    static const QRegularExpression value(
        QStringLiteral("^\\s*(?:[<>]=)?\\s*(-?\\d+(?:\\.\\d+)?)\\s*(?:dBm|dB)?\\s*$"));
    const QRegularExpressionMatch match = value.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    return match.captured(1).toDouble();
}

QString errorText(int code)
{
    switch (code) {
    case 100002:
        return QStringLiteral("the stick does not offer this");
    case 100003:
        return QStringLiteral("the stick wants its password first");
    case 100004:
        return QStringLiteral("the stick is busy");
    case 100005:
    case 100006:
        return QStringLiteral("the stick did not take the values sent");
    case 108001:
    case 108002:
    case 108006:
        return QStringLiteral("wrong password");
    case 108003:
        return QStringLiteral("someone else is logged in to the stick");
    case 108007:
        return QStringLiteral("too many wrong passwords: the stick takes none for a while");
    case 125002:
        return QStringLiteral("the stick's session expired");
    case 125003:
        return QStringLiteral("the stick did not take the request's token");
    default:
        return QStringLiteral("error %1").arg(code);
    }
}

std::optional<Session> readSession(const Reply& reply)
{
    if (reply.errorCode) {
        return std::nullopt;
    }
    const QString token =
        reply.fields.value(QStringLiteral("TokInfo"), reply.fields.value(QStringLiteral("token")))
            .trimmed();
    const QString cookie = reply.fields.value(QStringLiteral("SesInfo")).trimmed();
    if (token.isEmpty() || (!cookie.isEmpty() && !cookie.startsWith(QLatin1String("SessionID=")))) {
        return std::nullopt;
    }
    return Session{cookie, token};
}

namespace
{

std::optional<int> wholeNumber(const QString& text)
{
    bool numeric = false;
    const int value = text.trimmed().toInt(&numeric);
    return numeric ? std::optional<int>(value) : std::nullopt;
}

// A decimal cell ID or area code, as the window shows them; empty for anything else.
QString decimal(const QString& text)
{
    const QString trimmed = text.trimmed();
    bool numeric = false;
    trimmed.toULongLong(&numeric);
    return numeric && !trimmed.startsWith(u'-') && !trimmed.startsWith(u'+') ? trimmed : QString();
}

} // namespace

SignalFacts readSignal(const Reply& reply)
{
    const auto field = [&reply](const char* name) {
        return reply.fields.value(QLatin1String(name));
    };
    SignalFacts facts;
    facts.mode = wholeNumber(field("mode"));
    facts.rssiDbm = measuredValue(field("rssi"));
    facts.rsrpDbm = measuredValue(field("rsrp"));
    facts.sinrDb = measuredValue(field("sinr"));
    facts.rsrqDb = measuredValue(field("rsrq"));
    facts.rscpDbm = measuredValue(field("rscp"));
    facts.ecioDb = measuredValue(field("ecio"));
    facts.cellId = decimal(field("cell_id"));
    facts.tac = decimal(field("tac"));
    facts.band = wholeNumber(field("band"));
    static const QRegularExpression downlink(QStringLiteral("DL:\\s*(\\d+)"));
    if (const QRegularExpressionMatch match = downlink.match(field("earfcn")); match.hasMatch()) {
        facts.downlinkChannel = match.captured(1).toInt();
    }
    return facts;
}

CellArea readSignalPara(const Reply& reply)
{
    const auto decimalOfHex = [&reply](const char* name) {
        return at::hexToDecimalText(reply.fields.value(QLatin1String(name)).trimmed())
            .value_or(QString());
    };
    return {decimalOfHex("Lac"), decimalOfHex("CellID")};
}

int levelIndexOfRssi(double rssiDbm)
{
    return std::clamp(static_cast<int>(std::lround((rssiDbm + 113) / 2)), 0, 31);
}

QByteArray loginPassword(const QString& user, const QString& password, const QString& token)
{
    const auto sha256Hex = [](const QByteArray& bytes) {
        return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    };
    const QByteArray hashedPassword = sha256Hex(password.toUtf8()).toBase64();
    return sha256Hex(user.toUtf8() + hashedPassword + token.toUtf8()).toBase64();
}

} // namespace hilink
