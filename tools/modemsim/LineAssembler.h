#pragma once

#include <QByteArray>
#include <optional>

namespace modemsim
{

// Cuts the bytes a client sends into command lines. A line ends at CR; a LF where a line would
// start (the usual CR LF from a terminal) is dropped. A line longer than the stick's command
// buffer is thrown away whole, as the stick does, rather than growing without bound.
class LineAssembler
{
public:
    static constexpr qsizetype kMaxLineLength = 1024;

    // Feeds one byte; returns the finished line (without CR) when this byte ended one.
    std::optional<QByteArray> feed(char byte);
    // Forgets a half-received line (the client went away).
    void reset();

private:
    QByteArray current_;
    bool overflowed_ = false;
};

} // namespace modemsim
