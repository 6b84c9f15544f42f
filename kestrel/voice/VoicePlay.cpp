#include "kestrel/voice/VoicePlay.h"

#include "platform/sound/SoundPlayer.h"

#include <cmath>

double roundHalfToEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5)
        return below;
    if (fraction > 0.5)
        return below + 1;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

QString spokenNumber(const VoiceInputs& inputs)
{
    if (inputs.check1Ticked) {
        if (!std::isfinite(inputs.levelPercentage))
            return QString();
        // Adding zero turns a negative zero into "0" rather than "-0".
        return QString::number(roundHalfToEven(inputs.levelPercentage) + 0.0, 'f', 0);
    }
    return inputs.levelDbm.mid(1, 3);
}

QString soundFolder(const QString& executableFolder)
{
    return executableFolder + QStringLiteral("/sound");
}

QString soundFileName(const QString& executableFolder, const QString& number)
{
    return soundFolder(executableFolder) + QLatin1Char('/') + number + QStringLiteral(".MP3");
}

void voiceplay(SoundPlayer& player, const VoiceInputs& inputs)
{
    if (!inputs.check2Ticked)
        return;
    player.setFileName(soundFileName(inputs.executableFolder, spokenNumber(inputs)));
    player.setCommand(QStringLiteral("Close"));
    player.setCommand(QStringLiteral("Open"));
    player.setCommand(QStringLiteral("Play"));
}
