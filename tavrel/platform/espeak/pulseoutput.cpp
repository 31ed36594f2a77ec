#include "platform/espeak/pulseoutput.h"

#include "platform/espeak/pcmqueue.h"

#include <pulse/pulseaudio.h>

#include <QDeadlineTimer>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

constexpr int tickMs = 10;
// What the server holds ahead of the speaker: it bounds the delay of a new voice
// setting, and how long this thread may be held up without a gap.
constexpr int bufferMs = 200;
// How long a server may take to answer before it counts as not there.
constexpr int connectTimeoutMs = 3000;

const QString kServerGone = QStringLiteral("The sound server stopped playing.");

} // namespace

std::unique_ptr<PulseOutput> PulseOutput::connect(PcmQueue &queue, int sampleRate,
                                                  QString *error)
{
    std::unique_ptr<PulseOutput> output(new PulseOutput(queue, sampleRate));
    if (!output->open(error))
        return nullptr;
    output->m_thread = std::thread([out = output.get()] { out->run(); });
    return output;
}

PulseOutput::PulseOutput(PcmQueue &queue, int sampleRate)
    : m_queue(queue)
    , m_sampleRate(sampleRate)
    , m_generation(queue.generation())
    , m_playedGeneration(queue.generation())
{
}

PulseOutput::~PulseOutput()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    close();
}

bool PulseOutput::open(QString *error)
{
    const auto refuse = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop || pa_threaded_mainloop_start(m_loop) < 0)
        return refuse(QStringLiteral("The sound system could not be started."));
    pa_threaded_mainloop_lock(m_loop);
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Tavrel");
    if (!m_context
        || pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        pa_threaded_mainloop_unlock(m_loop);
        return refuse(QStringLiteral("No sound server is running."));
    }
    // The state is looked at now and then rather than waited for, so that a server
    // that never answers cannot hold the program up.
    QDeadlineTimer deadline(connectTimeoutMs);
    pa_context_state_t state;
    while ((state = pa_context_get_state(m_context)) != PA_CONTEXT_READY) {
        if (!PA_CONTEXT_IS_GOOD(state) || deadline.hasExpired()) {
            pa_threaded_mainloop_unlock(m_loop);
            return refuse(QStringLiteral("No sound server is running."));
        }
        pa_threaded_mainloop_unlock(m_loop);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        pa_threaded_mainloop_lock(m_loop);
    }

    pa_sample_spec spec;
    spec.format = PA_SAMPLE_S16LE;
    spec.rate = uint32_t(m_sampleRate);
    spec.channels = 1;
    m_stream = pa_stream_new(m_context, "Speech", &spec, nullptr);
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(pa_usec_to_bytes(bufferMs * 1000, &spec));
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(-1);
    const auto flags = pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING
                                         | PA_STREAM_AUTO_TIMING_UPDATE
                                         | PA_STREAM_ADJUST_LATENCY);
    if (!m_stream
        || pa_stream_connect_playback(m_stream, nullptr, &attr, flags, nullptr, nullptr) < 0) {
        pa_threaded_mainloop_unlock(m_loop);
        return refuse(QStringLiteral("The sound server refused to play."));
    }
    pa_stream_state_t streamState;
    while ((streamState = pa_stream_get_state(m_stream)) != PA_STREAM_READY) {
        if (!PA_STREAM_IS_GOOD(streamState) || deadline.hasExpired()) {
            pa_threaded_mainloop_unlock(m_loop);
            return refuse(QStringLiteral("The sound server refused to play."));
        }
        pa_threaded_mainloop_unlock(m_loop);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        pa_threaded_mainloop_lock(m_loop);
    }
    pa_threaded_mainloop_unlock(m_loop);
    return true;
}

void PulseOutput::close()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_lock(m_loop);
    if (m_stream) {
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    if (m_context) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
}

void PulseOutput::play()
{
    m_wake.notify_all();
}

void PulseOutput::suspend()
{
    {
        std::lock_guard lock(m_mutex);
        m_suspended = true;
    }
    m_wake.notify_all();
}

void PulseOutput::resume()
{
    {
        std::lock_guard lock(m_mutex);
        m_suspended = false;
    }
    m_wake.notify_all();
}

void PulseOutput::stop()
{
    m_wake.notify_all();
}

quint64 PulseOutput::playedSamples(quint64 generation) const
{
    return m_playedGeneration.load() == generation ? m_played.load() : 0;
}

QString PulseOutput::failure() const
{
    std::lock_guard lock(m_failureMutex);
    return m_failure;
}

void PulseOutput::fail(const QString &reason)
{
    std::lock_guard lock(m_failureMutex);
    m_failure = reason;
}

bool PulseOutput::serverGone() const
{
    return pa_context_get_state(m_context) != PA_CONTEXT_READY
        || pa_stream_get_state(m_stream) != PA_STREAM_READY;
}

void PulseOutput::run()
{
    for (;;) {
        bool suspended;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait_for(lock, std::chrono::milliseconds(tickMs));
            if (m_quit)
                return;
            suspended = m_suspended;
        }
        pa_threaded_mainloop_lock(m_loop);
        if (serverGone()) {
            pa_threaded_mainloop_unlock(m_loop);
            fail(kServerGone);
            return;
        }
        if (suspended != m_corked) {
            // Held at the server, so the audio stops at once and goes on from there.
            pa_operation *op = pa_stream_cork(m_stream, suspended ? 1 : 0, nullptr, nullptr);
            if (op)
                pa_operation_unref(op);
            m_corked = suspended;
        }
        const bool ok = pump();
        pa_threaded_mainloop_unlock(m_loop);
        if (!ok) {
            fail(kServerGone);
            return;
        }
    }
}

bool PulseOutput::pump()
{
    const quint64 current = m_queue.generation();
    if (current != m_generation) {
        // A stop: what the server still holds belongs to the dropped speech.
        pa_operation *op = pa_stream_flush(m_stream, nullptr, nullptr);
        if (op)
            pa_operation_unref(op);
        m_generation = current;
        m_written = 0;
        m_triggered = false;
        m_played.store(0);
        m_playedGeneration.store(current);
    }

    // The clock: what was written less what the server has yet to play.
    pa_usec_t latency = 0;
    int negative = 0;
    if (m_written > 0 && pa_stream_get_latency(m_stream, &latency, &negative) == 0) {
        const quint64 unheard = negative ? 0 : quint64(latency) * quint64(m_sampleRate) / 1000000;
        quint64 played = m_written > unheard ? m_written - unheard : 0;
        // Once the server has taken everything and no more is coming, the stream
        // waits for more and its latency stays at the device's: all was heard.
        const pa_timing_info *timing = pa_stream_get_timing_info(m_stream);
        if (timing && !timing->read_index_corrupt && !timing->write_index_corrupt
            && timing->read_index >= timing->write_index && m_queue.available() == 0
            && m_queue.producerIdle()) {
            played = m_written;
        }
        if (played > m_played.load())
            m_played.store(played);
    }
    if (m_corked)
        return true;

    const size_t writable = pa_stream_writable_size(m_stream);
    if (writable != size_t(-1) && writable >= 2) {
        std::vector<qint16> buffer(writable / 2);
        const qsizetype n = m_queue.read(buffer.data(), qsizetype(buffer.size()), m_generation);
        if (n > 0) {
            if (pa_stream_write(m_stream, buffer.data(), size_t(n) * 2, nullptr, 0,
                                PA_SEEK_RELATIVE) < 0) {
                return false;
            }
            m_written += quint64(n);
            m_triggered = false;
        }
    }
    // The server starts playing once its buffer is full: the end of the speech,
    // however short, is set going by hand.
    if (!m_triggered && m_written > 0 && m_queue.available() == 0 && m_queue.producerIdle()) {
        pa_operation *op = pa_stream_trigger(m_stream, nullptr, nullptr);
        if (op)
            pa_operation_unref(op);
        m_triggered = true;
    }
    return true;
}
