#include "platform/clausesplitter.h"
#include "platform/espeak/pcmqueue.h"
#include "platform/espeak/voicetuning.h"

#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <atomic>
#include <numeric>
#include <thread>

class TestEspeakParts : public QObject
{
    Q_OBJECT

private slots:
    void clausesEndAtPunctuationAndLines_data();
    void clausesEndAtPunctuationAndLines();
    void longRunsAreCut();
    void clausesCoverTheWholeText();
    void ordinarySettingsNeedNoShifting();
    void everySpeedIsRenderedInOrder();
    void everyPitchIsRenderedInOrder();
    void queueKeepsOrderAcrossItsEnd();
    void fullQueueHoldsTheWriter();
    void clearReleasesTheWriterAndRefusesOldAudio();
    void takeBackOnlyWhatWasNotRead();
};

namespace {

QStringList clausesOf(const QString &text, QList<bool> *pauses = nullptr,
                      qsizetype maxLength = 240)
{
    ClauseSplitter splitter(text, maxLength);
    ClauseSplitter::Clause clause;
    QStringList out;
    while (splitter.next(&clause)) {
        out << clause.text.toString();
        if (pauses)
            pauses->append(clause.pauseAfter);
    }
    return out;
}

} // namespace

void TestEspeakParts::clausesEndAtPunctuationAndLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("clauses");
    QTest::newRow("sentences") << QStringLiteral("One two. Three, four; five! Six?")
                               << QStringList{"One two.", "Three,", "four;", "five!", "Six?"};
    QTest::newRow("numbers and lists stay whole")
        << QStringLiteral("Pi is 3.14, not 3,15.") << QStringList{"Pi is 3.14,", "not 3,15."};
    QTest::newRow("titles and initials") << QStringLiteral("Mr. J. Smith met Dr. Who. Then")
                                         << QStringList{"Mr. J. Smith met Dr. Who.", "Then"};
    QTest::newRow("closing quotes stay") << QStringLiteral("He said \"stop.\" Then left.")
                                         << QStringList{"He said \"stop.\"", "Then left."};
    QTest::newRow("lines") << QStringLiteral("Title\r\n\r\nFirst line\nsecond")
                           << QStringList{"Title", "First line", "second"};
    QTest::newRow("blanks only") << QStringLiteral(" \n\t \r\n ") << QStringList{};
    QTest::newRow("empty") << QString() << QStringList{};
}

void TestEspeakParts::clausesEndAtPunctuationAndLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, clauses);
    QCOMPARE(clausesOf(text), clauses);
}

void TestEspeakParts::longRunsAreCut()
{
    QString words;
    for (int i = 0; i < 100; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    QList<bool> pauses;
    const QStringList cut = clausesOf(words, &pauses, 50);
    QVERIFY(cut.size() > 10);
    const QRegularExpression wholeWords(QStringLiteral("^word\\d+( word\\d+)*$"));
    for (qsizetype i = 0; i < cut.size(); ++i) {
        QVERIFY(cut[i].size() <= 50);
        // Cut between words, and only the end of the text pauses.
        QVERIFY2(wholeWords.match(cut[i].trimmed()).hasMatch(), qPrintable(cut[i]));
        QCOMPARE(pauses[i], i == cut.size() - 1);
    }
    QCOMPARE(cut.join(u' ').trimmed(), words.trimmed());

    // A run without spaces is cut at the length, never inside a surrogate pair.
    QString run(49, u'x');
    run += QString::fromUcs4(U"\U0001F600") + QString(60, u'y');
    const QStringList pieces = clausesOf(run, nullptr, 50);
    QCOMPARE(pieces.join(QString()), run);
    QCOMPARE(pieces.first().size(), 49);
}

void TestEspeakParts::clausesCoverTheWholeText()
{
    const QString text = QStringLiteral(
        "  Well, Mr. Brown: the 2.5 kg parcel (sent at 9.30!) arrived.\n\n"
        "It was \"fine\"... wasn't it?  Yes;no, maybe.\u2029End");
    const QStringList clauses = clausesOf(text, nullptr, 20);
    QString joined;
    for (const QString &c : clauses) {
        QVERIFY(!c.isEmpty());
        QVERIFY(!c.front().isSpace());
        joined += c;
    }
    const auto withoutSpace = [](const QString &s) {
        QString out;
        for (QChar c : s) {
            if (!c.isSpace())
                out += c;
        }
        return out;
    };
    QCOMPARE(withoutSpace(joined), withoutSpace(text));
}

void TestEspeakParts::ordinarySettingsNeedNoShifting()
{
    const VoiceTuning start = VoiceTuning::forVoice(150, 100, 100);
    QVERIFY(!start.needsShifting());
    QCOMPARE(start.rate, 150);
    QVERIFY(start.pitch > 40 && start.pitch < 55);
    QCOMPARE(start.volume, 100);
    for (int wpm = 85; wpm <= 450; ++wpm) {
        for (int hz = 68; hz <= 171; ++hz)
            QVERIFY(!VoiceTuning::forVoice(wpm, hz, 100).needsShifting());
    }
    QCOMPARE(VoiceTuning::forVoice(150, 100, -1).volume, 0);
    QCOMPARE(VoiceTuning::forVoice(150, 100, 101).volume, 100);
}

void TestEspeakParts::everySpeedIsRenderedInOrder()
{
    // The speed heard: espeak-ng's rate, stretched in time, played back.
    for (int hz : {20, 50, 100, 400, 500}) {
        double previous = 0;
        for (int wpm = VoiceTuning::minSpeed; wpm <= VoiceTuning::maxSpeed; ++wpm) {
            const VoiceTuning t = VoiceTuning::forVoice(wpm, hz, 100);
            QVERIFY(t.rate >= VoiceTuning::slowestEspeakRate && t.rate <= 450);
            const double heard = t.rate * t.tempo * t.playbackRate;
            QVERIFY2(std::abs(heard - wpm) < 1.0 && heard > previous,
                     qPrintable(QStringLiteral("%1 wpm at %2 Hz: %3").arg(wpm).arg(hz)
                                    .arg(heard)));
            previous = heard;
        }
    }
}

void TestEspeakParts::everyPitchIsRenderedInOrder()
{
    double previous = 0;
    for (int hz = VoiceTuning::minPitch; hz <= VoiceTuning::maxPitch; ++hz) {
        const VoiceTuning t = VoiceTuning::forVoice(150, hz, 100);
        QVERIFY(t.pitch >= 0 && t.pitch <= 100);
        const double heard =
            VoiceTuning::espeakFundamental(t.pitch) * t.pitchFactor * t.playbackRate;
        QVERIFY2(heard >= previous && std::abs(heard - hz) < 0.04 * hz,
                 qPrintable(QStringLiteral("%1 Hz: %2").arg(hz).arg(heard)));
        previous = heard;
    }
    // Beyond espeak-ng's own range every step is a step.
    QVERIFY(VoiceTuning::forVoice(150, 50, 100).playbackRate
            < VoiceTuning::forVoice(150, 51, 100).playbackRate);
    QVERIFY(VoiceTuning::forVoice(150, 399, 100).pitchFactor
            < VoiceTuning::forVoice(150, 400, 100).pitchFactor);
}

void TestEspeakParts::queueKeepsOrderAcrossItsEnd()
{
    PcmQueue queue(10);
    const quint64 gen = queue.generation();
    std::vector<qint16> out(10);
    qint16 next = 0;
    qint16 expected = 0;
    for (int round = 0; round < 7; ++round) {
        std::vector<qint16> in(7);
        std::iota(in.begin(), in.end(), next);
        next += 7;
        QVERIFY(queue.write(in.data(), 7, gen));
        QCOMPARE(queue.available(), 7);
        QCOMPARE(queue.read(out.data(), 10), 7);
        for (int i = 0; i < 7; ++i)
            QCOMPARE(out[size_t(i)], expected++);
    }
    QCOMPARE(queue.read(out.data(), 10), 0);
}

void TestEspeakParts::fullQueueHoldsTheWriter()
{
    PcmQueue queue(100);
    std::vector<qint16> in(1000);
    std::iota(in.begin(), in.end(), 0);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        QVERIFY(queue.write(in.data(), 1000, queue.generation()));
        done = true;
    });
    QTRY_COMPARE(queue.available(), 100);
    QThread::msleep(50);
    QVERIFY(!done);
    std::vector<qint16> out;
    qint16 block[37];
    while (out.size() < 1000) {
        const qsizetype n = queue.read(block, 37);
        QVERIFY(queue.available() <= 100);
        out.insert(out.end(), block, block + n);
    }
    writer.join();
    QVERIFY(done);
    QCOMPARE(out, in);
}

void TestEspeakParts::clearReleasesTheWriterAndRefusesOldAudio()
{
    PcmQueue queue(100);
    const quint64 old = queue.generation();
    std::vector<qint16> in(500, 7);
    std::atomic<int> result{-1};
    std::thread writer([&] { result = queue.write(in.data(), 500, old) ? 1 : 0; });
    QTRY_COMPARE(queue.available(), 100);
    const quint64 fresh = queue.clear();
    writer.join();
    QCOMPARE(result.load(), 0);
    QVERIFY(fresh != old);
    QCOMPARE(queue.available(), 0);
    QVERIFY(!queue.write(in.data(), 10, old));
    QVERIFY(queue.write(in.data(), 10, fresh));
    qint16 out[20];
    QCOMPARE(queue.read(out, 20, old), 0);
    QCOMPARE(queue.read(out, 20, fresh), 10);
}

void TestEspeakParts::takeBackOnlyWhatWasNotRead()
{
    PcmQueue queue(100);
    const quint64 gen = queue.generation();
    std::vector<qint16> in(60);
    std::iota(in.begin(), in.end(), 0);
    QVERIFY(queue.write(in.data(), 30, gen));
    const quint64 mark = queue.writtenTotal();
    QCOMPARE(mark, 30u);
    QVERIFY(queue.write(in.data() + 30, 30, gen));
    qint16 out[60];
    QCOMPARE(queue.read(out, 20), 20);
    QCOMPARE(queue.readTotal(), 20u);
    // Samples 30 to 59 have not been read: they can be taken back.
    QVERIFY(!queue.takeBack(mark, gen + 1));
    QVERIFY(queue.takeBack(mark, gen));
    QCOMPARE(queue.available(), 10);
    QCOMPARE(queue.writtenTotal(), 30u);
    QVERIFY(queue.write(in.data() + 50, 5, gen));
    QCOMPARE(queue.read(out, 60), 15);
    QCOMPARE(out[9], qint16(29));
    QCOMPARE(out[10], qint16(50));
    // Once read, audio stays played.
    QVERIFY(!queue.takeBack(30, gen));
    QVERIFY(queue.takeBack(35, gen));
    queue.clear();
    QCOMPARE(queue.writtenTotal(), 0u);
    QCOMPARE(queue.readTotal(), 0u);
}

QTEST_GUILESS_MAIN(TestEspeakParts)
#include "tst_espeakparts.moc"
