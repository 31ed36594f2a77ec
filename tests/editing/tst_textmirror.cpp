// The mirror must hold exactly the document's text after any kind of change, or a
// snapshot would restore something the user never had.
#include "editing/textmirror.h"
#include "platform/rtf/rtfloader.h"
#include "platform/richtextpad.h"

#include <QImage>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

class TstTextMirror : public QObject
{
    Q_OBJECT

private slots:
    void followsEveryKindOfChange();
    void plainTextMatchesThePad();
    void replaceAllSharesTheRestoredText();
    void followsANewDocument();
    void readsALargeNewTextInSlices();
    void sharesTheTextOfABookLoadedFromRtf();
    void followsAWideChangeOfALargeText();
    void aLargeTextPastedOverEverythingIsAChange();
};

void TstTextMirror::followsEveryKindOfChange()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("first line\nsecond line\nthird"));
    TextMirror mirror(&document);
    QCOMPARE(mirror.text().toString(), document.toRawText());

    QRandomGenerator random(7);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pic")), picture);
    for (int step = 0; step < 400; ++step) {
        const int end = document.characterCount() - 1;
        QTextCursor cursor(&document);
        cursor.setPosition(random.bounded(end + 1));
        const int kind = random.bounded(9);
        switch (kind) {
        case 0:
            cursor.insertText(QStringLiteral("typed"));
            break;
        case 1:
            cursor.insertText(QStringLiteral("two\nlines"));
            break;
        case 2:
            cursor.insertBlock();
            break;
        case 3:
            cursor.insertImage(QStringLiteral("pic"));
            break;
        case 4: {
            cursor.setPosition(qMin(end, cursor.position() + random.bounded(40)),
                               QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            break;
        }
        case 5: {
            // Formatting alone changes no character.
            cursor.setPosition(qMin(end, cursor.position() + random.bounded(60)),
                               QTextCursor::KeepAnchor);
            QTextCharFormat bold;
            bold.setFontWeight(random.bounded(2) ? QFont::Bold : QFont::Normal);
            cursor.mergeCharFormat(bold);
            break;
        }
        case 6:
            if (step % 40 == 0)
                cursor.insertTable(2, 2);
            else
                cursor.insertText(QString(QChar::Nbsp));
            break;
        case 7:
            if (step % 100 == 0)
                document.setPlainText(QStringLiteral("all new\ntext"));
            else
                cursor.deletePreviousChar();
            break;
        default:
            cursor.insertText(QString(300, QLatin1Char('L')));
            break;
        }
        QCOMPARE(mirror.text().toString(), document.toRawText());
    }
}

void TstTextMirror::plainTextMatchesThePad()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("one"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("two") + QChar(QChar::Nbsp) + QStringLiteral("three"));
    cursor.insertText(QString(QChar::LineSeparator));
    cursor.insertImage(QImage(2, 2, QImage::Format_RGB32));
    cursor.insertTable(1, 2);
    TextMirror mirror(&document);
    // As the document's own plain text, but for the picture, which has no text, and
    // the no-break space, which stays one.
    QString expected = document.toPlainText();
    expected.remove(QChar::ObjectReplacementCharacter);
    expected.replace(QStringLiteral("two three"), QStringLiteral("two\u00A0three"));
    QCOMPARE(RichTextPad::plainTextOf(mirror.text().toString()), expected);
}

void TstTextMirror::replaceAllSharesTheRestoredText()
{
    QTextDocument document;
    TextMirror mirror(&document);
    const SharedText snapshot(QStringLiteral("line one") + QChar(QChar::ParagraphSeparator)
                              + QStringLiteral("line two"));
    mirror.replaceAll(snapshot, [&] {
        document.setPlainText(RichTextPad::plainTextOf(snapshot.toString()));
    });
    QCOMPARE(mirror.text().toString(), document.toRawText());
    QVERIFY(mirror.text().isSharedWith(snapshot));

    // A text that does not come back as it was is read from the document instead.
    const SharedText withPicture(QStringLiteral("a") + QChar(QChar::ObjectReplacementCharacter));
    mirror.replaceAll(withPicture, [&] {
        document.setPlainText(RichTextPad::plainTextOf(withPicture.toString()));
    });
    QCOMPARE(mirror.text().toString(), QStringLiteral("a"));
    // And it goes on following changes afterwards.
    QTextCursor(&document).insertText(QStringLiteral(">"));
    QCOMPARE(mirror.text().toString(), QStringLiteral(">a"));
}

void TstTextMirror::followsANewDocument()
{
    QTextDocument first;
    first.setPlainText(QStringLiteral("first"));
    QTextDocument second;
    second.setPlainText(QStringLiteral("second"));
    TextMirror mirror(&first);
    mirror.setDocument(&second);
    QCOMPARE(mirror.text().toString(), QStringLiteral("second"));
    QTextCursor(&first).insertText(QStringLiteral("ignored "));
    QCOMPARE(mirror.text().toString(), QStringLiteral("second"));
    QTextCursor(&second).insertText(QStringLiteral("the "));
    QCOMPARE(mirror.text().toString(), QStringLiteral("the second"));
}

void TstTextMirror::readsALargeNewTextInSlices()
{
    // A file opened is copied while the event loop runs; asked for early, or changed
    // meanwhile, the copy is still exactly the document's.
    QString big;
    for (int i = 0; big.size() < 3 * TextMirror::kSlice; ++i)
        big += QStringLiteral("line %1 of a large text\n").arg(i);
    QTextDocument document;
    TextMirror mirror(&document);
    document.setPlainText(big);
    QVERIFY(mirror.isReading());
    QCOMPARE(mirror.text().toString(), document.toRawText());
    QVERIFY(!mirror.isReading());

    document.setPlainText(big + QStringLiteral("more"));
    QVERIFY(mirror.isReading());
    QCoreApplication::processEvents();
    QTextCursor(&document).insertText(QStringLiteral("first "));
    QTRY_VERIFY(!mirror.isReading());
    QCOMPARE(mirror.text().toString(), document.toRawText());
    QTextCursor end(&document);
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("!"));
    QCOMPARE(mirror.text().toString(), document.toRawText());
}

void TstTextMirror::sharesTheTextOfABookLoadedFromRtf()
{
    // A formatted book is followed from the moment it is loaded: nothing is left to
    // read back for the first key to wait on.
    QByteArray rtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ");
    for (int i = 0; rtf.size() < 2 * TextMirror::kSlice; ++i)
        rtf += QByteArray("Line ") + QByteArray::number(i) + " has {\\b bold} words.\\par\n";
    rtf += "}";
    QTextDocument document;
    TextMirror mirror(&document);
    QVERIFY(Rtf::loadDocument(rtf, &document));
    QVERIFY(document.characterCount() > TextMirror::kSlice);
    QVERIFY(!mirror.isReading());
    QCOMPARE(mirror.text().toString(), document.toRawText());
    QTextCursor(&document).insertText(QStringLiteral("first "));
    QCOMPARE(mirror.text().toString(), document.toRawText());
}

void TstTextMirror::followsAWideChangeOfALargeText()
{
    // A change over most of a long text (Replace All) is followed in one pass; the
    // text must still be exact, and a changed plain text reported exactly once.
    QTextDocument document;
    // The first character stays: a change from the very start is a new text.
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("x"));
    cursor.insertImage(QImage(2, 2, QImage::Format_RGB32));
    while (document.characterCount() < 2 * TextMirror::kSlice)
        cursor.insertText(QStringLiteral("a fox and a dog\n"));
    TextMirror mirror(&document);
    QSignalSpy changed(&mirror, &TextMirror::plainTextChanged);
    auto wideEdit = [&document](const std::function<void(QTextCursor &)> &edit) {
        QTextCursor all(&document);
        all.beginEditBlock();
        edit(all);
        all.endEditBlock();
    };

    // Formatting alone, and a picture gone with it: the plain text is the same.
    wideEdit([](QTextCursor &all) {
        all.setPosition(1);
        all.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        all.mergeCharFormat(bold);
        all.setPosition(1);
        all.deleteChar();
    });
    QCOMPARE(mirror.text().toString(), document.toRawText());
    QCOMPARE(changed.count(), 0);

    wideEdit([&document](QTextCursor &all) {
        for (QTextCursor fox = document.find(QStringLiteral("fox")); !fox.isNull();
             fox = document.find(QStringLiteral("fox"), fox)) {
            all.setPosition(fox.selectionStart());
            all.setPosition(fox.selectionEnd(), QTextCursor::KeepAnchor);
            all.insertText(QStringLiteral("wolf"));
        }
    });
    QCOMPARE(mirror.text().toString(), document.toRawText());
    QVERIFY(document.toRawText().startsWith(QStringLiteral("xa wolf and")));
    QCOMPARE(changed.count(), 1);
}

void TstTextMirror::aLargeTextPastedOverEverythingIsAChange()
{
    // Select All and a large paste replace the whole text: the document is changed,
    // or Exit would not offer to save it. Read in slices, it is still reported.
    QString big;
    for (int i = 0; big.size() < 2 * TextMirror::kSlice; ++i)
        big += QStringLiteral("line %1 of a large text\n").arg(i);
    QTextDocument document;
    document.setPlainText(big);
    TextMirror mirror(&document);
    QSignalSpy changed(&mirror, &TextMirror::plainTextChanged);
    const auto pasteOverAll = [&document](const QString &text) {
        QTextCursor all(&document);
        all.select(QTextCursor::Document);
        all.insertText(text);
    };

    // Another length: at once.
    pasteOverAll(big + QStringLiteral("more"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(mirror.text().toString(), document.toRawText());

    // The same length: once the new text has been read, and only if it differs.
    QString same = document.toPlainText();
    same[0] = QLatin1Char('L');
    pasteOverAll(same);
    QCOMPARE(changed.count(), 1);
    QTRY_VERIFY(!mirror.isReading());
    QCOMPARE(changed.count(), 2);
    pasteOverAll(same);
    QTRY_VERIFY(!mirror.isReading());
    QCOMPARE(changed.count(), 2);
    QCOMPARE(mirror.text().toString(), document.toRawText());

    // A text taken as unchanged (a file just opened) is not reported later.
    same[0] = QLatin1Char('M');
    pasteOverAll(same);
    mirror.takeAsUnchanged();
    QTRY_VERIFY(!mirror.isReading());
    QCOMPARE(changed.count(), 2);
}

QTEST_MAIN(TstTextMirror)
#include "tst_textmirror.moc"
