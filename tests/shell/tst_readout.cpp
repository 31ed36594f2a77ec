// Read It!, Stop Read!, Pause and Resume: the two button pairs toggle independently
// and every click reaches the synthesiser.
#include "windowfixture.h"

#include "platform/richtextpad.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

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
    void readFromCaretAndSelection();
    void markFollowsTheWordsHeardOutsideTheDocument();
    void markKeepsItsWordThroughEdits();
    void highlightingIsAChoiceKeptAcrossRuns();
    void brokenSoundEndsTheReadingWithOneNotice();
    void aLongTextGoesOverInPiecesAsTheyAreNeeded();

private:
    // The range of the pad's reading mark, or {-1, -1} without one.
    QPair<int, int> mark() const
    {
        const auto marks = m_f->window->sayText()->extraSelections();
        if (marks.isEmpty())
            return {-1, -1};
        return {marks.first().cursor.selectionStart(), marks.first().cursor.selectionEnd()};
    }
    void trigger(const char *item) { m_f->window->menuItem(QLatin1String(item))->trigger(); }

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

void TstReadout::readFromCaretAndSelection()
{
    RichTextPad *pad = m_f->window->sayText();
    pad->setText(QStringLiteral("First line.\nSecond line."));
    pad->setSelStart(6);
    trigger("ReadFromCaret");
    QCOMPARE(m_f->synth.m_calls, QStringList{"speak:line.\nSecond line."});
    QVERIFY(shown("cmdStop"));
    QVERIFY(!shown("cmdRead"));
    click("cmdStop");
    pad->setSelStart(12);
    pad->setSelLength(6);
    trigger("mnuPopUp_ReadSelection");
    QCOMPARE(m_f->synth.m_calls.last(), QStringLiteral("speak:Second"));
    QVERIFY(shown("cmdStop"));
    // Held, a new reading keeps "Resume" shown, as Read It! does.
    click("cmdPause");
    trigger("ReadSelection");
    QCOMPARE(m_f->synth.m_calls.last(), QStringLiteral("speak:Second"));
    QVERIFY(shown("cmdResume"));
    // A picture is no text: the words after it are found where they are.
    pad->setText(QStringLiteral("ab cd"));
    pad->setSelStart(3);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    pad->insertPicture(image);
    pad->setSelStart(0);
    trigger("mnuPopUp_ReadFromCaret");
    QCOMPARE(m_f->synth.m_calls.last(), QStringLiteral("speak:ab cd"));
    m_f->synth.hearWord(m_f->synth.lastTextId(), 3, 2);
    QCOMPARE(mark(), qMakePair(4, 6));
}

void TstReadout::markFollowsTheWordsHeardOutsideTheDocument()
{
    RichTextPad *pad = m_f->window->sayText();
    pad->setText(QStringLiteral("alpha beta gamma"));
    pad->setSelStart(6);
    trigger("ReadFromCaret");
    const quint64 id = m_f->synth.lastTextId();
    QSignalSpy changes(pad, &QTextEdit::textChanged);
    QSignalSpy contents(pad->document(), &QTextDocument::contentsChange);
    m_f->synth.hearWord(id, 0, 4);
    QCOMPARE(mark(), qMakePair(6, 10));
    m_f->synth.hearWord(id, 5, 5);
    QCOMPARE(mark(), qMakePair(11, 16));
    // The words of another text (a command's sentence) do not move it.
    m_f->synth.hearWord(id + 1, 0, 2);
    QCOMPARE(mark(), qMakePair(11, 16));
    QCOMPARE(changes.count(), 0);
    QCOMPARE(contents.count(), 0);
    QCOMPARE(pad->toPlainText(), QStringLiteral("alpha beta gamma"));
    QVERIFY(!pad->toHtml().contains(QLatin1String("background")));
    // A screen reader finds the word as the text's current position, the caret
    // staying put; whichever of the two moved last is that position.
    QCOMPARE(pad->currentPosition(), 11);
    QCOMPARE(pad->selStart(), 6);
    pad->setSelStart(2);
    QCOMPARE(pad->currentPosition(), 2);
    m_f->synth.hearWord(id, 0, 4);
    QCOMPARE(pad->currentPosition(), 6);
    // Its end takes the mark away; so does Stop Read! during the next reading.
    m_f->synth.endText(id);
    QCOMPARE(mark(), qMakePair(-1, -1));
    QCOMPARE(pad->currentPosition(), 2);
    click("cmdStop");
    click("cmdRead");
    m_f->synth.hearWord(m_f->synth.lastTextId(), 0, 5);
    QCOMPARE(mark(), qMakePair(0, 5));
    click("cmdStop");
    QCOMPARE(mark(), qMakePair(-1, -1));
    m_f->synth.hearWord(m_f->synth.lastTextId(), 6, 4);
    QCOMPARE(mark(), qMakePair(-1, -1));
}

void TstReadout::markKeepsItsWordThroughEdits()
{
    RichTextPad *pad = m_f->window->sayText();
    pad->setText(QStringLiteral("one two three four five"));
    click("cmdRead");
    const quint64 id = m_f->synth.lastTextId();
    m_f->synth.hearWord(id, 4, 3);
    QTextCursor edit(pad->document());
    edit.insertText(QStringLiteral("zero "));
    // The drawn mark moves with its word, and so do the words still to come.
    QCOMPARE(mark(), qMakePair(9, 12));
    m_f->synth.hearWord(id, 8, 5);
    QCOMPARE(mark(), qMakePair(13, 18));
    // A word removed has no place: no mark. One after the removal moves back.
    edit.setPosition(19);
    edit.setPosition(24, QTextCursor::KeepAnchor);
    edit.removeSelectedText();
    QCOMPARE(pad->toPlainText(), QStringLiteral("zero one two three five"));
    m_f->synth.hearWord(id, 14, 4);
    QCOMPARE(mark(), qMakePair(-1, -1));
    m_f->synth.hearWord(id, 19, 4);
    QCOMPARE(mark(), qMakePair(19, 23));
    // A change of formatting alone moves nothing.
    edit.setPosition(0);
    edit.setPosition(4, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    edit.mergeCharFormat(bold);
    m_f->synth.hearWord(id, 19, 4);
    QCOMPARE(mark(), qMakePair(19, 23));
}

void TstReadout::highlightingIsAChoiceKeptAcrossRuns()
{
    QAction *item = m_f->window->menuItem(QStringLiteral("HighlightWords"));
    QVERIFY(item->isCheckable());
    QVERIFY(item->isChecked());
    m_f->window->sayText()->setText(QStringLiteral("alpha beta"));
    click("cmdRead");
    m_f->synth.hearWord(m_f->synth.lastTextId(), 0, 5);
    QCOMPARE(mark(), qMakePair(0, 5));
    item->trigger();
    QVERIFY(!item->isChecked());
    QCOMPARE(mark(), qMakePair(-1, -1));
    m_f->synth.hearWord(m_f->synth.lastTextId(), 6, 4);
    QCOMPARE(mark(), qMakePair(-1, -1));
    const QByteArray settingsBefore = [this] {
        QFile file(m_f->settingsPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    // The next run starts with the choice made, and Settings.ini is not its place.
    WindowFixture next(m_f->settingsPath);
    QVERIFY(!next.window->menuItem(QStringLiteral("HighlightWords"))->isChecked());
    QFile settings(m_f->settingsPath);
    QCOMPARE(settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray(),
             settingsBefore);
    next.window->menuItem(QStringLiteral("HighlightWords"))->trigger();
    WindowFixture third(m_f->settingsPath);
    QVERIFY(third.window->menuItem(QStringLiteral("HighlightWords"))->isChecked());
}

void TstReadout::brokenSoundEndsTheReadingWithOneNotice()
{
    auto *notice = m_f->child<QLabel>(QStringLiteral("soundNotice"));
    QVERIFY(notice);
    QVERIFY(notice->isHidden());
    m_f->window->sayText()->setText(QStringLiteral("alpha beta"));
    click("cmdRead");
    m_f->synth.hearWord(m_f->synth.lastTextId(), 0, 5);
    m_f->synth.breakSpeech(QStringLiteral("The sound server stopped playing."));
    QVERIFY(shown("cmdRead"));
    QVERIFY(!shown("cmdStop"));
    QCOMPARE(mark(), qMakePair(-1, -1));
    QVERIFY(!notice->isHidden());
    QVERIFY(notice->text().contains(QLatin1String("The sound server stopped playing.")));
    // Said once: the same reason again shows nothing new.
    notice->hide();
    m_f->synth.setInaudible(QStringLiteral("The sound server stopped playing."));
    QVERIFY(notice->isHidden());
    // Heard again, and then lost for another reason: that is told.
    m_f->synth.setInaudible(QString());
    m_f->synth.setInaudible(QStringLiteral("No sound output was found."));
    QVERIFY(!notice->isHidden());
    QVERIFY(notice->text().contains(QLatin1String("No sound output was found.")));
}

void TstReadout::aLongTextGoesOverInPiecesAsTheyAreNeeded()
{
    RichTextPad *pad = m_f->window->sayText();
    // 200,000 characters: sentences in paragraphs of about 2,000 characters, then
    // 60,000 characters without a blank, a character outside the BMP among them.
    QString text;
    for (int n = 0; text.size() < 200000; ++n)
        text += QStringLiteral("Sentence %1 is here.").arg(n) + (n % 100 == 99 ? u'\n' : u' ');
    text += QString(30000, u'x') + QString::fromUcs4(U"\U0001F600") + QString(30000, u'y');
    pad->setText(text);
    const quint64 before = m_f->synth.lastTextId();
    click("cmdRead");
    // Three pieces go over at once, none of them whole; each ends after a paragraph.
    QStringList pieces = m_f->synth.spoken();
    QCOMPARE(pieces.size(), 3);
    for (const QString &piece : pieces) {
        QVERIFY(piece.size() <= 16384);
        QVERIFY(piece.endsWith(u'\n'));
    }
    QVERIFY(text.startsWith(pieces.join(QString())));
    // A word of the second piece is marked where it stands in the document.
    const int secondStart = int(pieces[0].size());
    m_f->synth.hearWord(before + 2, 0, 8);
    QCOMPARE(mark(), qMakePair(secondStart, secondStart + 8));
    // Text typed before the heard word moves its mark; text typed into the part not
    // handed over yet is read when its piece goes.
    QTextCursor edit(pad->document());
    edit.insertText(QStringLiteral("New. "));
    m_f->synth.hearWord(before + 2, 0, 8);
    QCOMPARE(mark(), qMakePair(secondStart + 5, secondStart + 13));
    edit.setPosition(150000);
    edit.insertText(QStringLiteral("TYPED WHILE READING "));
    // Each piece heard to its end brings the next; the last one ends the reading.
    quint64 id = before;
    for (qsizetype handed = pieces.size();;) {
        m_f->synth.endText(++id);
        const qsizetype now = m_f->synth.spoken().size();
        if (now == handed)
            break;
        // One piece more for each heard while any is left: three ahead.
        QCOMPARE(now, qsizetype(id - before) + 3);
        handed = now;
    }
    pieces = m_f->synth.spoken();
    for (const QString &piece : pieces) {
        QVERIFY(!piece.isEmpty() && piece.size() <= 16384);
        QVERIFY(!piece.back().isHighSurrogate());
    }
    QCOMPARE(pieces.join(QString()), text.insert(150000 - 5, u"TYPED WHILE READING "));
    m_f->synth.hearWord(before + quint64(pieces.size()), 0, 1);
    QVERIFY(mark().first > 0);
    while (id < before + quint64(pieces.size()) - 1)
        m_f->synth.endText(++id);
    QVERIFY(mark().first > 0);
    m_f->synth.endText(++id);
    QCOMPARE(mark(), qMakePair(-1, -1));
    QCOMPARE(m_f->synth.spoken().size(), pieces.size());
}

QTEST_MAIN(TstReadout)
#include "tst_readout.moc"
