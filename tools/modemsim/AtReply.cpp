#include "tools/modemsim/AtReply.h"

namespace modemsim
{

namespace
{
const QByteArray kCrLf = "\r\n";

QByteArray resultLine(const AtReply& reply)
{
    switch (reply.result) {
    case AtReply::Result::Ok:
        return "OK";
    case AtReply::Result::Error:
        return "ERROR";
    case AtReply::Result::CmeError:
        return "+CME ERROR: " + QByteArray::number(reply.cmeError);
    case AtReply::Result::Ignored:
        break;
    }
    return {};
}
} // namespace

QList<QByteArray> AtReply::segments() const
{
    if (result == Result::Ignored)
        return {};
    QList<QByteArray> out;
    for (qsizetype i = 0; i < lines.size(); ++i)
        out.append((i == 0 ? kCrLf : QByteArray()) + lines[i] + kCrLf);
    out.append(kCrLf + resultLine(*this) + kCrLf);
    return out;
}

QByteArray AtReply::wire() const
{
    QByteArray out;
    for (const QByteArray& segment : segments())
        out += segment;
    return out;
}

QList<QByteArray> splitReply(const AtReply& reply, ReplySplit split)
{
    const QList<QByteArray> segments = reply.segments();
    if (segments.isEmpty())
        return {};
    switch (split) {
    case ReplySplit::Whole:
        return {reply.wire()};
    case ReplySplit::PerLine:
        return segments;
    case ReplySplit::Halves:
        break;
    }
    QList<QByteArray> out;
    for (const QByteArray& segment : segments) {
        const qsizetype half = segment.size() / 2;
        out.append(segment.left(half));
        out.append(segment.mid(half));
    }
    return out;
}

} // namespace modemsim
