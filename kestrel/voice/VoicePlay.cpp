#include "kestrel/voice/VoicePlay.h"

#include "kestrel/at/Conversions.h"
#include "platform/sound/SoundPlayer.h"

QString spokenNumber(const VoiceInputs& inputs)
{
    if (inputs.check1Ticked)
        return QString::number(at::roundHalfToEven(inputs.levelPercentage));
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
