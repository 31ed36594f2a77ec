#include "platform/flite/flitevoice.h"

#include "platform/audio/pitchtempo.h"
#include "platform/audio/resampler.h"
#include "platform/espeak/voicetuning.h"

extern "C" {
#include <flite/flite.h>
cst_voice *register_cmu_us_slt(const char *voxdir);
cst_voice *register_cmu_us_awb(const char *voxdir);
cst_voice *register_cmu_us_rms(const char *voxdir);
cst_voice *register_cmu_us_kal16(const char *voxdir);
}

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

namespace {

const QString enginePrefix = QStringLiteral("flite:");

struct Known {
    const char *name;
    cst_voice *(*registerVoice)(const char *);
    const char *title;
    const char *language;
    // The speed it speaks at unstretched, in words per minute as espeak-ng counts them
    // (the same sentences take as long), and its median fundamental in Hz, both
    // measured on a few sentences of ordinary text.
    double wordsPerMinute;
    double fundamental;
};

const Known known[] = {
    {"slt", register_cmu_us_slt, "SLT, female, US (Flite)", "en-us", 163.0, 169.0},
    {"awb", register_cmu_us_awb, "AWB, male, Scottish (Flite)", "en-gb-scotland", 162.0, 136.0},
    {"rms", register_cmu_us_rms, "RMS, male, US (Flite)", "en-us", 134.0, 101.0},
    {"kal16", register_cmu_us_kal16, "KAL, male, US (Flite)", "en-us", 205.0, 91.0},
};

const Known *findKnown(const QByteArray &name)
{
    for (const Known &k : known) {
        if (name == k.name)
            return &k;
    }
    return nullptr;
}

// The library keeps global state: one lock for every use, and each voice is
// registered once per process and kept.
std::mutex &libraryMutex()
{
    static std::mutex mutex;
    return mutex;
}

cst_voice *loadVoice(const Known &k)
{
    static bool initialised = false;
    static std::map<QByteArray, cst_voice *> loaded;
    if (!initialised) {
        flite_init();
        initialised = true;
    }
    auto it = loaded.find(k.name);
    if (it == loaded.end())
        it = loaded.emplace(k.name, k.registerVoice(nullptr)).first;
    return it->second;
}

// Where each word begins in seconds, and where it stands in `text`: the first word of
// each token, found in the text in order (a token such as "1984" says several words).
struct WordTime {
    double seconds;
    qsizetype start;
    qsizetype length;
};

std::vector<WordTime> wordTimes(cst_utterance *utt, QStringView text)
{
    std::vector<WordTime> times;
    qsizetype cursor = 0;
    const cst_item *lastToken = nullptr;
    for (cst_item *word = utt_rel_head(utt, "Word"); word; word = item_next(word)) {
        const cst_item *token = item_parent(item_as(word, "Token"));
        if (!token || token == lastToken)
            continue;
        lastToken = token;
        const QString name = QString::fromUtf8(item_feat_string(token, "name"));
        if (name.isEmpty())
            continue;
        const qsizetype found = text.indexOf(name, cursor);
        if (found < 0)
            continue;
        cursor = found + name.size();
        const float begins =
            ffeature_float(word, "R:SylStructure.daughter1.daughter1.R:Segment.p.end");
        times.push_back({double(begins), found, name.size()});
    }
    return times;
}

} // namespace

FliteVoice::FliteVoice(const QByteArray &name)
    : m_name(name)
{
}

FliteVoice::~FliteVoice() = default;

QList<VoiceInfo> FliteVoice::installedVoices()
{
    QList<VoiceInfo> voices;
    for (const Known &k : known) {
        voices.append({enginePrefix + QLatin1String(k.name), QString::fromLatin1(k.title),
                       QString::fromLatin1(k.language), QStringLiteral("English")});
    }
    return voices;
}

QByteArray FliteVoice::voiceName(const QString &id)
{
    return id.startsWith(enginePrefix) ? id.mid(enginePrefix.size()).toUtf8() : QByteArray();
}

bool FliteVoice::prepare()
{
    const Known *k = findKnown(m_name);
    if (!k)
        return false;
    std::lock_guard lock(libraryMutex());
    return loadVoice(*k) != nullptr;
}

FliteVoice::Result FliteVoice::speak(QStringView text, bool pauseAfter, int wordsPerMinute,
                                     int hertz, int percent, const PcmSink &sink,
                                     const WordSink &words)
{
    // Flite ends every utterance with a pause of its own.
    Q_UNUSED(pauseAfter);
    const Known *k = findKnown(m_name);
    if (!k)
        return Result::Unavailable;
    // The same limits as every other voice.
    const int speed = std::clamp(wordsPerMinute, VoiceTuning::minSpeed, VoiceTuning::maxSpeed);
    const int pitch = std::clamp(hertz, VoiceTuning::minPitch, VoiceTuning::maxPitch);
    const double gain = std::clamp(percent, 0, 100) / 100.0;

    std::vector<WordTime> times;
    std::vector<qint16> native;
    int rate = 0;
    {
        std::lock_guard lock(libraryMutex());
        cst_voice *voice = loadVoice(*k);
        if (!voice)
            return Result::Unavailable;
        feat_set_float(voice->features, "duration_stretch", float(k->wordsPerMinute / speed));
        const QByteArray utf8 = text.toUtf8();
        cst_utterance *utt = flite_synth_text(utf8.constData(), voice);
        const cst_wave *wave = utt ? utt_wave(utt) : nullptr;
        if (!wave) {
            if (utt)
                delete_utterance(utt);
            return Result::Unavailable;
        }
        rate = wave->sample_rate;
        native.assign(wave->samples, wave->samples + wave->num_samples);
        if (words)
            times = wordTimes(utt, text);
        delete_utterance(utt);
    }
    if (rate <= 0)
        return Result::Unavailable;

    // The pitch is moved at the voice's own rate, then the audio brought to the
    // pipeline's; neither changes where a word begins in time.
    const double factor = pitch / k->fundamental;
    if (std::abs(factor - 1.0) > 0.01) {
        if (!m_shifter || m_rate != rate)
            m_shifter = std::make_unique<PitchTempo>(rate);
        m_shifter->reset();
        m_shifter->setFactors(1.0, factor, 1.0);
        m_shifted.clear();
        m_shifter->process(native.data(), qsizetype(native.size()), &m_shifted);
        m_shifter->flush(&m_shifted);
        native.swap(m_shifted);
    }
    if (rate != sampleRate) {
        if (!m_resampler || m_rate != rate)
            m_resampler = std::make_unique<Resampler>(rate, sampleRate);
        m_resampled.clear();
        m_resampler->process(native.data(), qsizetype(native.size()), &m_resampled);
        m_resampler->flush(&m_resampled);
        native.swap(m_resampled);
    }
    m_rate = rate;
    if (gain < 1.0) {
        for (qint16 &s : native)
            s = qint16(std::lround(s * gain));
    }

    // Handed over in pieces, so that a stop or a new setting is not held up by the
    // rest of the clause, each word announced before its audio.
    constexpr qsizetype piece = 2048;
    const qsizetype total = qsizetype(native.size());
    auto next = times.cbegin();
    for (qsizetype at = 0; at < total; at += piece) {
        const qsizetype end = std::min(total, at + piece);
        for (; next != times.cend() && qint64(next->seconds * sampleRate) < end; ++next)
            words(qint64(next->seconds * sampleRate), next->start, next->length);
        if (!sink(native.data() + at, end - at))
            return Result::Abandoned;
    }
    return Result::Done;
}
