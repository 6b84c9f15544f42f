#pragma once

#include <QString>

// A media player driven by a file name and text commands: "Close" closes the open file and
// stops its sound, "Open" opens the named file, "Play" starts playing and returns at once.
// Every failure (missing or undecodable file, no sound device) stays inside the player.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void setFileName(const QString& fileName) = 0;
    virtual QString FileName() const = 0;
    virtual void setCommand(const QString& command) = 0;
    // Whether a sound could be heard now: false without an audio output, where "Play" does
    // nothing. Asked when the user switches the voice on, to say so rather than stay silent.
    virtual bool canBeHeard() const { return true; }
};
