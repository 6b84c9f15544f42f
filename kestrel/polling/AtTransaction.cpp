#include "kestrel/polling/AtTransaction.h"

#include <chrono>

qint64 AtTransaction::steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void AtTransaction::run(const QString& command, const QString& endMarker, ErrorWord errorWord)
{
    const Qt::CaseSensitivity errorCase =
        errorWord == ErrorWord::AnyCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const qint64 sent = clock_();
    port_.setOutput(command + QChar(13));
    for (;;) {
        ++readCounter_; // counted before the read, so the 500th read is the last
        if (const std::optional<QString> text = port_.Input()) {
            replyText_ = *text;
            if (watcher_ && !text->isEmpty()) {
                watcher_(*text);
            }
        }
        if (port_.deviceLost() || (stop_ && stop_->load())) {
            break;
        }
        if (replyText_.contains(kErrorMarker, errorCase)) {
            break;
        }
        if (replyText_.contains(endMarker) || readCounter_ >= kReadLimit ||
            clock_() - sent >= kReadWindowMs) {
            break;
        }
    }
    readCounter_ = 0;
}
