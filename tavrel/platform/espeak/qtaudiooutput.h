#pragma once

#include "platform/espeak/audiooutput.h"

#include <QAudioDevice>
#include <QThread>

class AudioPump;
class PcmQueue;

// Plays the queue through a QAudioSink. The sink lives on a thread of its own, so
// that neither a busy window nor a slow sound server interrupts the audio, and no
// call here waits for the device.
class QtAudioOutput : public AudioOutput
{
public:
    QtAudioOutput(PcmQueue &queue, const QAudioDevice &device, int sampleRate);
    ~QtAudioOutput() override;

    void play() override;
    void suspend() override;
    void resume() override;
    void stop() override;

private:
    QThread m_thread;
    AudioPump *m_pump = nullptr;
};
