// The pad's layout for documents of any size must lay text out exactly as Qt's own
// layout does, lay out only what is shown, and keep hit testing, the caret and the
// selection right across paragraphs it has not laid out yet.
#include "platform/padlayout.h"
#include "platform/padrows.h"
#include "platform/richtextpad.h"

#include <QApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>
#include <QtGui/private/qtextengine_p.h>

#include <memory>
#include <vector>

namespace {

QFont padFont()
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSize(12);
    return font;
}

void buildPlain(QTextDocument *document)
{
    QString text;
    for (int i = 0; i < 40; ++i) {
        text += QStringLiteral("Paragraph %1: the quick brown fox jumps over the lazy dog %2.\n")
                    .arg(i)
                    .arg(QString(i % 7 * 10, QLatin1Char('x')));
    }
    document->setPlainText(text);
}

void buildRich(QTextDocument *document)
{
    QImage picture(40, 30, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    document->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pic")), picture);
    QTextCursor c(document);
    for (int i = 0; i < 24; ++i) {
        QTextBlockFormat block;
        const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                        Qt::AlignJustify};
        block.setAlignment(aligns[i % 4]);
        block.setTopMargin(i % 3 * 4.4);
        block.setBottomMargin(i % 5 * 2.2);
        block.setLeftMargin(i % 2 * 20.5);
        block.setTextIndent(i % 3 * 10.3);
        if (i % 6 == 5)
            block.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        if (i % 7 == 6)
            block.setLineHeight(30, QTextBlockFormat::FixedHeight);
        if (i % 8 == 7)
            block.setLayoutDirection(Qt::RightToLeft);
        if (i == 0)
            c.setBlockFormat(block);
        else
            c.insertBlock(block);
        QTextCharFormat format;
        c.insertText(QStringLiteral("Some text in paragraph %1 ").arg(i), format);
        format.setFontWeight(QFont::Bold);
        format.setFontPointSize(8 + i % 9 * 2);
        c.insertText(QStringLiteral("bold bigger words "), format);
        format = QTextCharFormat();
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        c.insertText(QStringLiteral("sup"), format);
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        c.insertText(QStringLiteral("sub"), format);
        format = QTextCharFormat();
        format.setFontItalic(true);
        format.setFontFamilies({QStringLiteral("DejaVu Sans")});
        c.insertText(QStringLiteral(" and more italic text to wrap over the line end"), format);
        if (i == 10) {
            QTextImageFormat image;
            image.setName(QStringLiteral("pic"));
            image.setWidth(40.4);
            image.setHeight(30.6);
            c.insertImage(image);
        }
        if (i == 20) {
            QTextListFormat list;
            list.setStyle(QTextListFormat::ListDecimal);
            c.insertList(list);
            c.insertText(QStringLiteral("list item one"));
            c.insertBlock();
            c.insertText(QStringLiteral("list item two with more words"));
        }
    }
}

void buildTables(QTextDocument *document)
{
    QTextCursor c(document);
    c.insertText(QStringLiteral("Before the tables"));
    c.insertBlock();
    QTextTableFormat plain;
    plain.setCellPadding(3);
    plain.setCellSpacing(2);
    plain.setBorder(1);
    QTextTable *first = c.insertTable(3, 3, plain);
    for (int r = 0; r < 3; ++r) {
        for (int col = 0; col < 3; ++col) {
            first->cellAt(r, col).firstCursorPosition().insertText(
                QStringLiteral("cell %1 %2 %3").arg(r).arg(col).arg(QString(r * col * 3, 'w')));
        }
    }
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("Between the tables, a paragraph long enough to wrap around."));
    QTextTableFormat sized;
    sized.setCellPadding(2.5);
    sized.setCellSpacing(1.5);
    sized.setBorder(2);
    sized.setAlignment(Qt::AlignHCenter);
    sized.setWidth(QTextLength(QTextLength::PercentageLength, 90));
    sized.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 20),
                                     QTextLength(QTextLength::FixedLength, 80),
                                     QTextLength(QTextLength::VariableLength, 0),
                                     QTextLength(QTextLength::VariableLength, 0)});
    QTextTable *second = c.insertTable(4, 4, sized);
    for (int r = 0; r < 4; ++r) {
        for (int col = 0; col < 4; ++col) {
            QTextTableCell cell = second->cellAt(r, col);
            cell.firstCursorPosition().insertText(
                QStringLiteral("cell %1 %2 %3").arg(r).arg(col).arg(QString((r + col) * 5, 'w')));
            if (r == 3 && col == 0) {
                QTextCharFormat middle;
                middle.setVerticalAlignment(QTextCharFormat::AlignMiddle);
                cell.setFormat(middle);
            }
        }
    }
    second->cellAt(3, 1).firstCursorPosition().insertTable(2, 2);
    c.movePosition(QTextCursor::End);
    c.insertBlock();
    c.insertText(QStringLiteral("After the tables."));
}

// Many paragraphs of different lengths, a few of them formatted.
QString longText(int paragraphs)
{
    QString text;
    QRandomGenerator random(11);
    static const char *const words[] = {"reading", "aloud", "the", "document", "pad",
                                        "speech", "voice", "of", "a", "window"};
    for (int p = 0; p < paragraphs; ++p) {
        const int count = 1 + random.bounded(40);
        for (int w = 0; w < count; ++w) {
            text += QLatin1String(words[random.bounded(10)]);
            text += w + 1 < count ? QLatin1Char(' ') : QLatin1Char('\n');
        }
    }
    return text;
}

void showPad(QTextEdit *edit)
{
    edit->setFont(padFont());
    edit->document()->setDefaultFont(padFont());
    edit->resize(600, 347);
    edit->show();
    QVERIFY(QTest::qWaitForWindowExposed(edit));
}

} // namespace

class TstPadLayout : public QObject
{
    Q_OBJECT

private slots:
    void matchesQtLayout_data();
    void matchesQtLayout();
    void rowsKeepTheirSums();
    void laysOutOnlyWhatIsShown();
    void caretMovesAsWithQtLayout();
    void selectionPaintsAsWithQtLayout();
    void longParagraphInPieces();
};

void TstPadLayout::matchesQtLayout_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<qreal>("width");
    for (const qreal width : {300.0, 600.0}) {
        QTest::newRow(qPrintable(QStringLiteral("plain %1").arg(width))) << 0 << width;
        QTest::newRow(qPrintable(QStringLiteral("rich %1").arg(width))) << 1 << width;
        QTest::newRow(qPrintable(QStringLiteral("tables %1").arg(width))) << 2 << width;
    }
}

void TstPadLayout::matchesQtLayout()
{
    QFETCH(int, kind);
    QFETCH(qreal, width);
    QTextDocument qt;
    qt.setDefaultFont(padFont());
    if (kind == 0)
        buildPlain(&qt);
    else if (kind == 1)
        buildRich(&qt);
    else
        buildTables(&qt);
    std::unique_ptr<QTextDocument> ours(qt.clone());
    auto *layout = new PadLayout(ours.get());
    ours->setDocumentLayout(layout);
    qt.setTextWidth(width);
    ours->setTextWidth(width);
    QAbstractTextDocumentLayout *reference = qt.documentLayout();

    // Paragraphs are asked for from the end first, nothing before them laid out
    // yet: the lines are the same, though the heights above are still estimates.
    QCOMPARE(ours->blockCount(), qt.blockCount());
    for (int n = qt.blockCount() - 1; n >= 0; --n) {
        const QTextBlock a = qt.findBlockByNumber(n);
        const QTextBlock b = ours->findBlockByNumber(n);
        QCOMPARE(layout->blockBoundingRect(b).size(), reference->blockBoundingRect(a).size());
        QCOMPARE(b.layout()->lineCount(), a.layout()->lineCount());
        for (int i = 0; i < a.layout()->lineCount(); ++i) {
            const QTextLine x = a.layout()->lineAt(i);
            const QTextLine y = b.layout()->lineAt(i);
            QCOMPARE(y.textStart(), x.textStart());
            QCOMPARE(y.textLength(), x.textLength());
            QCOMPARE(y.position(), x.position());
            QCOMPARE(y.height(), x.height());
        }
    }
    // Laid out, every paragraph is where Qt's layout puts it.
    for (int n = 0; n < qt.blockCount(); ++n) {
        QCOMPARE(layout->blockBoundingRect(ours->findBlockByNumber(n)),
                 reference->blockBoundingRect(qt.findBlockByNumber(n)));
    }
    QCOMPARE(layout->documentSize(), reference->documentSize());
    const QSizeF size = reference->documentSize();
    for (qreal y = -5; y < size.height() + 10; y += 3.7) {
        for (qreal x = -5; x < width + 10; x += 23.3) {
            const QPointF point(x, y);
            QCOMPARE(layout->hitTest(point, Qt::FuzzyHit), reference->hitTest(point, Qt::FuzzyHit));
            QCOMPARE(layout->hitTest(point, Qt::ExactHit), reference->hitTest(point, Qt::ExactHit));
        }
    }
}

void TstPadLayout::rowsKeepTheirSums()
{
    // Against a plain list of heights, through splices large and small.
    PadRows rows;
    std::vector<qint64> naive;
    QRandomGenerator random(3);
    auto row = [&random] {
        PadRows::Row r;
        r.lines = random.bounded(3) == 0 ? 0 : random.bounded(1, 2000);
        r.gap = random.bounded(100);
        return r;
    };
    for (int step = 0; step < 600; ++step) {
        const qsizetype count = rows.count();
        const int kind = random.bounded(4);
        if (kind == 0 || count == 0) {
            const qsizetype at = count ? random.bounded(int(count + 1)) : 0;
            const int adding = step % 50 == 0 ? 5000 : random.bounded(1, 8);
            std::vector<PadRows::Row> added;
            for (int i = 0; i < adding; ++i)
                added.push_back(row());
            rows.replace(at, 0, added);
            std::vector<qint64> heights;
            for (const PadRows::Row &r : added)
                heights.push_back(r.height());
            naive.insert(naive.begin() + at, heights.begin(), heights.end());
        } else if (kind == 1) {
            const qsizetype at = random.bounded(int(count));
            const qsizetype removing = qMin<qsizetype>(count - at, random.bounded(1, 3000));
            rows.replace(at, removing, {});
            naive.erase(naive.begin() + at, naive.begin() + at + removing);
        } else {
            const qsizetype at = random.bounded(int(count));
            const PadRows::Row r = row();
            rows.set(at, r);
            naive[size_t(at)] = r.height();
        }
        QCOMPARE(rows.count(), qsizetype(naive.size()));
        qint64 total = 0;
        for (const qint64 h : naive)
            total += h;
        QCOMPARE(rows.total(), total);
        if (naive.empty())
            continue;
        const qsizetype probe = random.bounded(int(naive.size()));
        qint64 top = 0;
        for (qsizetype i = 0; i < probe; ++i)
            top += naive[size_t(i)];
        QCOMPARE(rows.top(probe), top);
        // The row holding a height is the last with height whose top is at or above it.
        const qint64 y = total > 0 ? random.bounded(qint64(0), total) : 0;
        qint64 foundTop = -1;
        const qsizetype found = rows.rowAt(y, &foundTop);
        QCOMPARE(foundTop, rows.top(found));
        QVERIFY(foundTop <= y);
        QVERIFY(foundTop + naive[size_t(found)] > y || found + 1 == rows.count());
    }
}

void TstPadLayout::laysOutOnlyWhatIsShown()
{
    RichTextPad pad;
    showPad(&pad);
    pad.setText(longText(20000));
    QApplication::processEvents();
    auto *layout = qobject_cast<PadLayout *>(pad.document()->documentLayout());
    QVERIFY(layout);
    QVERIFY2(layout->blocksWithLines() < 60, "only the first screen is laid out");

    // The end of the document, by the scroll bar and by Ctrl+End.
    pad.verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    QApplication::processEvents();
    QVERIFY(layout->blocksWithLines() < 150);
    QTest::keyClick(&pad, Qt::Key_End, Qt::ControlModifier);
    QApplication::processEvents();
    QCOMPARE(pad.textCursor().position(), pad.document()->characterCount() - 1);
    QVERIFY(pad.viewport()->rect().contains(pad.cursorRect()));

    // A key in the middle lays out its own paragraph again, nothing else.
    QTextCursor middle(pad.document()->findBlockByNumber(10000));
    middle.movePosition(QTextCursor::EndOfWord);
    pad.setTextCursor(middle);
    QApplication::processEvents();
    const qsizetype before = layout->layoutsMade();
    QTest::keyClick(&pad, Qt::Key_K);
    QApplication::processEvents();
    QVERIFY2(layout->layoutsMade() - before <= 2, "a key lays out its paragraph only");
    QVERIFY(pad.viewport()->rect().contains(pad.cursorRect()));
}

void TstPadLayout::caretMovesAsWithQtLayout()
{
    // The same text and keys in a plain QTextEdit with Qt's layout: the caret must end
    // up at the same place after every key, over paragraphs never laid out before.
    const QString text = longText(3000);
    QTextEdit reference;
    showPad(&reference);
    reference.setPlainText(text);
    RichTextPad pad;
    showPad(&pad);
    pad.setText(text);
    QApplication::processEvents();

    struct Key
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Key keys[] = {
        {Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Up, {}},       {Qt::Key_Up, {}},
        {Qt::Key_PageUp, {}},               {Qt::Key_PageUp, {}},   {Qt::Key_Down, {}},
        {Qt::Key_Home, {}},                 {Qt::Key_End, {}},      {Qt::Key_Left, {}},
        {Qt::Key_PageDown, Qt::ShiftModifier}, {Qt::Key_Home, Qt::ControlModifier},
        {Qt::Key_PageDown, {}},             {Qt::Key_PageDown, {}}, {Qt::Key_PageDown, {}},
        {Qt::Key_Down, Qt::ShiftModifier},  {Qt::Key_Right, {}},    {Qt::Key_Up, {}},
    };
    for (const Key &key : keys) {
        QTest::keyClick(&reference, key.key, key.modifiers);
        QTest::keyClick(&pad, key.key, key.modifiers);
        QApplication::processEvents();
        QCOMPARE(pad.textCursor().position(), reference.textCursor().position());
        QCOMPARE(pad.textCursor().anchor(), reference.textCursor().anchor());
        QVERIFY(pad.viewport()->rect().contains(pad.cursorRect()));
        // What is under the pointer is the same text on both.
        for (const QPoint point : {QPoint(30, 20), QPoint(300, 170), QPoint(500, 330)}) {
            QCOMPARE(pad.cursorForPosition(point).position(),
                     reference.cursorForPosition(point).position());
        }
    }
}

void TstPadLayout::selectionPaintsAsWithQtLayout()
{
    // A selection from near the start to the middle, and a marked line, drawn over
    // paragraphs laid out only when they come into view.
    const QString text = longText(2000);
    QTextEdit reference;
    showPad(&reference);
    reference.setPlainText(text);
    RichTextPad pad;
    showPad(&pad);
    pad.setText(text);
    QApplication::processEvents();
    for (QTextEdit *edit : {static_cast<QTextEdit *>(&reference), static_cast<QTextEdit *>(&pad)}) {
        QTextCursor selection(edit->document());
        selection.setPosition(100);
        selection.setPosition(edit->document()->characterCount() / 2, QTextCursor::KeepAnchor);
        edit->setTextCursor(selection);
        QTextEdit::ExtraSelection line;
        line.cursor = QTextCursor(edit->document()->findBlockByNumber(990));
        line.format.setBackground(QColor(255, 255, 0));
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        QTextEdit::ExtraSelection word;
        word.cursor = QTextCursor(edit->document()->findBlockByNumber(993));
        word.cursor.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
        word.format.setForeground(Qt::red);
        edit->setExtraSelections({line, word});
        edit->ensureCursorVisible();
    }
    QApplication::processEvents();
    QApplication::processEvents();
    const QImage a = reference.viewport()->grab().toImage();
    const QImage b = pad.viewport()->grab().toImage();
    QCOMPARE(b.size(), a.size());
    QVERIFY2(a == b, "the pad draws the selections as Qt's layout does");
}

void TstPadLayout::longParagraphInPieces()
{
    // One paragraph of 200,000 characters between short ones: laid out in pieces.
    QString paragraph;
    QRandomGenerator random(5);
    while (paragraph.size() < 200000)
        paragraph += QStringLiteral("word%1 ").arg(random.bounded(1000));
    RichTextPad pad;
    showPad(&pad);
    pad.setText(QStringLiteral("first\n") + paragraph + QStringLiteral("\nlast"));
    QApplication::processEvents();
    auto *layout = qobject_cast<PadLayout *>(pad.document()->documentLayout());
    const QTextBlock block = pad.document()->findBlockByNumber(1);
    QVERIFY(layout->isLongParagraph(block));
    QCOMPARE(block.layout()->lineCount(), 0);

    // Hit testing and the caret agree anywhere in it.
    for (int i = 0; i < 40; ++i) {
        const int position = block.position() + random.bounded(block.length() - 1);
        const QRectF caret = layout->cursorRect(position);
        const int hit = layout->hitTest(QPointF(caret.left() + 0.5, caret.center().y()),
                                        Qt::FuzzyHit);
        QCOMPARE(hit, position);
    }

    // Typing in the middle lays out the piece it falls in, and shows the caret.
    QTextCursor middle(pad.document());
    middle.setPosition(block.position() + 100003);
    pad.setTextCursor(middle);
    QApplication::processEvents();
    QVERIFY(pad.viewport()->rect().contains(layout->cursorRect(middle.position())
                                                .translated(0, -pad.verticalScrollBar()->value())
                                                .toRect()));
    const qsizetype before = layout->layoutsMade();
    QTest::keyClicks(&pad, QStringLiteral("abc"));
    QApplication::processEvents();
    QVERIFY(layout->layoutsMade() - before <= 3);
    QCOMPARE(pad.textCursor().position(), block.position() + 100006);
    QCOMPARE(pad.document()->characterAt(block.position() + 100005), QLatin1Char('c'));

    // The caret keys work within the pieces.
    const int at = pad.textCursor().position();
    const QRectF line = layout->cursorRect(at);
    QTest::keyClick(&pad, Qt::Key_Down);
    const QRectF below = layout->cursorRect(pad.textCursor().position());
    QVERIFY(qAbs(below.top() - line.bottom()) < 1.0);
    QVERIFY(qAbs(below.left() - line.left()) < 30);
    QTest::keyClick(&pad, Qt::Key_Up);
    QCOMPARE(pad.textCursor().position(), at);
    QTest::keyClick(&pad, Qt::Key_Home);
    const int start = pad.textCursor().position();
    QCOMPARE(layout->cursorRect(start).top(), line.top());
    QVERIFY(start < at);
    QTest::keyClick(&pad, Qt::Key_End);
    QVERIFY(pad.textCursor().position() > at);
    QCOMPARE(layout->cursorRect(pad.textCursor().position()).top(), line.top());
    QTest::keyClick(&pad, Qt::Key_Right);
    QTest::keyClick(&pad, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(pad.textCursor().selectedText().size(), 1);
    const int length = pad.document()->characterCount();
    QTest::keyClick(&pad, Qt::Key_Delete);
    QCOMPARE(pad.document()->characterCount(), length - 1);
    // Through it all, the paragraph's own layout held its text as it stood and was
    // never analysed whole (seconds for a few megabytes).
    const QTextEngine *engine = block.layout()->engine();
    QVERIFY(engine->layoutData);
    QCOMPARE(engine->layoutData->items.size(), 0);
    QCOMPARE(engine->layoutData->string, block.text());
    QVERIFY(pad.viewport()->rect().contains(
        layout->cursorRect(pad.textCursor().position())
            .translated(0, -pad.verticalScrollBar()->value())
            .toRect()));

    // Enter splits it where the caret is, as the text control's own Enter does: the
    // paragraph's format goes to both halves, the key is told (for the undo history),
    // and each half's own layout holds its text without analysing it.
    QTextBlockFormat centred = block.blockFormat();
    centred.setAlignment(Qt::AlignHCenter);
    QTextCursor(block).setBlockFormat(centred);
    const QString whole = block.text();
    QTextCursor split(pad.document());
    split.setPosition(block.position() + 150001);
    pad.setTextCursor(split);
    QSignalSpy keys(&pad, &RichTextPad::keyPressed);
    QTest::keyClick(&pad, Qt::Key_Return);
    QCOMPARE(keys.count(), 1);
    const QTextBlock firstHalf = pad.document()->findBlockByNumber(1);
    const QTextBlock secondHalf = firstHalf.next();
    QCOMPARE(firstHalf.text(), whole.left(150001));
    QCOMPARE(secondHalf.text(), whole.mid(150001));
    QCOMPARE(pad.textCursor().position(), secondHalf.position());
    QCOMPARE(secondHalf.blockFormat().alignment(), Qt::AlignHCenter);
    QVERIFY(layout->isLongParagraph(firstHalf) && layout->isLongParagraph(secondHalf));
    QTest::keyClicks(&pad, QStringLiteral("x"));
    for (const QTextBlock &half : {firstHalf, secondHalf}) {
        layout->cursorRect(half.position() + 5);
        const QTextEngine *halfEngine = half.layout()->engine();
        QVERIFY(halfEngine->layoutData);
        QCOMPARE(halfEngine->layoutData->items.size(), 0);
        QCOMPARE(halfEngine->layoutData->string, half.text());
    }
    // Backspace joins them again, with the same text in the joined paragraph's layout.
    QTest::keyClick(&pad, Qt::Key_Backspace);
    QTest::keyClick(&pad, Qt::Key_Backspace);
    const QTextBlock joined = pad.document()->findBlockByNumber(1);
    QCOMPARE(joined.text(), whole);
    QTest::keyClicks(&pad, QStringLiteral("y"));
    layout->cursorRect(joined.position() + 5);
    QCOMPARE(joined.layout()->engine()->layoutData->string, joined.text());
    QCOMPARE(joined.layout()->engine()->layoutData->items.size(), 0);

    // A double click selects the word under the pointer.
    const QRectF word = layout->cursorRect(block.position() + 100010);
    QTest::mouseDClick(pad.viewport(), Qt::LeftButton, {},
                       word.center().toPoint() - QPoint(0, pad.verticalScrollBar()->value()));
    QVERIFY(pad.textCursor().hasSelection());
    QVERIFY(!pad.textCursor().selectedText().contains(QLatin1Char(' ')));
}

QTEST_MAIN(TstPadLayout)
#include "tst_padlayout.moc"
