// The rules of the undo history on plain texts, without a window.
#include "editing/edithistory.h"

#include <QTest>

namespace {

// Plays the user: every key records the text before it, then changes the text.
struct Typist
{
    EditHistory history;
    QString text;

    void type(const QString &keys)
    {
        for (const QChar key : keys) {
            history.pushUndo(text);
            text.append(key);
        }
    }
    bool undo()
    {
        const auto back = history.undo(text);
        if (back)
            text = back->toString();
        return back.has_value();
    }
    bool redo()
    {
        const auto forward = history.redo(text);
        if (forward)
            text = forward->toString();
        return forward.has_value();
    }
};

} // namespace

class TstEditHistory : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void nothingRecordedMeansNothingToUndo();
    void undoRedoWalkTheWholeRow();
    void newSnapshotDiscardsRedo();
    void fullRingDropsTheOldest();
    void changesMadeAfterUndoAreKept();
    void unchangedTextIsNotRecordedTwice();
    void clearForgetsEverything();
};

void TstEditHistory::workedExample()
{
    // An empty pad; the user types a, then b.
    Typist t;
    t.type(QStringLiteral("ab"));
    QCOMPARE(t.text, QStringLiteral("ab"));
    // Undo returns to the text before the last key press, then before the first.
    QVERIFY(t.undo());
    QCOMPARE(t.text, QStringLiteral("a"));
    QVERIFY(t.undo());
    QCOMPARE(t.text, QString());
    // Nothing earlier: Undo does nothing.
    QVERIFY(!t.undo());
    QCOMPARE(t.text, QString());
    // Redo brings back both steps, the newest text included, and then stops.
    QVERIFY(t.redo());
    QCOMPARE(t.text, QStringLiteral("a"));
    QVERIFY(t.redo());
    QCOMPARE(t.text, QStringLiteral("ab"));
    QVERIFY(!t.redo());
    QCOMPARE(t.text, QStringLiteral("ab"));
}

void TstEditHistory::nothingRecordedMeansNothingToUndo()
{
    EditHistory history;
    const SharedText opened(QStringLiteral("an opened document"));
    QVERIFY(!history.canUndo(opened));
    QVERIFY(!history.undo(opened));
    QVERIFY(!history.redo(opened));
    QCOMPARE(history.texts().size(), 0);
}

void TstEditHistory::undoRedoWalkTheWholeRow()
{
    Typist t;
    t.type(QStringLiteral("hello"));
    for (const char *expected : {"hell", "hel", "he", "h", ""}) {
        QVERIFY(t.undo());
        QCOMPARE(t.text, QString::fromLatin1(expected));
    }
    QVERIFY(!t.undo());
    for (const char *expected : {"h", "he", "hel", "hell", "hello"}) {
        QVERIFY(t.redo());
        QCOMPARE(t.text, QString::fromLatin1(expected));
    }
    QVERIFY(!t.redo());
    // Back at the newest text, the history is as it was after typing.
    QCOMPARE(t.history.snapshotCount(), 5);
    QCOMPARE(t.history.texts().size(), 5);
}

void TstEditHistory::newSnapshotDiscardsRedo()
{
    Typist t;
    t.type(QStringLiteral("abc"));
    QVERIFY(t.undo());
    QVERIFY(t.undo());
    QCOMPARE(t.text, QStringLiteral("a"));
    t.type(QStringLiteral("x"));
    QCOMPARE(t.text, QStringLiteral("ax"));
    QVERIFY(!t.history.canRedo());
    QVERIFY(!t.redo());
    // The abandoned "ab" and "abc" are gone for good; Undo walks the new row.
    QVERIFY(t.undo());
    QCOMPARE(t.text, QStringLiteral("a"));
    QVERIFY(t.undo());
    QCOMPARE(t.text, QString());
    QVERIFY(!t.undo());
    QVERIFY(t.redo());
    QVERIFY(t.redo());
    QCOMPARE(t.text, QStringLiteral("ax"));
    QVERIFY(!t.redo());
}

void TstEditHistory::fullRingDropsTheOldest()
{
    EditHistory history;
    for (int i = 0; i < 150; ++i)
        history.pushUndo(QString::number(i));
    QCOMPARE(history.snapshotCount(), EditHistory::kCapacity);
    QString current = QStringLiteral("150");
    // The 99 newest snapshots remain: 149 down to 51.
    for (int expected = 149; expected >= 51; --expected) {
        const auto back = history.undo(current);
        QVERIFY(back);
        current = back->toString();
        QCOMPARE(current, QString::number(expected));
    }
    QVERIFY(!history.undo(current));
    QCOMPARE(current, QStringLiteral("51"));
    // Kept for Redo: the 99 snapshots and the text undone from.
    QCOMPARE(history.texts().size(), EditHistory::kCapacity + 1);
    for (int i = 0; i < 99; ++i) {
        const auto forward = history.redo(current);
        QVERIFY(forward);
        current = forward->toString();
    }
    QCOMPARE(current, QStringLiteral("150"));
}

void TstEditHistory::changesMadeAfterUndoAreKept()
{
    Typist t;
    t.type(QStringLiteral("ab"));
    QVERIFY(t.undo());
    QCOMPARE(t.text, QStringLiteral("a"));
    // A change without a snapshot (the Delete key, a menu command).
    t.text = QStringLiteral("a!");
    QVERIFY(t.undo());
    QCOMPARE(t.text, QString());
    QVERIFY(t.redo());
    QCOMPARE(t.text, QStringLiteral("a!"));
    QVERIFY(t.redo());
    QCOMPARE(t.text, QStringLiteral("ab"));
}

void TstEditHistory::unchangedTextIsNotRecordedTwice()
{
    // Keys that change nothing (Escape) still ask for a snapshot.
    Typist t;
    t.type(QStringLiteral("a"));
    t.history.pushUndo(t.text);
    t.history.pushUndo(t.text);
    QCOMPARE(t.history.snapshotCount(), 2);
    // Undo goes back past the unchanged text at once.
    QVERIFY(t.undo());
    QCOMPARE(t.text, QString());
    QVERIFY(t.redo());
    QCOMPARE(t.text, QStringLiteral("a"));

    EditHistory fresh;
    fresh.pushUndo(QString());
    QVERIFY(!fresh.undo(QString()));
}

void TstEditHistory::clearForgetsEverything()
{
    Typist t;
    t.type(QStringLiteral("abc"));
    QVERIFY(t.undo());
    t.history.clearUndo();
    QVERIFY(!t.undo());
    QVERIFY(!t.redo());
    QCOMPARE(t.text, QStringLiteral("ab"));
    t.type(QStringLiteral("d"));
    QVERIFY(t.undo());
    QCOMPARE(t.text, QStringLiteral("ab"));
    QVERIFY(!t.undo());
}

QTEST_APPLESS_MAIN(TstEditHistory)
#include "tst_edithistory.moc"
