// Read-along figures, each against a reference measured in the same run:
//  - how long after its first sample is played a word is told to the window, on an
//    output whose played-sample clock runs in real time in periods of 20 ms, against
//    the goal of one period plus 20 ms;
//  - from Read from Caret at the end of a 10 MB document, and from Read It! at its
//    start, to the first audio buffer, as a ratio to Read It! on a 1 KB pad.

#include "platform/espeak/audiooutput.h"
#include "platform/espeak/espeakspeechsynth.h"
#include "platform/espeak/espeakvoice.h"
#include "platform/espeak/pcmqueue.h"
#include "platform/espeak/voicetuning.h"
#include "platform/richtextpad.h"
#include "speech/readout.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTextDocument>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int rate = EspeakVoice::sampleRate;
constexpr int periodMs = 20;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

// A device that plays in real time: every period it takes a period of audio, and
// its clock says that much more has been heard.
class RealTimeOutput : public AudioOutput
{
public:
    explicit RealTimeOutput(PcmQueue &queue) : m_queue(queue)
    {
        m_thread = std::thread([this] {
            std::vector<qint16> block(rate * periodMs / 1000);
            auto next = Clock::now();
            while (!m_quit) {
                next += std::chrono::milliseconds(periodMs);
                std::this_thread::sleep_until(next);
                const qsizetype n = m_queue.read(block.data(), qsizetype(block.size()));
                if (n > 0 && m_start.load() == Clock::time_point())
                    m_start.store(next);
                m_played.store(m_queue.readTotal());
            }
        });
    }
    ~RealTimeOutput() override
    {
        m_quit = true;
        m_thread.join();
    }
    void play() override { }
    void suspend() override { }
    void resume() override { }
    void stop() override { }
    quint64 playedSamples(quint64) const override { return m_played.load(); }
    QString failure() const override { return {}; }

    // When the first period of audio was taken: the clock counts it heard from then.
    Clock::time_point start() const { return m_start.load(); }

private:
    PcmQueue &m_queue;
    std::atomic<bool> m_quit{false};
    std::atomic<quint64> m_played{0};
    std::atomic<Clock::time_point> m_start{Clock::time_point()};
    std::thread m_thread;
};

struct Told : SpeechListener {
    void wordHeard(quint64, qsizetype start, qsizetype) override
    {
        words.push_back({start, Clock::now()});
    }
    void textEnded(quint64) override { ended = true; }
    void speechBroken(const QString &) override { }
    void audibilityChanged(const QString &) override { }
    std::vector<std::pair<qsizetype, Clock::time_point>> words;
    bool ended = false;
};

// Where each word of a one-clause text begins in its audio, in samples.
std::vector<std::pair<qsizetype, qint64>> wordSamples(const QString &text)
{
    EspeakVoice voice;
    std::vector<std::pair<qsizetype, qint64>> samples;
    voice.synthesise(text, true, VoiceTuning::forVoice(150, 100, 100),
                     [](const qint16 *, qsizetype) { return true; },
                     [&](qint64 sample, qsizetype start, qsizetype) {
                         samples.push_back({start, sample});
                     });
    EspeakVoice::libraryUsedElsewhere();
    return samples;
}

void highlightLag()
{
    const QString text = QStringLiteral(
        "The quick brown fox jumps over the lazy dog while the cat sleeps in the sun and "
        "the birds sing in the old oak tree behind the house");
    const auto samples = wordSamples(text);
    std::vector<double> lags;
    for (int round = 0; round < 5; ++round) {
        RealTimeOutput *output = nullptr;
        EspeakSpeechSynth::Options options;
        options.output = [&output](PcmQueue &queue, int) {
            auto o = std::make_unique<RealTimeOutput>(queue);
            output = o.get();
            return o;
        };
        EspeakSpeechSynth synth(options);
        synth.setPitch(100);
        Told told;
        synth.setListener(&told);
        synth.speak(text);
        QElapsedTimer timer;
        timer.start();
        while (!told.ended && timer.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        for (const auto &[start, when] : told.words) {
            const auto it = std::find_if(samples.begin(), samples.end(),
                                         [start](const auto &s) { return s.first == start; });
            if (it == samples.end())
                continue;
            // The period in which the device's clock first counted the word's first
            // sample as played.
            const qint64 block = rate * periodMs / 1000;
            const auto played = output->start()
                + std::chrono::milliseconds(it->second / block * periodMs);
            lags.push_back(ms(when - played));
        }
        synth.setListener(nullptr);
    }
    std::sort(lags.begin(), lags.end());
    std::printf("Word told after its first sample is played (%zu words, period %d ms)\n",
                lags.size(), periodMs);
    std::printf("  median %.1f ms, 95th percentile %.1f ms, worst %.1f ms;"
                " goal <= %d ms (one period plus 20 ms)\n",
                median(lags), lags.empty() ? -1 : lags[lags.size() * 95 / 100],
                lags.empty() ? -1 : lags.back(), periodMs + 20);
}

// An output that takes the audio as fast as it comes.
class Drain : public AudioOutput
{
public:
    explicit Drain(PcmQueue &queue) : m_queue(queue)
    {
        m_thread = std::thread([this] {
            std::vector<qint16> block(4096);
            while (!m_quit) {
                if (m_queue.read(block.data(), qsizetype(block.size())) == 0)
                    std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
        });
    }
    ~Drain() override
    {
        m_quit = true;
        m_thread.join();
    }
    void play() override { }
    void suspend() override { }
    void resume() override { }
    void stop() override { }
    quint64 playedSamples(quint64) const override { return m_queue.readTotal(); }
    QString failure() const override { return {}; }

private:
    PcmQueue &m_queue;
    std::atomic<bool> m_quit{false};
    std::thread m_thread;
};

void readFromCaretAtTheEnd()
{
    EspeakSpeechSynth::Options options;
    options.output = [](PcmQueue &queue, int) { return std::make_unique<Drain>(queue); };
    EspeakSpeechSynth synth(options);
    std::atomic<bool> gotFirst{false};
    Clock::time_point first;
    synth.setSynthesisTap([&](const qint16 *, qsizetype) {
        if (!gotFirst.load()) {
            first = Clock::now();
            gotFirst.store(true);
        }
    });
    RichTextPad pad;
    QPushButton read, stop, pause, resume;
    ReadOut readOut(synth, pad, &read, &stop, &pause, &resume);
    const auto firstBufferMs = [&](const std::function<void()> &command) {
        gotFirst = false;
        const auto start = Clock::now();
        command();
        while (!gotFirst)
            std::this_thread::yield();
        const double result = ms(first - start);
        readOut.cmdStop_Click();
        QCoreApplication::processEvents();
        return result;
    };

    const QString sentence = QStringLiteral("A line of the book to be read from the caret. ");
    QString small;
    while (small.size() < 1024)
        small += sentence;
    small.truncate(1024);
    QString large;
    large.reserve(10 * 1024 * 1024);
    while (large.size() < 10 * 1024 * 1024)
        large += sentence + (large.size() % 2000 < 60 ? QStringLiteral("\n") : QString());
    large.truncate(10 * 1024 * 1024);
    // The caret before the last sentence of the document.
    const int caret = int(large.size()) - int(sentence.size());

    std::vector<double> smallMs, largeMs, wholeMs;
    pad.setText(small);
    firstBufferMs([&] { readOut.cmdRead_Click(); });
    for (int i = 0; i < 15; ++i) {
        pad.setText(small);
        smallMs.push_back(firstBufferMs([&] { readOut.cmdRead_Click(); }));
    }
    pad.document()->setPlainText(large);
    for (int i = 0; i < 15; ++i) {
        pad.setSelStart(caret);
        largeMs.push_back(firstBufferMs([&] { readOut.readFromCaret(); }));
        wholeMs.push_back(firstBufferMs([&] { readOut.cmdRead_Click(); }));
    }
    std::printf("First audio buffer (median of 15)\n");
    std::printf("  Read from Caret at the end of 10 MB %.2f ms, Read It! on 1 KB %.2f ms,"
                " ratio %.2fx (goal <= 1.5x)\n",
                median(largeMs), median(smallMs), median(largeMs) / median(smallMs));
    std::printf("  Read It! of the whole 10 MB %.2f ms, ratio %.2fx (goal <= 1.5x)\n",
                median(wholeMs), median(wholeMs) / median(smallMs));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    highlightLag();
    readFromCaretAtTheEnd();
    return 0;
}
