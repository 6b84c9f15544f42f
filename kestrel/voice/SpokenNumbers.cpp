#include "kestrel/voice/SpokenNumbers.h"

#include "kestrel/voice/VoicePlay.h"

#include <algorithm>

double levelBarPercentage(int value)
{
    const double percentage =
        static_cast<double>(value - LevelBarMinimum) / (LevelBarMaximum - LevelBarMinimum) * 100.0;
    return std::clamp(percentage, 0.0, 100.0);
}

QString levelDbmText(int signalIndex)
{
    return QString::number(-113 + 2 * signalIndex);
}

QStringList spokenNumbers()
{
    QStringList numbers;
    const auto add = [&](const VoiceInputs& inputs) {
        const QString number = spokenNumber(inputs);
        if (!number.isEmpty() && !numbers.contains(number))
            numbers << number;
    };
    for (int index = LowestSignalIndex; index <= HighestSignalIndex; ++index)
        add(VoiceInputs{true, false, 0, levelDbmText(index), QString()});
    for (int value = LowestBarValue; value <= HighestBarValue; ++value)
        add(VoiceInputs{true, true, levelBarPercentage(value), QString(), QString()});

    std::sort(numbers.begin(), numbers.end(),
              [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    return numbers;
}
