// The pad's operations as the program relies on them: plain text with "\n" line
// breaks, selection by position, formatting of the selection with mixed values
// reported as none, find, file loading and the keys it gives up to the window.
#include "platform/richtextpad.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

class TstRichTextPad : public QObject
{
    Q_OBJECT

private slots:
    void textUsesLineFeeds();
    void setTextDropsFormatting();
    void setTextOverPlainTextMatchesAFreshDocument_data();
    void setTextOverPlainTextMatchesAFreshDocument();
    void setTextOverFormattedTextStartsAfresh();
    void selectionByPosition();
    void selTextReplacesAndLeavesCaretAfter();
    void mixedStylesReportNoValue();
    void formattingAtTheCaretAppliesToTypedText();
    void fontNameSizeColourAndOffset();
    void find_data();
    void find();
    void loadFilePlainText();
    void loadFileFailuresKeepTheContent();
    void deleteForward();
    void pasteOfAPictureEmbedsIt();
    void backColorAndBaseFont();
    void mouseMoveReportsButtons();
};

void TstRichTextPad::textUsesLineFeeds()
{
    RichTextPad pad;
    pad.setText(QStringLiteral("one\ntwo\n\nfour"));
    QCOMPARE(pad.text(), QStringLiteral("one\ntwo\n\nfour"));
    // Every other character comes back as it went in: a no-break space is not a
    // space, and saving what was opened must not change it.
    const QString exotic = QStringLiteral("caf\u00E9\u00A0noir\ttab \U0001F600");
    pad.setText(exotic);
    QCOMPARE(pad.text(), exotic);
    pad.setText(QStringLiteral("one\ntwo\n\nfour"));
    QCOMPARE(pad.document()->blockCount(), 4);
    pad.setSelStart(0);
    pad.setSelLength(7);
    QCOMPARE(pad.selText(), QStringLiteral("one\ntwo"));
}

void TstRichTextPad::setTextDropsFormatting()
{
    RichTextPad pad;
    pad.setText(QStringLiteral("bold"));
    pad.selectAll();
    pad.setSelBold(true);
    pad.insertPicture(QImage(4, 4, QImage::Format_RGB32));
    pad.setText(QStringLiteral("fresh"));
    pad.selectAll();
    QCOMPARE(pad.selBold(), std::optional<bool>(false));
    QCOMPARE(pad.text(), QStringLiteral("fresh"));

    // Nor does the format waiting at the caret spread over the new text.
    pad.setSelStart(2);
    pad.setSelBold(true);
    pad.setSelUnderline(true);
    pad.setText(QStringLiteral("new words"));
    QCOMPARE(pad.selStart(), 0);
    pad.selectAll();
    QCOMPARE(pad.selBold(), std::optional<bool>(false));
    QCOMPARE(pad.selUnderline(), std::optional<bool>(false));
}

void TstRichTextPad::setTextOverPlainTextMatchesAFreshDocument_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("one letter more") << "abc\ndef" << "abXc\ndef";
    QTest::newRow("one letter less") << "abc\ndef" << "ab\ndef";
    QTest::newRow("line break added") << "abcdef" << "abc\ndef";
    QTest::newRow("line break removed") << "abc\ndef" << "abcdef";
    QTest::newRow("repeated letters") << "aaaa" << "aaaaa";
    QTest::newRow("emptied") << "abc\n\ndef" << "";
    QTest::newRow("from empty") << "" << "x\ny";
    QTest::newRow("carriage return") << "a\nb" << "a\rb";
    QTest::newRow("no-break space") << "a b" << QStringLiteral("a\u00A0b");
    QTest::newRow("the same") << "same\ntext" << "same\ntext";
    QTest::newRow("all different") << "abc" << "xyz\n";
}

void TstRichTextPad::setTextOverPlainTextMatchesAFreshDocument()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    RichTextPad pad;
    pad.setText(before);
    pad.setSelStart(1);
    pad.setText(after);
    QTextDocument fresh;
    fresh.setPlainText(after);
    QCOMPARE(pad.document()->toRawText(), fresh.toRawText());
    QCOMPARE(pad.document()->blockCount(), fresh.blockCount());
    QCOMPARE(pad.text(), RichTextPad::plainTextOf(fresh.toRawText()));
    QCOMPARE(pad.selStart(), 0);
}

void TstRichTextPad::setTextOverFormattedTextStartsAfresh()
{
    RichTextPad pad;
    pad.setText(QStringLiteral("one\ntwo"));
    pad.setSelStart(4);
    pad.setSelLength(3);
    pad.setSelColor(Qt::red);
    pad.setSelAlignment(RichTextPad::AlignCenter);
    pad.insertPicture(QImage(2, 2, QImage::Format_RGB32));
    pad.setText(QStringLiteral("one\ntwo!"));
    QCOMPARE(pad.text(), QStringLiteral("one\ntwo!"));
    pad.selectAll();
    QCOMPARE(pad.selColor(), std::optional<QColor>(pad.palette().color(QPalette::Text)));
    QVERIFY(!(pad.document()->lastBlock().blockFormat().alignment() & Qt::AlignHCenter));
    QVERIFY(!pad.document()->toRawText().contains(QChar::ObjectReplacementCharacter));
}

void TstRichTextPad::selectionByPosition()
{
    RichTextPad pad;
    pad.setText(QStringLiteral("abcdef"));
    pad.setSelStart(2);
    QCOMPARE(pad.selStart(), 2);
    QCOMPARE(pad.selLength(), 0);
    pad.setSelLength(3);
    QCOMPARE(pad.selText(), QStringLiteral("cde"));
    // Lengths and positions past the end are clamped.
    pad.setSelLength(100);
    QCOMPARE(pad.selText(), QStringLiteral("cdef"));
    pad.setSelStart(100);
    QCOMPARE(pad.selStart(), 6);
    pad.setSelStart(-3);
    QCOMPARE(pad.selStart(), 0);
}

void TstRichTextPad::selTextReplacesAndLeavesCaretAfter()
{
    RichTextPad pad;
    pad.setText(QStringLiteral("hello world"));
    pad.setSelStart(6);
    pad.setSelLength(5);
    pad.setSelText(QStringLiteral("there"));
    QCOMPARE(pad.text(), QStringLiteral("hello there"));
    QCOMPARE(pad.selStart(), 11);
    QCOMPARE(pad.selLength(), 0);
    pad.setSelStart(5);
    pad.setSelText(QStringLiteral(",\nmy"));
    QCOMPARE(pad.text(), QStringLiteral("hello,\nmy there"));
    QCOMPARE(pad.selStart(), 9);
}

void TstRichTextPad::mixedStylesReportNoValue()
{
    RichTextPad pad;
    pad.setText(QStringLiteral("one two"));
    pad.setSelStart(0);
    pad.setSelLength(3);
    pad.setSelBold(true);
    pad.setSelUnderline(true);
    QCOMPARE(pad.selBold(), std::optional<bool>(true));
    pad.setSelStart(0);
    pad.setSelLength(7);
    QCOMPARE(pad.selBold(), std::nullopt);
    QCOMPARE(pad.selUnderline(), std::nullopt);
    QCOMPARE(pad.selItalic(), std::optional<bool>(false));
    QCOMPARE(pad.selStrikeThru(), std::optional<bool>(false));
    pad.setSelStart(4);
    pad.setSelLength(3);
    QCOMPARE(pad.selBold(), std::optional<bool>(false));

    // A wavy line is an underline as well, and taking it off leaves none.
    QTextCursor cursor = pad.textCursor();
    QTextCharFormat wavy;
    wavy.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    cursor.mergeCharFormat(wavy);
    QCOMPARE(pad.selUnderline(), std::optional<bool>(true));
    pad.setSelUnderline(false);
    QCOMPARE(pad.selUnderline(), std::optional<bool>(false));
    QCOMPARE(pad.textCursor().charFormat().underlineStyle(), QTextCharFormat::NoUnderline);
}

void TstRichTextPad::formattingAtTheCaretAppliesToTypedText()
{
    RichTextPad pad;
    pad.setText(QStringLiteral("ab"));
    pad.setSelStart(2);
    pad.setSelItalic(true);
    QCOMPARE(pad.selItalic(), std::optional<bool>(true));
    pad.setSelText(QStringLiteral("cd"));
    pad.setSelStart(2);
    pad.setSelLength(2);
    QCOMPARE(pad.selItalic(), std::optional<bool>(true));
    pad.setSelStart(0);
    pad.setSelLength(2);
    QCOMPARE(pad.selItalic(), std::optional<bool>(false));
}

void TstRichTextPad::fontNameSizeColourAndOffset()
{
    RichTextPad pad;
    QFont base(QStringLiteral("DejaVu Serif"));
    base.setPointSizeF(12);
    pad.setFont(base);
    pad.setText(QStringLiteral("abc def"));
    pad.setSelStart(0);
    pad.setSelLength(3);
    QCOMPARE(pad.selFontName(), std::optional<QString>(QStringLiteral("DejaVu Serif")));
    QCOMPARE(pad.selFontSize(), std::optional<double>(12.0));
    pad.setSelFontName(QStringLiteral("DejaVu Sans"));
    pad.setSelFontSize(20);
    pad.setSelColor(QColor(255, 0, 0));
    QCOMPARE(pad.selFontName(), std::optional<QString>(QStringLiteral("DejaVu Sans")));
    QCOMPARE(pad.selFontSize(), std::optional<double>(20.0));
    QCOMPARE(pad.selColor(), std::optional<QColor>(QColor(255, 0, 0)));
    pad.setSelFontSize(7);
    pad.setSelCharOffset(55);
    QCOMPARE(pad.selCharOffset(), std::optional<int>(55));
    pad.setSelCharOffset(-50);
    QCOMPARE(pad.selCharOffset(), std::optional<int>(-50));
    pad.setSelLength(7);
    QCOMPARE(pad.selFontSize(), std::nullopt);
    QCOMPARE(pad.selFontName(), std::nullopt);
    QCOMPARE(pad.selColor(), std::nullopt);
}

void TstRichTextPad::find_data()
{
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("found");
    const QString text = QStringLiteral("The cat scattered the Cats.");
    QTest::newRow("first") << "cat" << 0 << 0 << 4;
    QTest::newRow("from after the first") << "cat" << 5 << 0 << 9;
    QTest::newRow("whole word") << "cat" << 5 << 2 << -1;
    QTest::newRow("ignores case") << "cats" << 0 << 0 << 22;
    QTest::newRow("match case") << "cats" << 0 << 4 << -1;
    QTest::newRow("match case found") << "Cats" << 0 << 4 << 22;
    QTest::newRow("none") << "dog" << 0 << 0 << -1;
    QTest::newRow("start past the end") << "cat" << 500 << 0 << -1;
    QTest::newRow("empty needle") << "" << 0 << 0 << -1;
}

void TstRichTextPad::find()
{
    QFETCH(QString, needle);
    QFETCH(int, start);
    QFETCH(int, options);
    QFETCH(int, found);
    RichTextPad pad;
    pad.setText(QStringLiteral("The cat scattered the Cats."));
    QCOMPARE(pad.find(needle, start, options), found);
    if (found >= 0) {
        QCOMPARE(pad.selStart(), found);
        QCOMPARE(pad.selText().toLower(), needle.toLower());
    }
}

void TstRichTextPad::loadFilePlainText()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("latin.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Caf\xE9 cr\xC3\xA8me\r\nline two\r\n");
    file.close();
    RichTextPad pad;
    QVERIFY(pad.loadFile(path));
    QCOMPARE(pad.text(), QStringLiteral("Café crème\nline two\n"));

    // Something that is not rich text loads as it is, braces and all.
    const QString fake = dir.filePath(QStringLiteral("fake.rtf"));
    QFile f2(fake);
    QVERIFY(f2.open(QIODevice::WriteOnly));
    f2.write("{not rich text}");
    f2.close();
    QVERIFY(pad.loadFile(fake));
    QCOMPARE(pad.text(), QStringLiteral("{not rich text}"));
}

void TstRichTextPad::loadFileFailuresKeepTheContent()
{
    QTemporaryDir dir;
    RichTextPad pad;
    pad.setText(QStringLiteral("keep"));
    QVERIFY(!pad.loadFile(dir.filePath(QStringLiteral("missing.txt"))));
    QVERIFY(!pad.errorString().isEmpty());
    QVERIFY(!pad.loadFile(dir.path()));
    QVERIFY(pad.errorString().contains(QStringLiteral("folder")));
    if (geteuid() != 0) {
        const QString locked = dir.filePath(QStringLiteral("locked.txt"));
        QFile file(locked);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QFile::setPermissions(locked, QFileDevice::WriteOwner);
        QVERIFY(!pad.loadFile(locked));
    }
    QCOMPARE(pad.text(), QStringLiteral("keep"));
}

void TstRichTextPad::deleteForward()
{
    RichTextPad pad;
    pad.setText(QStringLiteral("abcd"));
    pad.setSelStart(1);
    pad.deleteForward();
    QCOMPARE(pad.text(), QStringLiteral("acd"));
    pad.setSelLength(2);
    pad.deleteForward();
    QCOMPARE(pad.text(), QStringLiteral("a"));
    pad.deleteForward(); // at the end: nothing to delete
    QCOMPARE(pad.text(), QStringLiteral("a"));
}

void TstRichTextPad::pasteOfAPictureEmbedsIt()
{
    RichTextPad pad;
    pad.setText(QStringLiteral("ab"));
    pad.setSelStart(1);
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    auto *mime = new QMimeData;
    mime->setImageData(image);
    QApplication::clipboard()->setMimeData(mime);
    pad.pasteFromClipboard();
    // The picture sits between the letters and has no text of its own.
    QCOMPARE(pad.toPlainText(), QStringLiteral("a") + QChar::ObjectReplacementCharacter
                                    + QStringLiteral("b"));
    QCOMPARE(pad.text(), QStringLiteral("ab"));
    QTextCursor cursor(pad.document());
    cursor.setPosition(2);
    const QTextImageFormat format = cursor.charFormat().toImageFormat();
    QVERIFY(format.isValid());
    const QImage stored = pad.document()->resource(QTextDocument::ImageResource,
                                                   QUrl(format.name())).value<QImage>();
    QCOMPARE(stored.size(), QSize(8, 6));
}

void TstRichTextPad::backColorAndBaseFont()
{
    RichTextPad pad;
    pad.setBackColor(QColor(255, 255, 0));
    QCOMPARE(pad.backColor(), QColor(255, 255, 0));
    pad.setBaseFontName(QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(pad.baseFontName(), QStringLiteral("DejaVu Sans Mono"));
    pad.setText(QStringLiteral("x"));
    pad.selectAll();
    QCOMPARE(pad.selFontName(), std::optional<QString>(QStringLiteral("DejaVu Sans Mono")));
}

void TstRichTextPad::mouseMoveReportsButtons()
{
    RichTextPad pad;
    pad.resize(200, 100);
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    QSignalSpy spy(&pad, &RichTextPad::mouseMoved);
    const QPointF at(20, 20);
    QMouseEvent move(QEvent::MouseMove, at, pad.viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::RightButton, Qt::ShiftModifier);
    QApplication::sendEvent(pad.viewport(), &move);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<Qt::MouseButtons>(), Qt::MouseButtons(Qt::RightButton));
    QCOMPARE(spy.at(0).at(1).value<Qt::KeyboardModifiers>(),
             Qt::KeyboardModifiers(Qt::ShiftModifier));
}

QTEST_MAIN(TstRichTextPad)
#include "tst_richtextpad.moc"
