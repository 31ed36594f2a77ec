#include "pcmanalysis.h"

#include "platform/espeak/espeakspeechsynth.h"
#include "platform/espeak/espeakvoice.h"

#include <QDebug>
#include <QProcess>
#include <QTest>

#include <algorithm>

namespace {

constexpr int rate = EspeakVoice::sampleRate;
constexpr qsizetype window = rate / 20; // 50 ms

// Records what the sound server's null sink plays, from its monitor.
class MonitorRecording
{
public:
    ~MonitorRecording()
    {
        m_parec.kill();
        m_parec.waitForFinished(2000);
    }

    bool start()
    {
        m_parec.start(QStringLiteral("parec"),
                      {QStringLiteral("--device=tavrel_null.monitor"),
                       QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                       QStringLiteral("--rate=%1").arg(rate), QStringLiteral("--raw"),
                       QStringLiteral("--latency-msec=20")});
        // The null sink may start late: wait until its monitor delivers.
        return m_parec.waitForStarted(5000) && waitForLength(0, window, 10000);
    }

    const std::vector<qint16> &samples()
    {
        m_bytes += m_parec.readAllStandardOutput();
        const qsizetype whole = m_bytes.size() / 2;
        const auto *data = reinterpret_cast<const qint16 *>(m_bytes.constData());
        m_samples.assign(data, data + whole);
        return m_samples;
    }

    qsizetype size() { return qsizetype(samples().size()); }

    // Waits until the recording holds something louder than silence after `from`;
    // returns where, or -1.
    qsizetype waitForSound(qsizetype from, int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        qsizetype at = from;
        do {
            const auto &pcm = samples();
            for (; at + window <= qsizetype(pcm.size()); at += window) {
                if (PcmAnalysis::rms(pcm, at, at + window) > 300)
                    return at;
            }
            QTest::qWait(20);
        } while (!deadline.hasExpired());
        return -1;
    }

    // Waits until `quiet` samples of silence follow a sound after `from`; returns where
    // the silence began, or -1.
    qsizetype waitForQuiet(qsizetype from, qsizetype quiet, int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        qsizetype at = from;
        qsizetype silentSince = -1;
        do {
            const auto &pcm = samples();
            for (; at + window <= qsizetype(pcm.size()); at += window) {
                if (PcmAnalysis::rms(pcm, at, at + window) > 30)
                    silentSince = -1;
                else if (silentSince < 0)
                    silentSince = at;
                if (silentSince >= 0 && at + window - silentSince >= quiet)
                    return silentSince;
            }
            QTest::qWait(20);
        } while (!deadline.hasExpired());
        return -1;
    }

    // Waits until `length` more samples have been recorded after `from`.
    bool waitForLength(qsizetype from, qsizetype length, int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (size() < from + length) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(20);
        }
        return true;
    }

private:
    QProcess m_parec;
    QByteArray m_bytes;
    std::vector<qint16> m_samples;
};

QString longText()
{
    QStringList parts;
    for (int i = 1; i <= 15; ++i)
        parts << QStringLiteral("This is sentence number %1 of a text read aloud.").arg(i);
    return parts.join(u' ');
}

} // namespace

// Plays through the sound server the test command starts, with its null sink, and
// listens to what comes out.
class TestEspeakAudio : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void playsThroughTheSoundServer();
    void keepsItsSoundOverManyTexts();
};

void TestEspeakAudio::init()
{
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        QSKIP("needs the sound server that the test command starts");
}

void TestEspeakAudio::playsThroughTheSoundServer()
{
    MonitorRecording recording;
    QVERIFY(recording.start());

    EspeakSpeechSynth synth;
    QVERIFY(synth.hasOutput());
    synth.speak(longText());
    const qsizetype heard = recording.waitForSound(0, 10000);
    QVERIFY2(heard >= 0, "no speech reached the sound server");
    QVERIFY(recording.waitForLength(heard, 2 * rate, 10000));
    // It is the voice: a fundamental where the default pitch puts it.
    const double f0 = PcmAnalysis::medianFundamental(recording.samples(), rate, heard,
                                                     heard + 2 * rate);
    QVERIFY2(f0 > 75 && f0 < 130, qPrintable(QString::number(f0)));

    // Paused: silence, however long.
    synth.pause();
    QTest::qWait(500);
    const qsizetype paused = recording.size();
    QVERIFY(recording.waitForLength(paused, rate, 10000));
    QVERIFY(PcmAnalysis::rms(recording.samples(), paused, paused + rate) < 30);

    // Resumed: the speech goes on.
    const qsizetype resumedAt = recording.size();
    synth.resume();
    QVERIFY(recording.waitForSound(resumedAt, 5000) >= 0);

    // A new pitch is heard from the next clause: these last about two and a half
    // seconds each.
    QTest::qWait(300);
    const qsizetype changed = recording.size();
    synth.setPitch(300);
    QVERIFY(recording.waitForLength(changed, 7 * rate / 2, 10000));
    qsizetype raised = -1;
    const auto &pcm = recording.samples();
    for (qsizetype at = changed; at + rate / 4 <= changed + 7 * rate / 2; at += rate / 20) {
        if (PcmAnalysis::medianFundamental(pcm, rate, at, at + rate / 4) > 200) {
            raised = at - changed;
            break;
        }
    }
    qInfo() << "new pitch heard" << double(raised) / rate << "s after the change";
    QVERIFY2(raised >= 0 && raised < 3 * rate, qPrintable(QString::number(raised)));

    // Stopped: silence, and nothing of the text comes back.
    synth.stop();
    QTest::qWait(500);
    const qsizetype stopped = recording.size();
    QVERIFY(recording.waitForLength(stopped, 3 * rate / 2, 10000));
    QVERIFY(PcmAnalysis::rms(recording.samples(), stopped, stopped + 3 * rate / 2) < 30);

    // Even a single short word is heard afterwards.
    const qsizetype again = recording.size();
    synth.speak(QStringLiteral("Yes."));
    QVERIFY(recording.waitForSound(again, 5000) >= 0);
}

// Every text opens the output afresh (Stop closes it): the fiftieth must sound like the
// first, neither drawn out nor broken up by the gaps of a starved stream.
void TestEspeakAudio::keepsItsSoundOverManyTexts()
{
    MonitorRecording recording;
    QVERIFY(recording.start());

    EspeakSpeechSynth synth;
    QVERIFY(synth.hasOutput());
    constexpr int texts = 50;
    std::vector<double> seconds;
    std::vector<double> zeroShares;
    for (int i = 1; i <= texts; ++i) {
        const qsizetype from = recording.size();
        synth.speak(QStringLiteral("one two"));
        const qsizetype heard = recording.waitForSound(from, 10000);
        QVERIFY2(heard >= 0, qPrintable(QStringLiteral("text %1 was not heard").arg(i)));
        const qsizetype end = recording.waitForQuiet(heard, 6 * window, 10000);
        QVERIFY2(end >= 0, qPrintable(QStringLiteral("text %1 did not end").arg(i)));
        synth.stop();

        const auto &pcm = recording.samples();
        const std::vector<qint16> text(pcm.begin() + heard, pcm.begin() + end);
        const auto [first, last] = PcmAnalysis::soundSpan(text);
        QVERIFY(last > first);
        seconds.push_back(double(last - first) / rate);
        // The server plays exact zeros where the stream ran dry.
        zeroShares.push_back(double(std::count(text.begin() + first, text.begin() + last, 0))
                             / double(last - first));
    }

    const auto median = [](std::vector<double> values, int from, int count) {
        const auto middle = values.begin() + from + count / 2;
        std::nth_element(values.begin() + from, middle, values.begin() + from + count);
        return *middle;
    };
    const double firstSeconds = median(seconds, 0, 5);
    const double lastSeconds = median(seconds, texts - 5, 5);
    const double firstZeros = median(zeroShares, 0, 5);
    const double lastZeros = median(zeroShares, texts - 5, 5);
    qInfo() << "first texts" << firstSeconds << "s," << firstZeros * 100 << "% zero samples;"
            << "last texts" << lastSeconds << "s," << lastZeros * 100 << "%";
    QVERIFY(qAbs(lastSeconds / firstSeconds - 1) < 0.15);
    QVERIFY(lastZeros < firstZeros + 0.05);
}

QTEST_GUILESS_MAIN(TestEspeakAudio)
#include "tst_espeakaudio.moc"
