// The words heard and the ends of texts, told as the played audio reaches them.
#include "synthrig.h"

#include <QTest>

namespace {

// Records what the synthesiser tells, as "text" of each word heard.
struct Heard : SpeechListener {
    void wordHeard(quint64 id, qsizetype start, qsizetype length) override
    {
        words << texts.value(id).mid(start, length);
    }
    void textEnded(quint64 id) override { ended << id; }
    void speechBroken(const QString &reason) override { broken << reason; }
    void audibilityChanged(const QString &reason) override { reasons << reason; }

    QHash<quint64, QString> texts;
    QStringList words;
    QList<quint64> ended;
    QStringList broken;
    QStringList reasons;
};

} // namespace

class TestSpeechProgress : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void wordsLandOnTheirCharacters();
    void fliteWordsLandOnTheirCharacters();
    void followsThePlayedAudioOnly();
    void aBrokenOutputEndsTheReading();

private:
    quint64 speak(const QString &text)
    {
        const quint64 id = m_rig->synth->speak(text);
        m_heard.texts.insert(id, text);
        return id;
    }

    std::unique_ptr<SynthRig> m_rig;
    Heard m_heard;
};

void TestSpeechProgress::init()
{
    m_heard = Heard();
    m_rig = std::make_unique<SynthRig>();
    m_rig->synth->setListener(&m_heard);
}

void TestSpeechProgress::cleanup()
{
    m_rig.reset();
}

void TestSpeechProgress::wordsLandOnTheirCharacters()
{
    // Accents and an emoji (two UTF-16 units) before the words they shift, several
    // spaces, a line break, punctuation and a long clause cut for length.
    QString longClause;
    for (int i = 0; i < 60; ++i)
        longClause += QStringLiteral("word ");
    const QString text = QStringLiteral("Héllo  wörld \U0001F600 café,\nnaïve \"cat\"!  Dr. Smith ")
        + longClause + QStringLiteral("end.");
    const quint64 id = speak(text);
    QVERIFY(m_rig->capture->playToEnd());
    QTRY_COMPARE(m_heard.ended, QList<quint64>{id});
    QStringList expected{"Héllo", "wörld", "\U0001F600", "café", "naïve", "cat", "Dr",
                         "Smith"};
    for (int i = 0; i < 60; ++i)
        expected << QStringLiteral("word");
    expected << QStringLiteral("end");
    QCOMPARE(m_heard.words, expected);
}

void TestSpeechProgress::fliteWordsLandOnTheirCharacters()
{
    // A number said as several words is one word of the text; quotes and titles.
    QVERIFY(m_rig->synth->setVoice(QStringLiteral("flite:slt")));
    const QString text = QStringLiteral("Hello, Dr. Smith read  1984 \"books\" today.\nThe end.");
    const quint64 id = speak(text);
    QVERIFY(m_rig->capture->playToEnd());
    QTRY_COMPARE(m_heard.ended, QList<quint64>{id});
    QCOMPARE(m_heard.words, (QStringList{"Hello", "Dr", "Smith", "read", "1984", "books",
                                         "today", "The", "end"}));
}

void TestSpeechProgress::followsThePlayedAudioOnly()
{
    const quint64 id = speak(QStringLiteral("One two three four five six seven eight nine."));
    // Synthesised but not yet played: nothing is heard.
    QTRY_VERIFY(m_rig->capture->queue().available() > 22050);
    QTest::qWait(100);
    QCOMPARE(m_heard.words, QStringList());
    // The first sample played is the first word's.
    QCOMPARE(m_rig->capture->advance(1), 1);
    QTRY_COMPARE(m_heard.words, QStringList{"One"});
    QTest::qWait(50);
    QCOMPARE(m_heard.words, QStringList{"One"});
    // Held: however long, nothing moves.
    m_rig->synth->pause();
    QCOMPARE(m_rig->capture->advance(22050), 0);
    QTest::qWait(100);
    QCOMPARE(m_heard.words, QStringList{"One"});
    m_rig->synth->resume();
    m_rig->capture->advance(22050);
    QTRY_VERIFY(m_heard.words.size() > 1);
    QCOMPARE(m_heard.words.mid(0, 2), (QStringList{"One", "two"}));
    QVERIFY(m_heard.ended.isEmpty());
    // A stop ends the text unheard; no word of it follows.
    const qsizetype heard = m_heard.words.size();
    m_rig->synth->stop();
    QTRY_COMPARE(m_heard.ended, QList<quint64>{id});
    m_rig->capture->advance(22050);
    QTest::qWait(50);
    QCOMPARE(m_heard.words.size(), heard);
}

void TestSpeechProgress::aBrokenOutputEndsTheReading()
{
    speak(QStringLiteral("A text the output cannot finish, as its server went away."));
    QTRY_VERIFY(m_rig->capture->queue().available() > 0);
    m_rig->capture->setFailure(QStringLiteral("The sound server stopped playing."));
    QTRY_COMPARE(m_heard.broken, QStringList{"The sound server stopped playing."});
    QCOMPARE(m_heard.reasons, QStringList{"The sound server stopped playing."});
    QCOMPARE(m_rig->synth->inaudibleReason(), QStringLiteral("The sound server stopped playing."));
    // The next text looks for an output again and plays.
    m_rig->capture = nullptr;
    const quint64 id = speak(QStringLiteral("Back again."));
    QVERIFY(m_rig->capture);
    QVERIFY(m_rig->capture->playToEnd());
    QTRY_VERIFY(m_heard.ended.contains(id));
    QCOMPARE(m_heard.reasons.constLast(), QString());
}

QTEST_GUILESS_MAIN(TestSpeechProgress)
#include "tst_speechprogress.moc"
