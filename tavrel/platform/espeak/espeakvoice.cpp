#include "platform/espeak/espeakvoice.h"

#include "platform/audio/pitchtempo.h"

#include <espeak-ng/espeak_ng.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

// What the library currently holds, shared by every instance in the process.
struct LibraryState {
    std::mutex mutex;
    bool initialised = false;
    QByteArray failedPath;
    bool triedAndFailed = false;
    const EspeakVoice *configuredFor = nullptr;
    QByteArray voiceName;
    int rate = -1;
    int pitch = -1;
    int volume = -1;
};

LibraryState &library()
{
    static LibraryState state;
    return state;
}

// The library calls back on the thread that asked for synthesis.
thread_local const EspeakVoice::PcmSink *t_sink = nullptr;
thread_local const EspeakVoice::WordSink *t_words = nullptr;
// Where each character the library counts (a code point) begins in the clause's
// UTF-16 text, and one more entry for the end.
thread_local std::vector<qsizetype> t_codePointStarts;
thread_local QStringView t_text;

void reportWord(const espeak_EVENT &event)
{
    // The library counts characters from 1; words of no length mark pauses.
    const qsizetype first = qsizetype(event.text_position) - 1;
    const qsizetype last = first + event.length;
    const auto &starts = t_codePointStarts;
    if (event.length <= 0 || first < 0 || last >= qsizetype(starts.size()))
        return;
    const qsizetype start = starts[size_t(first)];
    const qsizetype length = starts[size_t(last)] - start;
    // The library sometimes reports the space after a symbol as a word of its own.
    const QStringView word = t_text.mid(start, length);
    if (std::all_of(word.begin(), word.end(), [](QChar c) { return c.isSpace(); }))
        return;
    (*t_words)(event.sample, start, length);
}

int onSynthesised(short *wav, int count, espeak_EVENT *events)
{
    if (t_words) {
        for (espeak_EVENT *e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
            if (e->type == espeakEVENT_WORD)
                reportWord(*e);
        }
    }
    if (wav && count > 0 && t_sink && !(*t_sink)(wav, count))
        return 1;
    return 0;
}

bool initialise(LibraryState &lib, const QByteArray &dataPath)
{
    if (lib.initialised)
        return true;
    if (lib.triedAndFailed && lib.failedPath == dataPath)
        return false;
    espeak_ng_InitializePath(dataPath.isEmpty() ? nullptr : dataPath.constData());
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    if (status == ENS_OK)
        status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr);
    if (status != ENS_OK || espeak_ng_GetSampleRate() != EspeakVoice::sampleRate) {
        lib.triedAndFailed = true;
        lib.failedPath = dataPath;
        return false;
    }
    lib.initialised = true;
    lib.triedAndFailed = false;
    return true;
}

// Loads the library and the voice unless `voice` was the last to use them.
bool configure(LibraryState &lib, const EspeakVoice *voice, const QByteArray &dataPath,
               const QByteArray &voiceName)
{
    if (!initialise(lib, dataPath))
        return false;
    if (lib.configuredFor == voice && lib.voiceName == voiceName)
        return true;
    lib.configuredFor = nullptr;
    espeak_SetSynthCallback(onSynthesised);
    // A voice change resets the library's settings to the voice's own.
    if (espeak_ng_SetVoiceByName(voiceName.constData()) != ENS_OK)
        return false;
    lib.voiceName = voiceName;
    lib.rate = lib.pitch = lib.volume = -1;
    lib.configuredFor = voice;
    return true;
}

bool setParameter(espeak_PARAMETER parameter, int value, int *cached)
{
    if (*cached == value)
        return true;
    if (espeak_ng_SetParameter(parameter, value, 0) != ENS_OK)
        return false;
    *cached = value;
    return true;
}

} // namespace

QList<VoiceInfo> EspeakVoice::installedVoices(const QByteArray &dataPath)
{
    LibraryState &lib = library();
    std::lock_guard lock(lib.mutex);
    if (!initialise(lib, dataPath))
        return {};
    // Listing reloads the library's table of voices: whoever synthesises next selects
    // their voice again rather than trust what was selected before.
    lib.configuredFor = nullptr;
    const espeak_VOICE **list = espeak_ListVoices(nullptr);
    QList<VoiceInfo> voices;
    for (int i = 0; list && list[i]; ++i) {
        const espeak_VOICE *v = list[i];
        if (!v->identifier || !v->name)
            continue;
        VoiceInfo info;
        info.id = voiceId(v->identifier);
        info.name = QString::fromUtf8(v->name).replace(QLatin1Char('_'), QLatin1Char(' '));
        // The first of the languages, each after a priority byte.
        if (v->languages && v->languages[0])
            info.language = QString::fromUtf8(v->languages + 1);
        info.languageName = Voices::languageName(info.language);
        if (info.languageName.isEmpty())
            info.languageName = info.name;
        voices.append(info);
    }
    return voices;
}

QString EspeakVoice::voiceId(const QByteArray &voiceFile)
{
    return QStringLiteral("espeak-ng:") + QString::fromUtf8(voiceFile);
}

QByteArray EspeakVoice::voiceFile(const QString &id)
{
    const QString prefix = QStringLiteral("espeak-ng:");
    return id.startsWith(prefix) ? id.mid(prefix.size()).toUtf8() : QByteArray();
}

EspeakVoice::EspeakVoice(const QByteArray &dataPath)
    : m_dataPath(dataPath)
{
}

EspeakVoice::~EspeakVoice()
{
    LibraryState &lib = library();
    std::lock_guard lock(lib.mutex);
    if (lib.configuredFor == this)
        lib.configuredFor = nullptr;
}

void EspeakVoice::libraryUsedElsewhere()
{
    LibraryState &lib = library();
    std::lock_guard lock(lib.mutex);
    lib.configuredFor = nullptr;
}

bool EspeakVoice::prepare()
{
    LibraryState &lib = library();
    std::lock_guard lock(lib.mutex);
    return configure(lib, this, m_dataPath, m_voiceName);
}

EspeakVoice::Result EspeakVoice::synthesise(QStringView text, bool pauseAfter,
                                            const VoiceTuning &tuning, const PcmSink &sink,
                                            const WordSink &words)
{
    LibraryState &lib = library();
    std::lock_guard lock(lib.mutex);
    if (!configure(lib, this, m_dataPath, m_voiceName))
        return Result::Unavailable;
    if (!setParameter(espeakRATE, tuning.rate, &lib.rate)
        || !setParameter(espeakPITCH, tuning.pitch, &lib.pitch)
        || !setParameter(espeakVOLUME, tuning.volume, &lib.volume)) {
        return Result::Unavailable;
    }

    const QByteArray utf8 = text.toUtf8();
    unsigned int flags = espeakCHARS_UTF8;
    if (pauseAfter)
        flags |= espeakENDPAUSE;
    bool abandoned = false;
    const PcmSink watched = [&](const qint16 *samples, qsizetype count) {
        if (!sink(samples, count))
            abandoned = true;
        return !abandoned;
    };
    t_sink = &watched;
    if (words) {
        t_codePointStarts.clear();
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!text.at(i).isLowSurrogate() || i == 0 || !text.at(i - 1).isHighSurrogate())
                t_codePointStarts.push_back(i);
        }
        t_codePointStarts.push_back(text.size());
        t_text = text;
        t_words = &words;
    }
    espeak_ng_Synthesize(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, flags,
                         nullptr, nullptr);
    t_sink = nullptr;
    t_words = nullptr;
    return abandoned ? Result::Abandoned : Result::Done;
}

EspeakVoice::Result EspeakVoice::speak(QStringView text, bool pauseAfter, int wordsPerMinute,
                                       int hertz, int percent, const PcmSink &sink,
                                       const WordSink &words)
{
    if (!m_shifter)
        m_shifter = std::make_unique<PitchTempo>(sampleRate);
    const VoiceTuning tuning = VoiceTuning::forVoice(wordsPerMinute, hertz, percent);
    // A word's audio begins where the voice put it, moved by the change of tempo the
    // audio undergoes afterwards.
    const double stretch = 1.0 / (tuning.tempo * tuning.playbackRate);
    WordSink stretched;
    if (words) {
        stretched = [&words, stretch](qint64 sample, qsizetype start, qsizetype length) {
            words(qint64(sample * stretch), start, length);
        };
    }
    return synthesiseTuned(text, pauseAfter, tuning, *m_shifter, m_scratch, sink, stretched);
}

EspeakVoice::Result EspeakVoice::synthesiseTuned(QStringView text, bool pauseAfter,
                                                 const VoiceTuning &tuning, PitchTempo &shifter,
                                                 std::vector<qint16> &scratch,
                                                 const PcmSink &sink, const WordSink &words)
{
    if (!tuning.needsShifting())
        return synthesise(text, pauseAfter, tuning, sink, words);
    shifter.reset();
    shifter.setFactors(tuning.tempo, tuning.pitchFactor, tuning.playbackRate);
    const auto throughShifter = [&](const qint16 *samples, qsizetype count) {
        scratch.clear();
        shifter.process(samples, count, &scratch);
        return sink(scratch.data(), qsizetype(scratch.size()));
    };
    Result result = synthesise(text, pauseAfter, tuning, throughShifter, words);
    if (result == Result::Done) {
        scratch.clear();
        shifter.flush(&scratch);
        if (!sink(scratch.data(), qsizetype(scratch.size())))
            result = Result::Abandoned;
    }
    return result;
}
