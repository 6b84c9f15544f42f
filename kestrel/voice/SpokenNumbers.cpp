#include "kestrel/voice/SpokenNumbers.h"

#include "kestrel/at/Conversions.h"
#include "kestrel/voice/VoicePlay.h"
#include "platform/levelbar/ProgressBar.h"

#include <algorithm>

QStringList spokenNumbers()
{
    QStringList numbers;
    const auto add = [&](const VoiceInputs& inputs) {
        const QString number = spokenNumber(inputs);
        if (!number.isEmpty() && !numbers.contains(number))
            numbers << number;
    };
    for (int index = LowestSignalIndex; index <= HighestSignalIndex; ++index) {
        // The level the signal query computes from an index.
        const at::DbmLevel level = -113 + 2 * index;
        add(VoiceInputs{true, false, 0, at::levelDbmText(level), QString()});
    }
    for (int value = LowestBarValue; value <= HighestBarValue; ++value) {
        const double percentage = levelPercentage(value, LevelBarMinimum, LevelBarMaximum);
        add(VoiceInputs{true, true, percentage, QString(), QString()});
    }

    std::sort(numbers.begin(), numbers.end(),
              [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    return numbers;
}
