#pragma once

#include <QAudioDevice>
#include <QAudioFormat>
#include <QBasicTimer>
#include <QObject>

#include <vector>

class PcmQueue;
class QAudioSink;
class QIODevice;

// Moves audio from the queue into a QAudioSink, on the thread it lives in. The sink
// is opened when there is something to play and closed after a while of silence.
class AudioPump : public QObject
{
    Q_OBJECT

public:
    AudioPump(PcmQueue &queue, const QAudioDevice &device, int sampleRate);
    ~AudioPump() override;

    void play();
    void suspend();
    void resume();
    void stop();
    void shutDown();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void pump();
    bool followGeneration();
    bool openStream();
    void closeStream();

    PcmQueue &m_queue;
    QAudioDevice m_device;
    QAudioFormat m_format;
    QAudioSink *m_sink = nullptr;
    QIODevice *m_io = nullptr;
    QBasicTimer m_timer;
    std::vector<qint16> m_buffer;
    quint64 m_generation = 0;
    bool m_suspended = false;
    bool m_tailWritten = true;
    int m_quietTicks = 0;
};
