// Read It!, Stop Read!, Pause and Resume: the two button pairs toggle independently
// and every click reaches the synthesiser.
#include "windowfixture.h"

#include "platform/richtextpad.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTest>

class TstReadout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readSpeaksTheWholeText();
    void readWithAnEmptyPadStillSwaps();
    void stopRestoresRead();
    void pauseThenStopLeavesResumeShown();
    void pauseAndResumeWithNothingPlaying();
    void readWhileHeldKeepsResumeShown();
    void enterOnAScrollBarReads();
    void enterOnAFocusedButtonClicksThatButton();

private:
    bool shown(const char *name) const { return !m_f->child<QWidget>(name)->isHidden(); }
    void click(const char *name) { QTest::mouseClick(m_f->child<QPushButton>(name),
                                                     Qt::LeftButton); }

    std::unique_ptr<WindowFixture> m_f;
};

void TstReadout::init()
{
    m_f = std::make_unique<WindowFixture>();
    m_f->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_f->window.get()));
    m_f->synth.clear();
}

void TstReadout::readSpeaksTheWholeText()
{
    m_f->window->sayText()->setText(QStringLiteral("First line.\nSecond line."));
    m_f->window->sayText()->setSelStart(3);
    m_f->window->sayText()->setSelLength(4);
    click("cmdRead");
    QCOMPARE(m_f->synth.m_calls, QStringList{"speak:First line.\nSecond line."});
    QVERIFY(!shown("cmdRead"));
    QVERIFY(shown("cmdStop"));
    QVERIFY(shown("cmdPause"));
}

void TstReadout::readWithAnEmptyPadStillSwaps()
{
    click("cmdRead");
    QCOMPARE(m_f->synth.m_calls, QStringList{"speak:"});
    QVERIFY(shown("cmdStop"));
}

void TstReadout::stopRestoresRead()
{
    click("cmdRead");
    click("cmdStop");
    QCOMPARE(m_f->synth.m_calls.last(), QStringLiteral("stop"));
    QVERIFY(shown("cmdRead"));
    QVERIFY(!shown("cmdStop"));
    // A second read-out works the same.
    click("cmdRead");
    QVERIFY(shown("cmdStop"));
}

void TstReadout::pauseThenStopLeavesResumeShown()
{
    click("cmdRead");
    click("cmdPause");
    QVERIFY(shown("cmdResume"));
    QVERIFY(!shown("cmdPause"));
    click("cmdStop");
    QCOMPARE(m_f->synth.m_calls, (QStringList{"speak:", "pause", "stop"}));
    QVERIFY(shown("cmdRead"));
    QVERIFY(shown("cmdResume"));
    QVERIFY(!shown("cmdPause"));
}

void TstReadout::pauseAndResumeWithNothingPlaying()
{
    click("cmdPause");
    click("cmdResume");
    QCOMPARE(m_f->synth.m_calls, (QStringList{"pause", "resume"}));
    QVERIFY(shown("cmdPause"));
    QVERIFY(!shown("cmdResume"));
    QVERIFY(shown("cmdRead"));
}

void TstReadout::readWhileHeldKeepsResumeShown()
{
    click("cmdPause");
    m_f->window->sayText()->setText(QStringLiteral("held"));
    click("cmdRead");
    QCOMPARE(m_f->synth.m_calls, (QStringList{"pause", "speak:held"}));
    QVERIFY(shown("cmdResume"));
    QVERIFY(shown("cmdStop"));
}

void TstReadout::enterOnAScrollBarReads()
{
    QVERIFY(QTest::qWaitForWindowActive(m_f->window.get()));
    m_f->window->sayText()->setText(QStringLiteral("enter reads"));
    auto *bar = m_f->child<QScrollBar>(QStringLiteral("Slider1"));
    bar->setFocus();
    QVERIFY(bar->hasFocus());
    QTest::keyClick(bar, Qt::Key_Return);
    QCOMPARE(m_f->synth.m_calls, QStringList{"speak:enter reads"});
    QVERIFY(shown("cmdStop"));
    // With "Stop Read!" shown there is no visible default button: Enter does nothing.
    QTest::keyClick(bar, Qt::Key_Return);
    QCOMPARE(m_f->synth.m_calls.size(), 1);
}

void TstReadout::enterOnAFocusedButtonClicksThatButton()
{
    QVERIFY(QTest::qWaitForWindowActive(m_f->window.get()));
    auto *pause = m_f->child<QPushButton>(QStringLiteral("cmdPause"));
    pause->setFocus();
    QTest::keyClick(pause, Qt::Key_Return);
    QCOMPARE(m_f->synth.m_calls, QStringList{"pause"});
    QVERIFY(shown("cmdRead"));
}

QTEST_MAIN(TstReadout)
#include "tst_readout.moc"
