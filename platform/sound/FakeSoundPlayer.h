#pragma once

#include "platform/sound/SoundPlayer.h"

#include <QStringList>

// Records what the program asks of the player: "FileName=<name>", then each command.
class FakeSoundPlayer : public SoundPlayer
{
public:
    QStringList calls;
    void setFileName(const QString& fileName) override
    {
        fileName_ = fileName;
        calls << QStringLiteral("FileName=") + fileName;
    }
    QString FileName() const override { return fileName_; }
    void setCommand(const QString& command) override { calls << command; }
    bool heard = true; // an audio output exists
    bool canBeHeard() const override { return heard; }

private:
    QString fileName_;
};
