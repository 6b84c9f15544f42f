#include "kestrel/polling/AtTransaction.h"

void AtTransaction::run(const QString& command, const QString& endMarker)
{
    port_.setOutput(command + QChar(13));
    for (;;) {
        ++readCounter_; // counted before the read, so the 500th read is the last
        if (const std::optional<QString> text = port_.Input()) {
            replyText_ = *text;
        }
        if (replyText_.contains(kErrorMarker)) {
            break;
        }
        if (replyText_.contains(endMarker) || readCounter_ >= kReadLimit) {
            break;
        }
    }
    readCounter_ = 0;
}
