#include "platform/espeak/audiopump.h"

#include "platform/espeak/pcmqueue.h"

#include <QAudioSink>
#include <QTimerEvent>

#include <algorithm>

namespace {

constexpr int tickMs = 10;
// What the sound server holds ahead of the speaker; it bounds the delay of a pause
// or a new voice setting, and how long this thread may be held up without a gap.
constexpr int deviceBufferMs = 200;
// After this much silence the stream is closed until there is speech again.
constexpr int closeAfterQuietMs = 3000;

} // namespace

AudioPump::AudioPump(PcmQueue &queue, const QAudioDevice &device, int sampleRate)
    : m_queue(queue)
    , m_device(device)
    , m_generation(queue.generation())
{
    m_format.setSampleRate(sampleRate);
    m_format.setChannelCount(1);
    m_format.setSampleFormat(QAudioFormat::Int16);
    m_buffer.resize(size_t(sampleRate / 4));
}

AudioPump::~AudioPump() = default;

void AudioPump::shutDown()
{
    m_timer.stop();
    closeStream();
    delete m_sink;
    m_sink = nullptr;
}

void AudioPump::play()
{
    if (!m_timer.isActive())
        m_timer.start(tickMs, this);
    pump();
}

void AudioPump::suspend()
{
    followGeneration();
    m_suspended = true;
    m_timer.stop();
    if (m_io)
        m_sink->suspend();
}

void AudioPump::resume()
{
    if (!m_suspended)
        return;
    m_suspended = false;
    if (m_io)
        m_sink->resume();
    play();
}

void AudioPump::stop()
{
    followGeneration();
}

void AudioPump::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_timer.timerId())
        pump();
    else
        QObject::timerEvent(event);
}

bool AudioPump::followGeneration()
{
    const quint64 current = m_queue.generation();
    if (current == m_generation)
        return false;
    // A stop: what the device still holds belongs to the dropped speech.
    closeStream();
    m_generation = current;
    return true;
}

void AudioPump::closeStream()
{
    if (m_io) {
        m_sink->stop();
        m_io = nullptr;
    }
}

bool AudioPump::openStream()
{
    if (!m_sink)
        m_sink = new QAudioSink(m_device, m_format, this);
    // Asked for on every opening: the sink keeps the size the sound server granted
    // the last stream and would ask for that next time, and the server grants less
    // than it is asked for, so each reopening would shrink the buffer until the
    // audio breaks up.
    m_sink->setBufferSize(m_format.bytesForDuration(deviceBufferMs * 1000));
    m_io = m_sink->start();
    m_tailWritten = true;
    m_quietTicks = 0;
    return m_io != nullptr;
}

void AudioPump::pump()
{
    followGeneration();
    if (m_suspended)
        return;

    for (;;) {
        if (!m_io) {
            if (m_queue.available() == 0)
                break;
            if (!openStream()) {
                // The device refused; stay silent and try again with the next text.
                m_timer.stop();
                return;
            }
        }
        const qsizetype room = std::min<qsizetype>(m_sink->bytesFree() / 2,
                                                   qsizetype(m_buffer.size()));
        if (room <= 0)
            break;
        const qsizetype n = m_queue.read(m_buffer.data(), room, m_generation);
        if (n == 0)
            break;
        m_io->write(reinterpret_cast<const char *>(m_buffer.data()), n * 2);
        m_tailWritten = false;
        m_quietTicks = 0;
    }

    const bool ended = m_queue.available() == 0 && m_queue.producerIdle();
    if (!m_io) {
        // Keep looking while the synthesiser is still at work.
        if (ended)
            m_timer.stop();
        return;
    }
    if (ended) {
        if (!m_tailWritten) {
            // The server starts playing only once its buffer is full: top it up
            // with silence so that the end of the speech, however short, is heard.
            const QByteArray silence(m_sink->bytesFree() & ~qsizetype(1), '\0');
            if (!silence.isEmpty())
                m_io->write(silence);
            m_tailWritten = true;
        }
        if (++m_quietTicks * tickMs >= closeAfterQuietMs) {
            closeStream();
            m_timer.stop();
        }
    }
}
