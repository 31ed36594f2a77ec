// Times the espeak-ng synthesiser against espeak-ng's library used directly on the
// same texts, and prints the ratios:
//  (espeak-ng alone is timed synchronously, and also through its own asynchronous
//  interface, which like speak() returns at once; that one runs in a child process
//  since the library can be set up only once per process)
//  - from speak() to the first audio buffer, for a 1 KB and a 1 MB text;
//  - synthesis throughput on a long text, with audio taken as fast as it comes;
//  - the memory the process holds while reading the 1 MB text, above idle.

#include "common/benchtext.h"
#include "platform/espeak/audiooutput.h"
#include "platform/espeak/espeakspeechsynth.h"
#include "platform/espeak/espeakvoice.h"
#include "platform/espeak/pcmqueue.h"

#include <espeak-ng/espeak_ng.h>

#include <QCoreApplication>
#include <QProcess>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long memoryKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// espeak-ng alone.
struct Reference {
    static inline Clock::time_point firstBuffer;
    static inline bool gotFirst = false;
    static inline bool stopAtFirst = false;
    static inline long long samples = 0;

    static int callback(short *wav, int count, espeak_EVENT *)
    {
        if (wav && count > 0) {
            samples += count;
            if (!gotFirst) {
                gotFirst = true;
                firstBuffer = Clock::now();
            }
            if (stopAtFirst)
                return 1;
        }
        return 0;
    }

    // Takes over the library the synthesiser has loaded, set up as espeak-ng's own
    // programs do; the synthesiser sets it up again afterwards.
    Reference()
    {
        espeak_SetSynthCallback(callback);
        espeak_ng_SetVoiceByName("en-us");
        espeak_ng_SetParameter(espeakRATE, 150, 0);
    }
    ~Reference() { EspeakVoice::libraryUsedElsewhere(); }

    double firstBufferMs(const QByteArray &utf8)
    {
        gotFirst = false;
        stopAtFirst = true;
        const auto start = Clock::now();
        espeak_ng_Synthesize(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                             espeakCHARS_UTF8, nullptr, nullptr);
        return ms(firstBuffer - start);
    }

    // Seconds to synthesise the whole text; the audio length in samples.
    double synthesise(const QByteArray &utf8, long long *audio)
    {
        stopAtFirst = false;
        samples = 0;
        const auto start = Clock::now();
        espeak_ng_Synthesize(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                             espeakCHARS_UTF8, nullptr, nullptr);
        *audio = samples;
        return ms(Clock::now() - start) / 1000.0;
    }
};

// An output that takes the audio as fast as it comes.
class Drain : public AudioOutput
{
public:
    explicit Drain(PcmQueue &queue) : m_queue(queue) { }
    void play() override { }
    void suspend() override { }
    void resume() override { }
    void stop() override { }
    quint64 playedSamples(quint64) const override { return m_queue.readTotal(); }
    QString failure() const override { return {}; }

    // Takes audio until the speech ends or the time is up; returns the samples.
    long long run(double seconds, const std::function<void()> &tick = {})
    {
        std::vector<qint16> block(16384);
        long long taken = 0;
        const auto until = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < until) {
            const qsizetype n = m_queue.read(block.data(), qsizetype(block.size()));
            taken += n;
            if (n == 0) {
                if (m_queue.producerIdle() && m_queue.available() == 0)
                    break;
                // Leave the processor to the synthesiser while it catches up.
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
            if (tick)
                tick();
        }
        return taken;
    }

    PcmQueue &queue() { return m_queue; }

private:
    PcmQueue &m_queue;
};

struct Rig {
    Rig()
    {
        EspeakSpeechSynth::Options options;
        options.output = [this](PcmQueue &queue, int) {
            auto drain = std::make_unique<Drain>(queue);
            this->drain = drain.get();
            return drain;
        };
        synth = std::make_unique<EspeakSpeechSynth>(options);
        synth->setSynthesisTap([this](const qint16 *, qsizetype) {
            // The time is written before the flag that publishes it.
            if (!gotFirst.load()) {
                firstBuffer = Clock::now();
                gotFirst.store(true);
            }
        });
        // Load the library and the voice before anything is timed.
        synth->speak(QStringLiteral("Ready."));
        drain->run(30);
    }

    double firstBufferMs(const QString &text)
    {
        gotFirst = false;
        const auto start = Clock::now();
        synth->speak(text);
        while (!gotFirst)
            std::this_thread::yield();
        const double result = ms(firstBuffer - start);
        synth->stop();
        drain->run(30);
        return result;
    }

    std::unique_ptr<EspeakSpeechSynth> synth;
    Drain *drain = nullptr;
    std::atomic<bool> gotFirst{false};
    Clock::time_point firstBuffer;
};

// espeak-ng's own asynchronous interface: espeak_Synth() returns at once and a
// thread of the library's delivers the audio. Prints the median milliseconds to the
// first buffer for the 1 KB and the 1 MB text.
int asyncReference(const QByteArray &small, const QByteArray &large, int rounds)
{
    static std::atomic<bool> got{false};
    static Clock::time_point first;
    if (espeak_Initialize(AUDIO_OUTPUT_RETRIEVAL, 0, nullptr, espeakINITIALIZE_DONT_EXIT) < 0)
        return 1;
    espeak_SetSynthCallback([](short *wav, int count, espeak_EVENT *) {
        if (wav && count > 0 && !got.load()) {
            first = Clock::now();
            got.store(true);
        }
        return got.load() ? 1 : 0;
    });
    espeak_SetVoiceByName("en-us");
    espeak_SetParameter(espeakRATE, 150, 0);
    const auto time = [](const QByteArray &utf8) {
        got = false;
        const auto start = Clock::now();
        espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                     espeakCHARS_UTF8, nullptr, nullptr);
        while (!got.load())
            std::this_thread::yield();
        const double result = ms(first - start);
        espeak_Cancel();
        espeak_Synchronize();
        return result;
    };
    time(small);
    std::vector<double> smallMs, largeMs;
    for (int i = 0; i < rounds; ++i) {
        smallMs.push_back(time(small));
        largeMs.push_back(time(large));
    }
    std::printf("%.4f %.4f\n", median(smallMs), median(largeMs));
    espeak_Terminate();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = 25;
    const int throughputRounds = 5;
    const QString kilobyte = proseOfSize(1024);
    const QString megabyte = proseOfSize(1024 * 1024);
    const QString longText = proseOfSize(24 * 1024);
    const QByteArray kilobyteUtf8 = kilobyte.toUtf8();
    const QByteArray megabyteUtf8 = megabyte.toUtf8();
    const QByteArray longUtf8 = longText.toUtf8();
    if (app.arguments().contains(QStringLiteral("--async-reference")))
        return asyncReference(kilobyteUtf8, megabyteUtf8, rounds * throughputRounds);

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--async-reference")});
    child.waitForFinished(120000);
    const QList<QByteArray> asyncMs = child.readAllStandardOutput().trimmed().split(' ');
    const double asyncSmallMs = asyncMs.size() == 2 ? asyncMs[0].toDouble() : -1;
    const double asyncLargeMs = asyncMs.size() == 2 ? asyncMs[1].toDouble() : -1;

    // espeak-ng alone and the synthesiser take turns with the library, so that a
    // busy machine weighs on both alike. The library is loaded once per process.
    std::vector<double> refSmall, refLarge, ourSmall, ourLarge;
    std::vector<double> refSeconds, ourSeconds, shiftedSeconds;
    long long refAudio = 0;
    long long ourAudio = 0;
    Rig rig;
    for (int round = 0; round < throughputRounds; ++round) {
        {
            Reference reference;
            reference.firstBufferMs(kilobyteUtf8);
            for (int i = 0; i < rounds; ++i) {
                refSmall.push_back(reference.firstBufferMs(kilobyteUtf8));
                refLarge.push_back(reference.firstBufferMs(megabyteUtf8));
            }
            refSeconds.push_back(reference.synthesise(longUtf8, &refAudio));
        }
        rig.firstBufferMs(kilobyte);
        for (int i = 0; i < rounds; ++i) {
            ourSmall.push_back(rig.firstBufferMs(kilobyte));
            ourLarge.push_back(rig.firstBufferMs(megabyte));
        }
        const auto start = Clock::now();
        rig.synth->speak(longText);
        ourAudio = rig.drain->run(600);
        ourSeconds.push_back(ms(Clock::now() - start) / 1000.0);
    }
    {
        // The slowest speed and the highest pitch, where the audio is reworked.
        rig.synth->setSpeed(50);
        rig.synth->setPitch(400);
        const auto start = Clock::now();
        rig.synth->speak(longText);
        rig.drain->run(600);
        shiftedSeconds.push_back(ms(Clock::now() - start) / 1000.0);
        rig.synth->setSpeed(150);
        rig.synth->setPitch(100);
    }

    // Memory: the document is held as the pad would hold it; then it is read.
    long idleKb = 0;
    long peakKb = 0;
    double readAudioSeconds = 0;
    {
        const QString document = proseOfSize(1024 * 1024);
        idleKb = memoryKb("VmRSS:");
        peakKb = idleKb;
        rig.synth->speak(document);
        int ticks = 0;
        const long long samples = rig.drain->run(10.0, [&] {
            if (++ticks % 64 == 0)
                peakKb = std::max(peakKb, memoryKb("VmRSS:"));
        });
        peakKb = std::max(peakKb, memoryKb("VmRSS:"));
        readAudioSeconds = double(samples) / EspeakVoice::sampleRate;
        rig.synth->stop();
    }

    const double refSmallMs = median(refSmall);
    const double refLargeMs = median(refLarge);
    const double ourSmallMs = median(ourSmall);
    const double ourLargeMs = median(ourLarge);
    std::printf("First audio buffer (median of %d)\n", rounds * throughputRounds);
    std::printf("  1 KB text: synthesiser %.3f ms, espeak-ng alone %.3f ms, ratio %.2fx"
                " (goal <= 1.5x)\n",
                ourSmallMs, refSmallMs, ourSmallMs / refSmallMs);
    std::printf("  1 MB text: synthesiser %.3f ms, espeak-ng alone %.3f ms, ratio %.2fx"
                " (goal <= 1.5x)\n",
                ourLargeMs, refLargeMs, ourLargeMs / refLargeMs);
    std::printf("  1 MB against 1 KB: synthesiser %.2fx, espeak-ng alone %.2fx\n",
                ourLargeMs / ourSmallMs, refLargeMs / refSmallMs);
    std::printf("  espeak-ng's own asynchronous interface: 1 KB %.3f ms (ratio %.2fx),"
                " 1 MB %.3f ms (ratio %.2fx)\n",
                asyncSmallMs, ourSmallMs / asyncSmallMs, asyncLargeMs,
                ourLargeMs / asyncLargeMs);
    const double refBest = *std::min_element(refSeconds.begin(), refSeconds.end());
    const double ourBest = *std::min_element(ourSeconds.begin(), ourSeconds.end());
    std::vector<double> ratios;
    for (size_t i = 0; i < refSeconds.size(); ++i)
        ratios.push_back(refSeconds[i] / ourSeconds[i]);
    std::printf("Throughput on a %lld-character text (%d rounds)\n", (long long)longText.size(),
                throughputRounds);
    std::printf("  synthesiser best %.3f s for %.0f s of audio, espeak-ng alone best %.3f s for"
                " %.0f s\n",
                ourBest, double(ourAudio) / EspeakVoice::sampleRate, refBest,
                double(refAudio) / EspeakVoice::sampleRate);
    std::printf("  ratio of best times %.2fx, median ratio per round %.2fx (goal >= 0.9x)\n",
                refBest / ourBest, median(ratios));
    std::printf("  at 50 wpm and 400 Hz (audio reworked): %.3f s, ratio %.2fx\n",
                shiftedSeconds.front(), refBest / shiftedSeconds.front());
    std::printf("Memory reading the 1 MB text (%.0f s of audio taken in 10 s)\n",
                readAudioSeconds);
    std::printf("  idle %.1f MB, peak %.1f MB, above idle %.1f MB (goal < 64 MB)\n",
                idleKb / 1024.0, peakKb / 1024.0, (peakKb - idleKb) / 1024.0);
    return 0;
}
