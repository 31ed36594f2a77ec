#include "platform/espeak/synthworker.h"

#include "platform/clausesplitter.h"
#include "platform/audio/clausevoice.h"
#include "platform/espeak/pcmqueue.h"
#include "platform/espeak/speechengines.h"
#include "platform/espeak/speechtimeline.h"

#include <algorithm>
#include <vector>

SynthWorker::SynthWorker(PcmQueue &queue, SpeechTimeline &timeline,
                         const QByteArray &voiceDataPath)
    : m_queue(queue)
    , m_timeline(timeline)
    , m_dataPath(voiceDataPath)
{
    m_thread = std::thread([this] { run(); });
}

SynthWorker::~SynthWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_items.clear();
    }
    m_wake.notify_all();
    // A write waiting for room is released by a new generation.
    m_queue.clear();
    m_thread.join();
}

void SynthWorker::enqueue(const QString &text, quint64 id)
{
    {
        std::lock_guard lock(m_mutex);
        m_items.push_back({text, m_queue.generation(), id});
        updateIdle();
    }
    m_wake.notify_all();
}

void SynthWorker::dropPending()
{
    std::lock_guard lock(m_mutex);
    m_items.clear();
    updateIdle();
}

void SynthWorker::updateIdle()
{
    m_queue.setProducerIdle(!m_busy && m_items.empty());
}

void SynthWorker::setVoice(int wordsPerMinute, int hertz, int percent)
{
    std::lock_guard lock(m_mutex);
    m_settings.speed = wordsPerMinute;
    m_settings.pitch = hertz;
    m_settings.volume = percent;
    ++m_settingsVersion;
}

void SynthWorker::setVoiceId(const QString &id)
{
    std::lock_guard lock(m_mutex);
    m_settings.voiceId = id;
    ++m_settingsVersion;
}

void SynthWorker::setTap(Tap tap)
{
    std::lock_guard lock(m_mutex);
    m_tap = std::move(tap);
}

SynthWorker::Settings SynthWorker::settings() const
{
    std::lock_guard lock(m_mutex);
    return m_settings;
}

ClauseVoice *SynthWorker::voiceFor(const QString &id)
{
    auto it = m_voices.find(id);
    if (it == m_voices.end())
        it = m_voices.emplace(id, SpeechEngines::makeVoice(id, m_dataPath)).first;
    return it->second.get();
}

void SynthWorker::run()
{
    // Loading an engine and its voice cannot be broken off, and takes from tens of
    // milliseconds to seconds on a busy machine. Done now, while the program starts,
    // it holds up neither the first text nor, when the exit question is the first
    // text, the end of the program, which waits for this thread.
    QString first;
    {
        std::lock_guard lock(m_mutex);
        if (m_quit)
            return;
        first = m_settings.voiceId;
    }
    ClauseVoice *voice = voiceFor(first);
    m_voiceMissing.store(!voice || !voice->prepare());
    for (;;) {
        Item item;
        {
            std::unique_lock lock(m_mutex);
            m_busy = false;
            updateIdle();
            m_wake.wait(lock, [this] { return m_quit || !m_items.empty(); });
            if (m_quit)
                return;
            item = std::move(m_items.front());
            m_items.pop_front();
            m_busy = true;
        }
        speakItem(item);
        // Its end is heard once the audio written so far has played; a text dropped
        // by a stop has no end to tell.
        SpeechTimeline::Mark end;
        end.generation = item.generation;
        end.sample = m_queue.writtenTotal();
        end.textId = item.id;
        end.end = true;
        if (m_queue.generation() == item.generation)
            m_timeline.add(end);
    }
}

void SynthWorker::speakItem(const Item &item)
{
    Tap tap;
    {
        std::lock_guard lock(m_mutex);
        tap = m_tap;
    }
    const auto deliver = [&](const qint16 *samples, qsizetype count) {
        if (count <= 0)
            return true;
        if (!m_queue.write(samples, count, item.generation))
            return false;
        if (tap)
            tap(samples, count);
        return true;
    };

    // The clauses whose audio is in the queue, where each began there and in the text.
    struct Begun {
        quint64 mark;
        qsizetype textPosition;
    };
    std::deque<Begun> begun;
    ClauseSplitter clauses(item.text);
    quint64 version = 0;
    bool redo = false;

    // After a change of settings: takes back the audio from the first clause that
    // has not begun to play, and rewinds the text to it.
    const auto takeBackUnplayed = [&] {
        for (auto it = begun.begin(); it != begun.end(); ++it) {
            if (m_queue.takeBack(it->mark, item.generation)) {
                m_timeline.takeBack(item.generation, item.id, it->mark);
                clauses.rewind(it->textPosition);
                begun.erase(it, begun.end());
                return true;
            }
        }
        return false;
    };
    const auto deliverChecked = [&](const qint16 *samples, qsizetype count) {
        if (m_settingsVersion.load() != version) {
            if (takeBackUnplayed()) {
                redo = true;
                return false;
            }
            // The clause is already playing: the change waits for the next one.
            version = m_settingsVersion.load();
        }
        return deliver(samples, count);
    };

    ClauseSplitter::Clause clause;
    while (m_queue.generation() == item.generation) {
        const qsizetype position = clauses.position();
        if (!clauses.next(&clause))
            break;
        // Forget the clauses that have begun to play, but for the latest of them.
        const quint64 played = m_queue.readTotal();
        while (begun.size() > 1 && begun[1].mark <= played)
            begun.pop_front();
        begun.push_back({m_queue.writtenTotal(), position});

        version = m_settingsVersion.load();
        const Settings s = settings();
        ClauseVoice *voice = voiceFor(s.voiceId);
        if (!voice) {
            m_voiceMissing.store(true);
            break;
        }
        const quint64 clauseMark = begun.back().mark;
        const auto markWord = [&](qint64 sample, qsizetype start, qsizetype length) {
            SpeechTimeline::Mark word;
            word.generation = item.generation;
            word.sample = clauseMark + quint64(std::max<qint64>(0, sample));
            word.textId = item.id;
            word.start = clause.start + start;
            word.length = length;
            m_timeline.add(word);
        };
        const ClauseVoice::Result result = voice->speak(clause.text, clause.pauseAfter, s.speed,
                                                        s.pitch, s.volume, deliverChecked,
                                                        markWord);
        if (redo) {
            redo = false;
            continue;
        }
        if (result == ClauseVoice::Result::Unavailable)
            m_voiceMissing.store(true);
        if (result != ClauseVoice::Result::Done)
            break;
        // Settings changed after the clause's last audio: take back what has not
        // begun to play.
        if (m_settingsVersion.load() != version)
            takeBackUnplayed();
    }
}
