#pragma once

#include "platform/sound/PcmOutput.h"

class QAudioSink;

// PcmOutput over Qt Multimedia's QAudioSink on the default output, with a short buffer (about
// 40 ms) so that a change in the generated sound is heard soon. Without an audio output it
// plays nothing: a sink started on none would only fail (and Qt 6.4's backends must not be
// pushed there).
class AudioSinkOutput : public PcmOutput
{
public:
    static constexpr int kBufferMs = 40;

    AudioSinkOutput() = default;
    ~AudioSinkOutput() override;
    AudioSinkOutput(const AudioSinkOutput&) = delete;
    AudioSinkOutput& operator=(const AudioSinkOutput&) = delete;

    bool start(QIODevice* source, const QAudioFormat& format) override;
    void stop() override;

private:
    QAudioSink* sink_ = nullptr;
};
