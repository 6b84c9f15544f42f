#include "platform/sound/AudioSinkOutput.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>

AudioSinkOutput::~AudioSinkOutput()
{
    stop();
}

bool AudioSinkOutput::start(QIODevice* source, const QAudioFormat& format)
{
    stop();
    if (QMediaDevices::audioOutputs().isEmpty()) {
        return false;
    }
    sink_ = new QAudioSink(QMediaDevices::defaultAudioOutput(), format);
    sink_->setBufferSize(format.bytesForDuration(qint64{kBufferMs} * 1000));
    sink_->start(source);
    return true;
}

void AudioSinkOutput::stop()
{
    if (sink_) {
        sink_->stop();
        delete sink_;
        sink_ = nullptr;
    }
}
