#pragma once

#include "platform/voiceinfo.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

class ClauseVoice;
class PcmQueue;
class SpeechTimeline;

// The synthesis thread: takes the texts handed to it in order, synthesises them
// clause by clause with the engine of the voice chosen (espeak-ng's or Flite's) and
// writes the audio into the queue, blocking
// while the queue is full. The voice settings are read at the start of each clause,
// so a change reaches a text that is already being read; clauses synthesised ahead
// that have not begun to play are taken back and synthesised again, so the change
// is heard from the next clause played, not only after the look-ahead.
class SynthWorker
{
public:
    // Sees every block of audio as it enters the queue, on the synthesis thread.
    using Tap = std::function<void(const qint16 *samples, qsizetype count)>;

    // Marks where each word begins and each text ends in `timeline`. voiceDataPath is
    // espeak-ng's data folder, empty for the system's.
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
    // A voice id of any engine; the voice is loaded with the first clause it speaks.
    void setVoiceId(const QString &id);
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
        QString voiceId = Voices::defaultId();
    };

    void run();
    // Under m_mutex: tells the queue whether anything is left to synthesise.
    void updateIdle();
    // The voice of an id, made when first asked for; nullptr for an id of no engine.
    ClauseVoice *voiceFor(const QString &id);
    void speakItem(const Item &item);
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
    // Used on the synthesis thread only.
    std::map<QString, std::unique_ptr<ClauseVoice>> m_voices;

    std::thread m_thread;
};
