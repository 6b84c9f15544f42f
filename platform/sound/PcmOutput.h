#pragma once

class QAudioFormat;
class QIODevice;

// A sound output that plays raw samples as it pulls them from a source, for sound that is
// generated, not read from files.
class PcmOutput
{
public:
    virtual ~PcmOutput() = default;
    // Starts pulling `source`, which stays the caller's. False when there is no audio output:
    // then nothing plays and nothing else happens.
    virtual bool start(QIODevice* source, const QAudioFormat& format) = 0;
    virtual void stop() = 0;
};
