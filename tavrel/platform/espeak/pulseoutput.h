#pragma once

#include "platform/espeak/audiooutput.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class PcmQueue;
struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

// Plays the queue through the PulseAudio server with libpulse, from a thread of its
// own, so that neither a busy window nor a slow server interrupts the audio and no
// call here waits for the server. A server that goes away is noticed and told by
// failure() without any call hanging; a new output connects afresh, to a server
// that has come back.
class PulseOutput : public AudioOutput
{
public:
    // Connects to the sound server; nullptr, with the reason, when none answers.
    static std::unique_ptr<PulseOutput> connect(PcmQueue &queue, int sampleRate,
                                                QString *error = nullptr);
    ~PulseOutput() override;
    PulseOutput(const PulseOutput &) = delete;
    PulseOutput &operator=(const PulseOutput &) = delete;

    void play() override;
    void suspend() override;
    void resume() override;
    void stop() override;
    quint64 playedSamples(quint64 generation) const override;
    QString failure() const override;

private:
    PulseOutput(PcmQueue &queue, int sampleRate);
    bool open(QString *error);
    void close();
    void run();
    // Under the main loop's lock.
    bool serverGone() const;
    // False when the server is gone.
    bool pump();
    void fail(const QString &reason);

    PcmQueue &m_queue;
    const int m_sampleRate;
    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    pa_stream *m_stream = nullptr;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_quit = false;
    bool m_suspended = false;
    bool m_corked = false;

    // Owned by the playing thread.
    quint64 m_generation = 0;
    quint64 m_written = 0;
    bool m_triggered = false;

    std::atomic<quint64> m_playedGeneration{0};
    std::atomic<quint64> m_played{0};
    mutable std::mutex m_failureMutex;
    QString m_failure;
    std::thread m_thread;
};
