#include "platform/espeak/espeakspeechsynth.h"

#include "platform/espeak/audiooutput.h"
#include "platform/espeak/espeakvoice.h"
#include "platform/espeak/pcmqueue.h"
#include "platform/espeak/pulseoutput.h"
#include "platform/espeak/speechengines.h"
#include "platform/espeak/speechtimeline.h"
#include "platform/espeak/synthworker.h"
#include "platform/espeak/voicetuning.h"

#include <algorithm>

namespace {

// Windows language identifiers of the voices offered.
constexpr int usEnglish = 1033;
// How often the played audio is looked at while speaking: well under a word.
constexpr int followMs = 10;

} // namespace

EspeakSpeechSynth::EspeakSpeechSynth()
    : EspeakSpeechSynth(Options{})
{
}

EspeakSpeechSynth::EspeakSpeechSynth(Options options)
    : m_makeOutput(options.output ? options.output : OutputFactory(&defaultOutput))
    , m_voiceDataPath(options.voiceDataPath)
    , m_voice(Voices::defaultId())
    , m_timeline(std::make_unique<SpeechTimeline>())
{
    const int rate = ClauseVoice::sampleRate;
    m_queue = std::make_unique<PcmQueue>(qsizetype(rate) * std::max(options.lookAheadMs, 50)
                                         / 1000);
    m_follow.setInterval(followMs);
    m_follow.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_follow, &QTimer::timeout, [this] { followPlayback(); });
    ensureOutput();
}

void EspeakSpeechSynth::ensureOutput()
{
    if (m_output)
        return;
    m_output = m_makeOutput(*m_queue, ClauseVoice::sampleRate);
    // With nowhere to play there is no point in synthesising.
    if (!m_output)
        return;
    m_outputFailure.clear();
    if (!m_worker) {
        m_worker = std::make_unique<SynthWorker>(*m_queue, *m_timeline, m_voiceDataPath);
        // Settings and the voice chosen before there was a thread apply from its start.
        applyVoice();
        if (m_voice != Voices::defaultId())
            m_worker->setVoiceId(m_voice);
    }
}

QString EspeakSpeechSynth::inaudibleReason() const
{
    if (!m_output) {
        return m_outputFailure.isEmpty() ? QStringLiteral("No sound output was found.")
                                         : m_outputFailure;
    }
    if (m_worker && m_worker->voiceMissing())
        return QStringLiteral("The voice data of the speech synthesiser could not be loaded.");
    return {};
}

void EspeakSpeechSynth::reportAudibility()
{
    const QString reason = inaudibleReason();
    if (reason == m_reportedReason)
        return;
    m_reportedReason = reason;
    if (m_listener)
        m_listener->audibilityChanged(reason);
}

void EspeakSpeechSynth::followPlayback()
{
    if (!m_output) {
        m_follow.stop();
        return;
    }
    const QString failure = m_output->failure();
    if (!failure.isEmpty()) {
        breakOff(failure);
        return;
    }
    const quint64 generation = m_queue->generation();
    const auto marks = m_timeline->reached(generation, m_output->playedSamples(generation));
    for (const SpeechTimeline::Mark &mark : marks) {
        if (mark.end)
            m_lastEndedId = std::max(m_lastEndedId, mark.textId);
        if (!m_listener)
            continue;
        if (mark.end)
            m_listener->textEnded(mark.textId);
        else
            m_listener->wordHeard(mark.textId, mark.start, mark.length);
        // The listener may have stopped the speech.
        if (m_queue->generation() != generation)
            break;
    }
    reportAudibility();
    if (m_timeline->isEmpty() && m_queue->producerIdle() && m_queue->available() == 0)
        m_follow.stop();
}

void EspeakSpeechSynth::breakOff(const QString &reason)
{
    m_follow.stop();
    if (m_worker)
        m_worker->dropPending();
    m_queue->clear();
    m_timeline->clear();
    m_output.reset();
    m_outputFailure = reason;
    m_lastEndedId = m_lastTextId;
    if (m_listener)
        m_listener->speechBroken(reason);
    reportAudibility();
}

void EspeakSpeechSynth::endUnheard(quint64 lastId)
{
    const quint64 firstId = m_lastEndedId + 1;
    m_lastEndedId = std::max(m_lastEndedId, lastId);
    QTimer::singleShot(0, &m_follow, [this, firstId, lastId] {
        for (quint64 id = firstId; id <= lastId; ++id) {
            if (m_listener)
                m_listener->textEnded(id);
        }
    });
}

EspeakSpeechSynth::~EspeakSpeechSynth()
{
    m_follow.stop();
    // The worker goes first: it writes into the queue the output reads.
    m_worker.reset();
    m_output.reset();
}

std::unique_ptr<AudioOutput> EspeakSpeechSynth::defaultOutput(PcmQueue &queue, int sampleRate)
{
    return PulseOutput::connect(queue, sampleRate);
}

quint64 EspeakSpeechSynth::speak(const QString &text)
{
    const quint64 id = ++m_lastTextId;
    // An output whose server went away while nothing was read is let go quietly:
    // the text goes to whatever output there is now.
    if (m_output && !m_output->failure().isEmpty() && m_timeline->isEmpty()
        && m_queue->producerIdle() && m_queue->available() == 0) {
        m_output.reset();
    }
    ensureOutput();
    if (m_output) {
        m_worker->enqueue(text, id);
        m_output->play();
        m_follow.start();
    } else {
        endUnheard(id);
    }
    reportAudibility();
    return id;
}

void EspeakSpeechSynth::pause()
{
    if (m_output)
        m_output->suspend();
}

void EspeakSpeechSynth::resume()
{
    if (m_output)
        m_output->resume();
}

void EspeakSpeechSynth::stop()
{
    m_follow.stop();
    m_timeline->clear();
    if (m_lastEndedId < m_lastTextId)
        endUnheard(m_lastTextId);
    if (!m_output)
        return;
    m_worker->dropPending();
    m_queue->clear();
    m_output->stop();
}

bool EspeakSpeechSynth::setSpeed(int wordsPerMinute)
{
    m_speed = VoiceTuning::clampSpeed(wordsPerMinute);
    applyVoice();
    return true;
}

bool EspeakSpeechSynth::setPitch(int hertz)
{
    m_pitch = VoiceTuning::clampPitch(hertz);
    applyVoice();
    return true;
}

bool EspeakSpeechSynth::setVolume(int percent)
{
    m_volume = VoiceTuning::clampVolume(percent);
    applyVoice();
    return true;
}

void EspeakSpeechSynth::selectLanguage(int languageId)
{
    if (languageId == usEnglish)
        setVoice(Voices::defaultId());
}

QList<VoiceInfo> EspeakSpeechSynth::voices() const
{
    if (m_voices.isEmpty())
        m_voices = SpeechEngines::installedVoices(m_voiceDataPath);
    return m_voices;
}

bool EspeakSpeechSynth::setVoice(const QString &id)
{
    // The default voice comes with espeak-ng's data. Any other is looked up, which
    // waits for the synthesis thread to have loaded the library: the start-up with
    // the default voice does not wait for it.
    if (id != Voices::defaultId()) {
        const QList<VoiceInfo> installed = voices();
        if (std::none_of(installed.cbegin(), installed.cend(),
                         [&id](const VoiceInfo &v) { return v.id == id; }))
            return false;
    }
    m_voice = id;
    if (m_worker)
        m_worker->setVoiceId(id);
    return true;
}

void EspeakSpeechSynth::setSynthesisTap(
    std::function<void(const qint16 *samples, qsizetype count)> tap)
{
    if (m_worker)
        m_worker->setTap(std::move(tap));
}

void EspeakSpeechSynth::applyVoice()
{
    if (m_worker)
        m_worker->setVoice(m_speed, m_pitch, m_volume);
}
