#pragma once

#include <QByteArray>
#include <QList>

namespace modemsim
{

// One reply of the stick: its information lines and its final result code, framed on the wire
// the way Huawei sticks frame them (verbose mode, S3 = CR, S4 = LF):
//
//   CR LF +CSQ: 20,99 CR LF CR LF OK CR LF
//
// Several information lines share one block: CR LF line1 CR LF line2 CR LF.
struct AtReply {
    enum class Result {
        Ok,
        Error,    // "ERROR": unknown command or bad parameters
        CmeError, // "+CME ERROR: <n>": known command, not allowed now
        Ignored,  // not a command line (no "AT" in front): the stick says nothing
    };

    QList<QByteArray> lines;
    Result result = Result::Ok;
    int cmeError = 0;

    static AtReply ok(QList<QByteArray> lines = {}) { return {std::move(lines), Result::Ok, 0}; }
    static AtReply error() { return {{}, Result::Error, 0}; }
    static AtReply cme(int code) { return {{}, Result::CmeError, code}; }
    static AtReply ignored() { return {{}, Result::Ignored, 0}; }

    // The framed pieces in order: the information block line by line, then the result code.
    QList<QByteArray> segments() const;
    // Everything in one piece, as the stick normally writes it.
    QByteArray wire() const;
};

// How a reply is cut into separate writes (with a pause between them).
enum class ReplySplit {
    Whole,   // one write
    PerLine, // each framed line its own write: the information line first, "OK" later
    Halves,  // each framed line cut again in its middle
};

QList<QByteArray> splitReply(const AtReply& reply, ReplySplit split);

} // namespace modemsim
