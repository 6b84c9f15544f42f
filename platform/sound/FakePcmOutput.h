#pragma once

#include "platform/sound/PcmOutput.h"

// An output for tests: notes what it was given; pulls nothing.
class FakePcmOutput : public PcmOutput
{
public:
    QIODevice* source = nullptr;
    bool available = true;

    bool start(QIODevice* s, const QAudioFormat&) override
    {
        source = available ? s : nullptr;
        return available;
    }
    void stop() override { source = nullptr; }
};
