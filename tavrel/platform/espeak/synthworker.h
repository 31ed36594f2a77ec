#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class EspeakVoice;
class PcmQueue;
class PitchTempo;
class SpeechTimeline;

// The synthesis thread: takes the texts handed to it in order, synthesises them
// clause by clause with espeak-ng and writes the audio into the queue, blocking
// while the queue is full. The voice settings are read at the start of each clause,
// so a change reaches a text that is already being read; clauses synthesised ahead
// that have not begun to play are taken back and synthesised again, so the change
// is heard from the next clause played, not only after the look-ahead.
class SynthWorker
{
public:
    // Sees every block of audio as it enters the queue, on the synthesis thread.
    using Tap = std::function<void(const qint16 *samples, qsizetype count)>;

    // Marks where each word begins and each text ends in `timeline`.
    SynthWorker(PcmQueue &queue, SpeechTimeline &timeline, const QByteArray &voiceDataPath);
    ~SynthWorker();
    SynthWorker(const SynthWorker &) = delete;
    SynthWorker &operator=(const SynthWorker &) = delete;

    // Queues a text for the queue's current generation; `id` names it in the marks.
    void enqueue(const QString &text, quint64 id);
    // Forgets every text not yet started; the caller clears the queue so that the
    // one in progress is abandoned too.
    void dropPending();

    void setVoice(int wordsPerMinute, int hertz, int percent);
    void setVoiceName(const QByteArray &name);
    void setTap(Tap tap);
    // The voice data could not be loaded: nothing can be heard.
    bool voiceMissing() const { return m_voiceMissing.load(); }

private:
    struct Item {
        QString text;
        quint64 generation = 0;
        quint64 id = 0;
    };
    struct Settings {
        int speed = 150;
        int pitch = 100;
        int volume = 100;
        QByteArray voiceName = "en-us";
    };

    void run();
    // Under m_mutex: tells the queue whether anything is left to synthesise.
    void updateIdle();
    void speakItem(const Item &item, EspeakVoice &voice, PitchTempo &shifter);
    Settings settings() const;

    PcmQueue &m_queue;
    SpeechTimeline &m_timeline;
    const QByteArray m_dataPath;
    std::atomic<bool> m_voiceMissing{false};

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Item> m_items;
    Settings m_settings;
    std::atomic<quint64> m_settingsVersion{0};
    Tap m_tap;
    bool m_busy = false;
    bool m_quit = false;

    std::thread m_thread;
};
