// The editing commands as the user meets them in the shown main window, on the
// system's own clipboard: Cut, Copy, Paste, Delete, Select All in their menu and
// toolbar forms, the pad's pop-up menu and Word Count.
#include "windowfixture.h"

#include "editing/wordcount.h"
#include "platform/richtextpad.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

void trigger(WindowFixture &f, const char *item)
{
    QAction *action = f.window->menuItem(QString::fromLatin1(item));
    QVERIFY(action);
    action->trigger();
}

QImage picture()
{
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

// Puts a text and a picture on the clipboard, as another program might.
void offerTextAndPicture(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
    data->setImageData(picture());
    QGuiApplication::clipboard()->setMimeData(data);
}

bool clipboardHoldsPicture()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

void select(RichTextPad *pad, int start, int length)
{
    pad->setSelStart(start);
    pad->setSelLength(length);
}

// Watches for the pop-up menu from before an action that may open it: once it is
// open, runs `inside` and closes it if it is still open, so that the action returns.
struct PopUpWatch
{
    QMenu *menu;
    std::function<void()> inside;
    QTimer poll;
    bool opened = false;
    QPoint openedAt;

    explicit PopUpWatch(QMenu *m, std::function<void()> in = {})
        : menu(m)
        , inside(std::move(in))
    {
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, menu, [this] {
            if (opened || QApplication::activePopupWidget() != menu)
                return;
            opened = true;
            openedAt = menu->pos();
            if (inside)
                inside();
            if (menu->isVisible())
                menu->close();
        });
        poll.start();
    }
    // Gives a late menu the time to show, then stops watching.
    bool settle()
    {
        QTest::qWait(200);
        poll.stop();
        return opened;
    }
};

struct ShownWindow : WindowFixture
{
    RichTextPad *pad = nullptr;

    ShownWindow()
    {
        window->show();
        // Without a window manager nothing activates a new window but itself.
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the main window did not become active");
        pad = window->sayText();
        pad->setFocus();
    }
};

} // namespace

class TstEditCommands : public QObject
{
    Q_OBJECT

private slots:
    void menuFormsSpeakAndTreatTheClipboardAsStated();
    void toolbarFormsAreSilentAndKeepTheFocus();
    void eachCommandIsUndoneInOneStep();
    void deleteKeyWithAndWithoutSelection();
    void selectAll();
    void popUpOpensOnARightDragOnly();
    void popUpFromTheKeyboard();
    void wordCounts_data();
    void wordCounts();
    void wordCountReports();
};

void TstEditCommands::menuFormsSpeakAndTreatTheClipboardAsStated()
{
    ShownWindow f;
    QClipboard *clipboard = QGuiApplication::clipboard();
    f.pad->setText(QStringLiteral("alpha beta gamma"));

    // Copy puts the text beside the picture already there.
    offerTextAndPicture(QStringLiteral("old"));
    select(f.pad, 6, 4);
    f.synth.clear();
    trigger(f, "CopyMe");
    QCOMPARE(f.synth.spoken(), QStringList{QStringLiteral("Are you sure to copy this text?")});
    QCOMPARE(clipboard->text(), QStringLiteral("beta"));
    QVERIFY(clipboardHoldsPicture());
    QCOMPARE(f.pad->text(), QStringLiteral("alpha beta gamma"));

    // Cut empties the clipboard first: the picture goes; it speaks nothing and gives
    // the pad the focus.
    offerTextAndPicture(QStringLiteral("old"));
    f.synth.clear();
    select(f.pad, 0, 6);
    f.window->findChild<QWidget *>(QStringLiteral("Combo1"))->setFocus();
    trigger(f, "CutMe");
    QVERIFY(f.synth.spoken().isEmpty());
    QCOMPARE(clipboard->text(), QStringLiteral("alpha "));
    QVERIFY(!clipboardHoldsPicture());
    QCOMPARE(f.pad->text(), QStringLiteral("beta gamma"));
    QVERIFY(f.pad->hasFocus());

    // Paste puts the clipboard's plain text in place of the selection.
    select(f.pad, 5, 5);
    trigger(f, "PasteMe");
    QCOMPARE(f.synth.spoken(), QStringList{QStringLiteral("Are you sure to paste here?")});
    QCOMPARE(f.pad->text(), QStringLiteral("beta alpha "));

    // With only a picture on the clipboard, Paste deletes the selection.
    QGuiApplication::clipboard()->setImage(picture());
    select(f.pad, 0, 5);
    trigger(f, "PasteMe");
    QCOMPARE(f.pad->text(), QStringLiteral("alpha "));

    // Copied text leaves its formatting behind; pasted text takes the caret's.
    f.pad->setText(QStringLiteral("plain bold"));
    select(f.pad, 6, 4);
    f.pad->setSelBold(true);
    trigger(f, "CopyMe");
    QVERIFY(!clipboard->mimeData()->hasHtml());
    select(f.pad, 0, 0);
    trigger(f, "PasteMe");
    QCOMPARE(f.pad->text(), QStringLiteral("boldplain bold"));
    select(f.pad, 0, 4);
    QCOMPARE(f.pad->selBold(), std::optional<bool>(false));
}

void TstEditCommands::toolbarFormsAreSilentAndKeepTheFocus()
{
    ShownWindow f;
    QClipboard *clipboard = QGuiApplication::clipboard();
    QWidget *combo = f.window->findChild<QWidget *>(QStringLiteral("Combo1"));
    f.pad->setText(QStringLiteral("one two three"));
    combo->setFocus();
    f.synth.clear();
    f.window->documentState().textChanged = false;

    // Cut and Copy put their text beside the picture.
    offerTextAndPicture(QStringLiteral("old"));
    select(f.pad, 3, 4);
    f.window->toolbar1_ButtonClick(QStringLiteral("Cut"));
    QCOMPARE(f.pad->text(), QStringLiteral("one three"));
    QCOMPARE(clipboard->text(), QStringLiteral(" two"));
    QVERIFY(clipboardHoldsPicture());
    QVERIFY(f.window->documentState().textChanged);

    select(f.pad, 0, 3);
    f.window->toolbar1_ButtonClick(QStringLiteral("Copy"));
    QCOMPARE(clipboard->text(), QStringLiteral("one"));
    QVERIFY(clipboardHoldsPicture());

    select(f.pad, 9, 0);
    f.window->toolbar1_ButtonClick(QStringLiteral("Paste"));
    QCOMPARE(f.pad->text(), QStringLiteral("one threeone"));

    // With no text on the clipboard, Paste deletes the selection.
    clipboard->setImage(picture());
    select(f.pad, 9, 3);
    f.window->toolbar1_ButtonClick(QStringLiteral("Paste"));
    QCOMPARE(f.pad->text(), QStringLiteral("one three"));

    QVERIFY(f.synth.m_calls.isEmpty());
    QVERIFY(combo->hasFocus());
}

void TstEditCommands::eachCommandIsUndoneInOneStep()
{
    ShownWindow f;
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    struct Step {
        const char *name;
        std::function<void()> run;
        QString after;
    };
    const QList<Step> steps{
        {"menu Cut", [&] { trigger(f, "CutMe"); }, QStringLiteral("ab  ef")},
        {"menu Paste", [&] { trigger(f, "PasteMe"); }, QStringLiteral("ab pasted ef")},
        {"menu Delete", [&] { trigger(f, "DeleteMe"); }, QStringLiteral("ab  ef")},
        {"pop-up Delete", [&] { trigger(f, "mnuPopUp_Delete"); }, QStringLiteral("ab  ef")},
        {"toolbar Cut", [&] { f.window->toolbar1_ButtonClick(QStringLiteral("Cut")); },
         QStringLiteral("ab  ef")},
        {"toolbar Paste", [&] { f.window->toolbar1_ButtonClick(QStringLiteral("Paste")); },
         QStringLiteral("ab pasted ef")},
        {"toolbar Delete", [&] { f.window->toolbar1_ButtonClick(QStringLiteral("Delete")); },
         QStringLiteral("ab  ef")},
    };
    for (const Step &step : steps) {
        f.pad->setText(QString());
        f.window->documentState().textChanged = false;
        // Typed, so that an Undo that went too far would show.
        QTest::keyClicks(f.pad, QStringLiteral("ab cd ef"));
        select(f.pad, 3, 2);
        step.run();
        QVERIFY2(f.pad->text() == step.after, step.name);
        QVERIFY2(f.window->documentState().textChanged, step.name);
        trigger(f, "UndoMe");
        QVERIFY2(f.pad->text() == QStringLiteral("ab cd ef"), step.name);
        trigger(f, "RedoMe");
        QVERIFY2(f.pad->text() == step.after, step.name);
        if (QGuiApplication::clipboard()->text() != QStringLiteral("pasted"))
            QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    }

    // A command that changes nothing records nothing: Redo still has its way.
    f.pad->setText(QString());
    QTest::keyClicks(f.pad, QStringLiteral("xy"));
    trigger(f, "UndoMe");
    select(f.pad, 1, 0);
    trigger(f, "DeleteMe");
    trigger(f, "CutMe");
    trigger(f, "CopyMe");
    QCOMPARE(f.pad->text(), QStringLiteral("x"));
    trigger(f, "RedoMe");
    QCOMPARE(f.pad->text(), QStringLiteral("xy"));
}

void TstEditCommands::deleteKeyWithAndWithoutSelection()
{
    ShownWindow f;
    QSignalSpy command(f.window->menuItem(QStringLiteral("DeleteMe")), &QAction::triggered);
    f.pad->setText(QStringLiteral("abcdef"));
    f.window->documentState().textChanged = false;

    // With a selection the key runs the Delete command once, which deletes exactly
    // the selection.
    select(f.pad, 1, 2);
    QTest::keyClick(f.pad, Qt::Key_Delete);
    QCOMPARE(command.count(), 1);
    QCOMPARE(f.pad->text(), QStringLiteral("adef"));
    QVERIFY(f.window->documentState().textChanged);

    // Without one the pad's own key deletes the character after the caret.
    select(f.pad, 1, 0);
    QTest::keyClick(f.pad, Qt::Key_Delete);
    QCOMPARE(command.count(), 1);
    QCOMPARE(f.pad->text(), QStringLiteral("aef"));

    // The command itself without a selection does nothing at all.
    trigger(f, "DeleteMe");
    f.window->toolbar1_ButtonClick(QStringLiteral("Delete"));
    QCOMPARE(f.pad->text(), QStringLiteral("aef"));
}

void TstEditCommands::selectAll()
{
    ShownWindow f;
    QWidget *combo = f.window->findChild<QWidget *>(QStringLiteral("Combo1"));
    const QString prompt =
        QStringLiteral("You have selected all the text. What would you like to do?");

    combo->setFocus();
    f.synth.clear();
    trigger(f, "SelectMe");
    QCOMPARE(f.pad->selLength(), 0);
    QVERIFY(f.pad->hasFocus());
    QCOMPARE(f.synth.spoken(), QStringList{prompt});

    f.pad->setText(QStringLiteral("first line\nsecond"));
    f.pad->setSelStart(4);
    f.pad->insertPicture(picture());
    QTest::keyClick(f.pad, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f.pad->selStart(), 0);
    QCOMPARE(f.pad->selText(), QStringLiteral("first line\nsecond"));
    // The picture is selected too: Delete leaves nothing.
    QTest::keyClick(f.pad, Qt::Key_Delete);
    QCOMPARE(f.pad->document()->characterCount(), 1);
}

void TstEditCommands::popUpOpensOnARightDragOnly()
{
    ShownWindow f;
    QMenu *menu = f.window->popupMenu();
    QWidget *viewport = f.pad->viewport();
    f.pad->setText(QStringLiteral("count these three"));
    select(f.pad, 0, 0);

    // A right click without moving opens nothing; neither does a drag with the left
    // button or a move with no button.
    for (int round = 0; round < 3; ++round) {
        PopUpWatch watch(menu);
        QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(40, 20));
        QTest::mouseRelease(viewport, Qt::RightButton, {}, QPoint(40, 20));
        QTest::mouseMove(viewport, QPoint(50, 25));
        QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(50, 25));
        QTest::mouseMove(viewport, QPoint(60, 30));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(60, 30));
        QVERIFY(!watch.settle());
    }

    // A right drag opens it where the pointer is, and the item chosen runs; ten
    // times in a row.
    QAction *wordCount = f.window->menuItem(QStringLiteral("mnuPopUp_WordCount"));
    for (int round = 0; round < 10; ++round) {
        PopUpWatch watch(menu, [&] {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(wordCount).center());
        });
        const QPoint to(45 + round, 24);
        QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(40, 20));
        QTest::mouseMove(viewport, to);
        QTest::mouseRelease(viewport, Qt::RightButton, {}, to);
        QVERIFY(watch.settle());
        QCOMPARE(watch.openedAt, viewport->mapToGlobal(to));
        QCOMPARE(f.messages.m_shown.size(), round + 1);
        QCOMPARE(f.messages.m_shown.constLast().text, QStringLiteral("There are: 3 Words"));
    }

    // The drag that opened it, still going on after it closed, does not reopen it.
    QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(40, 20));
    PopUpWatch first(menu);
    QTest::mouseMove(viewport, QPoint(45, 24));
    QVERIFY(first.settle());
    PopUpWatch again(menu);
    QTest::mouseMove(viewport, QPoint(50, 28));
    QTest::mouseRelease(viewport, Qt::RightButton, {}, QPoint(50, 28));
    QVERIFY(!again.settle());
}

void TstEditCommands::popUpFromTheKeyboard()
{
    ShownWindow f;
    QMenu *menu = f.window->popupMenu();
    f.pad->setText(QStringLiteral("text"));
    select(f.pad, 4, 0);
    const QPoint caret = f.pad->viewport()->mapToGlobal(f.pad->cursorRect().bottomLeft());
    const QList<QKeyCombination> keys{QKeyCombination(Qt::Key_Menu),
                                      QKeyCombination(Qt::ShiftModifier, Qt::Key_F10)};
    for (const QKeyCombination key : keys) {
        PopUpWatch watch(menu);
        QTest::keyClick(f.pad, key.key(), key.keyboardModifiers());
        QVERIFY(watch.settle());
        QCOMPARE(watch.openedAt, caret);
        QCOMPARE(f.pad->text(), QStringLiteral("text"));
    }
}

void TstEditCommands::wordCounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("words");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("spaces only") << QStringLiteral("   ") << 0;
    QTest::newRow("one word") << QStringLiteral("word") << 1;
    QTest::newRow("one space") << QStringLiteral("two words") << 2;
    QTest::newRow("two spaces") << QStringLiteral("two  words") << 2;
    QTest::newRow("two lines") << QStringLiteral("two\nwords") << 2;
    QTest::newRow("blank line") << QStringLiteral("a\n\nb") << 2;
    QTest::newRow("final break") << QStringLiteral("word\n") << 1;
    QTest::newRow("Windows breaks") << QStringLiteral("a\r\n\r\nb\r\n") << 2;
    QTest::newRow("tab") << QStringLiteral("a\tb") << 2;
    QTest::newRow("leading and trailing") << QStringLiteral(" \t a b \n") << 2;
    QTest::newRow("punctuation joins") << QStringLiteral("one,two three.") << 2;
    QTest::newRow("no-break space") << QStringLiteral("a\u00A0b") << 2;
    QTest::newRow("em space, ideographic space")
        << QStringLiteral("a\u2003b\u3000c") << 3;
    QTest::newRow("zero-width space joins") << QStringLiteral("a\u200Bb") << 1;
    QTest::newRow("accents") << QStringLiteral("naïve café über") << 3;
    QTest::newRow("no spaces between") << QStringLiteral("日本語の文") << 1;
    QTest::newRow("document marks") << QStringLiteral("a\u2029b\uFFFCc\uFDD0d") << 3;
    QTest::newRow("outside the BMP") << QStringLiteral("\U0001F600 \U0001D400x") << 2;
}

void TstEditCommands::wordCounts()
{
    QFETCH(QString, text);
    QFETCH(int, words);
    QCOMPARE(WordCount::countWords(text), qsizetype(words));
}

void TstEditCommands::wordCountReports()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    // A picture between two letters does not split the word.
    pad->setText(QStringLiteral("one\n\ntwo\tthree ab"));
    pad->setSelStart(int(pad->text().size()) - 1);
    pad->insertPicture(picture());
    f.window->setWindowTitle(QStringLiteral("something else"));
    QStringList titles;
    connect(f.window.get(), &QWidget::windowTitleChanged, this,
            [&titles](const QString &title) { titles << title; });
    f.synth.clear();
    trigger(f, "CountMe");
    const QString message = QStringLiteral("There are: 4 Words");
    QCOMPARE(titles, (QStringList{QStringLiteral("Tavrel - Counting Words..."),
                                  QStringLiteral("Tavrel")}));
    QCOMPARE(f.synth.spoken(), QStringList{message});
    QCOMPARE(f.messages.m_shown.size(), 1);
    QCOMPARE(f.messages.m_shown.first().text, message);
    QCOMPARE(f.messages.m_shown.first().title, QStringLiteral("Word Count"));
    QCOMPARE(f.messages.m_shown.first().buttons, MessageBoxes::Buttons::Ok);
    QCOMPARE(f.messages.m_shown.first().icon, MessageBoxes::Icon::Information);

    // The plural stays for one word; the pop-up item runs the same command.
    pad->setText(QStringLiteral("single"));
    trigger(f, "mnuPopUp_WordCount");
    QCOMPARE(f.messages.m_shown.constLast().text, QStringLiteral("There are: 1 Words"));
}

QTEST_MAIN(TstEditCommands)
#include "tst_editcommands.moc"
