// Undo and Redo as the user meets them in the main window: keys typed into the pad,
// the menu items and toolbar keys, and the document commands that clear the history.
#include "windowfixture.h"

#include "editing/undocommands.h"
#include "platform/richtextpad.h"
#include "shell/documentstate.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <functional>

namespace {

void trigger(WindowFixture &f, const char *item)
{
    QAction *action = f.window->menuItem(QString::fromLatin1(item));
    QVERIFY(action);
    action->trigger();
}

} // namespace

class TstUndoWindow : public QObject
{
    Q_OBJECT

private slots:
    void typedKeysAreUndoneOneByOne();
    void undoAtStartDoesNothing();
    void undoAfterOpenKeepsTheOpenedText();
    void keysWithoutCharacterRecordNothing();
    void everyChangeOfTheTextMarksTheDocument();
    void toolbarKeysRunTheSameCommands();
    void newAndSaveAsClearTheHistory();
    void undoLeavesPlainText();
    void undoAfterClearPadBringsTheTextBack();
    void undoInALongTextPutsBackOnlyWhatChanged();
};

void TstUndoWindow::typedKeysAreUndoneOneByOne()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    QTest::keyClicks(pad, QStringLiteral("ab"));
    QCOMPARE(pad->text(), QStringLiteral("ab"));
    QVERIFY(f.window->documentState().textChanged);

    trigger(f, "UndoMe");
    QCOMPARE(pad->text(), QStringLiteral("a"));
    trigger(f, "mnuPopUp_Undo");
    QCOMPARE(pad->text(), QString());
    trigger(f, "UndoMe");
    QCOMPARE(pad->text(), QString());
    trigger(f, "RedoMe");
    QCOMPARE(pad->text(), QStringLiteral("a"));
    trigger(f, "RedoMe");
    QCOMPARE(pad->text(), QStringLiteral("ab"));
    trigger(f, "RedoMe");
    QCOMPARE(pad->text(), QStringLiteral("ab"));
    // Lines typed with Enter and corrected with Backspace come back as typed.
    QTest::keyClick(pad, Qt::Key_Return);
    QTest::keyClicks(pad, QStringLiteral("cd"));
    QTest::keyClick(pad, Qt::Key_Backspace);
    QCOMPARE(pad->text(), QStringLiteral("ab\nc"));
    trigger(f, "UndoMe");
    QCOMPARE(pad->text(), QStringLiteral("ab\ncd"));
    trigger(f, "UndoMe");
    trigger(f, "UndoMe");
    QCOMPARE(pad->text(), QStringLiteral("ab\n"));
}

void TstUndoWindow::undoAtStartDoesNothing()
{
    WindowFixture f;
    f.window->sayText()->setText(QStringLiteral("set by the program"));
    f.window->documentState().textChanged = false;
    trigger(f, "UndoMe");
    trigger(f, "RedoMe");
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("set by the program"));
    QVERIFY(!f.window->documentState().textChanged);
}

void TstUndoWindow::undoAfterOpenKeepsTheOpenedText()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("opened.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("opened text\n");
    file.close();

    WindowFixture f;
    QTest::keyClicks(f.window->sayText(), QStringLiteral("typed before"));
    f.messages.m_answers << MessageBoxes::Answer::No;
    f.dialogs.answerFile(QStringLiteral("open"), path);
    trigger(f, "OpenSpeech");
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("opened text\n"));
    trigger(f, "UndoMe");
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("opened text\n"));
    QVERIFY(!f.window->documentState().textChanged);
}

void TstUndoWindow::keysWithoutCharacterRecordNothing()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("abc"));
    pad->setSelStart(0);
    f.window->documentState().textChanged = false;
    QTest::keyClick(pad, Qt::Key_Right);
    QTest::keyClick(pad, Qt::Key_End);
    QTest::keyClick(pad, Qt::Key_Home);
    QVERIFY(!f.window->documentState().textChanged);
    // Delete changes the text, which marks the document changed, but it records no
    // snapshot.
    QTest::keyClick(pad, Qt::Key_Delete);
    QCOMPARE(pad->text(), QStringLiteral("bc"));
    QVERIFY(f.window->documentState().textChanged);
    trigger(f, "UndoMe");
    QCOMPARE(pad->text(), QStringLiteral("bc"));
}

void TstUndoWindow::everyChangeOfTheTextMarksTheDocument()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    auto selectFirstWord = [pad] {
        pad->setSelStart(0);
        pad->setSelLength(3);
    };
    struct Change {
        const char *name;
        std::function<void()> run;
        bool changesText;
    };
    const QList<Change> changes{
        {"Backspace", [&] { pad->setSelStart(3); QTest::keyClick(pad, Qt::Key_Backspace); },
         true},
        {"Del", [&] { pad->setSelStart(0); QTest::keyClick(pad, Qt::Key_Delete); }, true},
        {"upper case", [&] { selectFirstWord(); trigger(f, "UpperMe"); }, true},
        {"text put in by a command", [&] { pad->setSelText(QStringLiteral("x")); }, true},
        {"Escape", [&] { QTest::keyClick(pad, Qt::Key_Escape); }, false},
        {"caret keys", [&] { QTest::keyClick(pad, Qt::Key_End, Qt::ShiftModifier); }, false},
        {"bold", [&] { selectFirstWord(); f.window->toolbar1_ButtonClick("Bold"); }, false},
        {"centred", [&] { f.window->toolbar1_ButtonClick("AlignCenter"); }, false},
        {"font size", [&] { selectFirstWord(); pad->setSelFontSize(30); }, false},
        {"picture", [&] { pad->insertPicture(QImage(4, 4, QImage::Format_RGB32)); }, false},
    };
    for (const Change &change : changes) {
        pad->setText(QStringLiteral("one two"));
        f.window->documentState().textChanged = false;
        change.run();
        QVERIFY2(f.window->documentState().textChanged == change.changesText, change.name);
    }
}

void TstUndoWindow::toolbarKeysRunTheSameCommands()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    QTest::keyClicks(pad, QStringLiteral("xy"));
    f.window->documentState().textChanged = false;
    f.window->toolbar1_ButtonClick(QStringLiteral("Undo"));
    QCOMPARE(pad->text(), QStringLiteral("x"));
    QVERIFY(f.window->documentState().textChanged);
    f.window->documentState().textChanged = false;
    f.window->toolbar1_ButtonClick(QStringLiteral("Redo"));
    QCOMPARE(pad->text(), QStringLiteral("xy"));
    QVERIFY(f.window->documentState().textChanged);
    // A Redo with nothing to redo leaves the flag as it was.
    f.window->documentState().textChanged = false;
    f.window->toolbar1_ButtonClick(QStringLiteral("Redo"));
    QVERIFY(!f.window->documentState().textChanged);
}

void TstUndoWindow::newAndSaveAsClearTheHistory()
{
    QTemporaryDir dir;
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    QTest::keyClicks(pad, QStringLiteral("saved"));
    f.dialogs.answerFile(QStringLiteral("save"), dir.filePath(QStringLiteral("s.txt")));
    trigger(f, "SaveAs");
    trigger(f, "UndoMe");
    QCOMPARE(pad->text(), QStringLiteral("saved"));
    QVERIFY(!f.window->documentState().textChanged);

    QTest::keyClicks(pad, QStringLiteral("!"));
    f.messages.m_answers << MessageBoxes::Answer::No;
    trigger(f, "New");
    QCOMPARE(pad->text(), QString());
    trigger(f, "UndoMe");
    QCOMPARE(pad->text(), QString());
    QVERIFY(!f.window->documentState().textChanged);
}

void TstUndoWindow::undoLeavesPlainText()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    QTest::keyClicks(pad, QStringLiteral("bold"));
    pad->selectAll();
    pad->setSelBold(true);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    pad->setSelStart(2);
    pad->insertPicture(picture);
    QTest::keyClicks(pad, QStringLiteral("!"));
    QCOMPARE(pad->text(), QStringLiteral("bo!ld"));
    trigger(f, "UndoMe");
    // The snapshot before "!" is plain: the picture and the bold type are gone.
    QCOMPARE(pad->text(), QStringLiteral("bold"));
    QVERIFY(!pad->toHtml().contains(QLatin1String("<img")));
    pad->selectAll();
    QCOMPARE(pad->selBold(), std::optional<bool>(false));
}

void TstUndoWindow::undoAfterClearPadBringsTheTextBack()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    QTest::keyClicks(pad, QStringLiteral("keep"));
    f.window->findChild<QPushButton *>(QStringLiteral("cmdClear"))->click();
    QCOMPARE(pad->text(), QString());
    trigger(f, "UndoMe");
    QCOMPARE(pad->text(), QStringLiteral("kee"));
    trigger(f, "RedoMe");
    QCOMPARE(pad->text(), QString());
}

void TstUndoWindow::undoInALongTextPutsBackOnlyWhatChanged()
{
    // Several pages of paragraphs, edited in the middle: Undo and Redo replace only
    // what differs, and must leave exactly the text, caret and mirror a whole
    // snapshot put back would.
    QString base;
    for (int i = 0; i < 40000; ++i)
        base += QStringLiteral("paragraph %1\n").arg(i);
    const int middle = int(base.size() / 2);
    RichTextPad pad;
    DocumentState state;
    UndoCommands undo(pad, state);
    pad.setText(base);
    pad.setSelStart(middle);
    QTest::keyClicks(&pad, QStringLiteral("x"));
    QTest::keyClick(&pad, Qt::Key_Return);
    QTest::keyClicks(&pad, QStringLiteral("y"));
    const QString typed = pad.text();
    QCOMPARE(typed, QString(base).insert(middle, QStringLiteral("x\ny")));

    struct Step {
        void (UndoCommands::*command)();
        QString text;
        int caret;
    };
    const QList<Step> steps{
        {&UndoCommands::undoMe, QString(base).insert(middle, QStringLiteral("x\n")), middle + 2},
        {&UndoCommands::undoMe, QString(base).insert(middle, QStringLiteral("x")), middle + 1},
        {&UndoCommands::undoMe, base, middle},
        {&UndoCommands::redoMe, QString(base).insert(middle, QStringLiteral("x")), middle + 1},
        {&UndoCommands::redoMe, QString(base).insert(middle, QStringLiteral("x\n")), middle + 2},
    };
    for (const Step &step : steps) {
        (undo.*step.command)();
        QCOMPARE(pad.text(), step.text);
        QCOMPARE(pad.selStart(), step.caret);
        QCOMPARE(pad.selLength(), 0);
        QCOMPARE(undo.mirror().text().toString(), pad.document()->toRawText());
    }

    // A centred paragraph, though far from the change, is formatting: it goes.
    pad.setSelStart(10);
    pad.setSelAlignment(RichTextPad::AlignCenter);
    QTest::keyClicks(&pad, QStringLiteral("z"));
    undo.undoMe();
    QCOMPARE(pad.text(), QString(base).insert(middle, QStringLiteral("x\n")));
    QCOMPARE(pad.document()->begin().blockFormat().alignment(), Qt::AlignLeft);
    QCOMPARE(pad.selStart(), 10);
    QCOMPARE(undo.mirror().text().toString(), pad.document()->toRawText());
}

QTEST_MAIN(TstUndoWindow)
#include "tst_undowindow.moc"
