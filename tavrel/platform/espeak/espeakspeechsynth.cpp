#include "platform/espeak/espeakspeechsynth.h"

#include "platform/espeak/audiooutput.h"
#include "platform/espeak/espeakvoice.h"
#include "platform/espeak/pcmqueue.h"
#include "platform/espeak/qtaudiooutput.h"
#include "platform/espeak/synthworker.h"
#include "platform/espeak/voicetuning.h"

#include <QAudioDevice>
#include <QMediaDevices>

#include <algorithm>

namespace {

// Windows language identifiers of the voices offered.
constexpr int usEnglish = 1033;

} // namespace

EspeakSpeechSynth::EspeakSpeechSynth()
    : EspeakSpeechSynth(Options{})
{
}

EspeakSpeechSynth::EspeakSpeechSynth(Options options)
{
    const int rate = EspeakVoice::sampleRate;
    m_queue = std::make_unique<PcmQueue>(qsizetype(rate) * std::max(options.lookAheadMs, 50)
                                         / 1000);
    m_output = options.output ? options.output(*m_queue, rate) : defaultOutput(*m_queue, rate);
    // With nowhere to play there is no point in synthesising.
    if (m_output) {
        m_worker = std::make_unique<SynthWorker>(*m_queue, options.voiceDataPath);
        applyVoice();
    }
}

EspeakSpeechSynth::~EspeakSpeechSynth()
{
    // The worker goes first: it writes into the queue the output reads.
    m_worker.reset();
    m_output.reset();
}

std::unique_ptr<AudioOutput> EspeakSpeechSynth::defaultOutput(PcmQueue &queue, int sampleRate)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return nullptr;
    return std::make_unique<QtAudioOutput>(queue, device, sampleRate);
}

void EspeakSpeechSynth::speak(const QString &text)
{
    if (!m_worker)
        return;
    m_worker->enqueue(text);
    m_output->play();
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
    if (!m_worker)
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
    if (languageId == usEnglish && m_worker)
        m_worker->setVoiceName("en-us");
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
