// The Search & Replace dialog as the user meets it: opened from the main window by
// its keys, driven with key presses and mouse clicks, working on the real pad.
#include "windowfixture.h"

#include "platform/richtextpad.h"
#include "search/textsearch.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QWidget *findDialog()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->objectName() == QLatin1String("Find"))
            return window;
    }
    return nullptr;
}

// The main window with the pad holding `text` and the dialog opened by F3.
struct SearchFixture : WindowFixture
{
    RichTextPad *pad = nullptr;
    QWidget *dialog = nullptr;

    explicit SearchFixture(const QString &text)
    {
        window->show();
        window->activateWindow();
        pad = window->sayText();
        pad->setText(text);
        // The text stands for an opened document: unchanged.
        window->documentState().textChanged = false;
        pad->setFocus();
        // The key reaches its command only in the active window.
        if (QTest::qWaitForWindowActive(window.get())) {
            QTest::keyClick(pad, Qt::Key_F3);
            dialog = findDialog();
        }
    }

    template<typename T>
    T *control(const char *name) const
    {
        return dialog->findChild<T *>(QString::fromLatin1(name));
    }
    void click(const char *button) const
    {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }
    void type(const char *field, const QString &text) const
    {
        QLineEdit *edit = control<QLineEdit>(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void tick(const char *check, bool on) const
    {
        QCheckBox *box = control<QCheckBox>(check);
        if (box->isChecked() != on)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    // How many of the two Replace buttons are enabled.
    int replaceEnabled() const
    {
        return int(control<QPushButton>("ReplaceButton")->isEnabled())
               + int(control<QPushButton>("ReplaceAllButton")->isEnabled());
    }
    QString lastMessage() const
    {
        return messages.m_shown.isEmpty() ? QString() : messages.m_shown.constLast().text;
    }
};

} // namespace

class TstSearchDialog : public QObject
{
    Q_OBJECT

private slots:
    void findsEveryMatchAndReplacesAll();
    void replacementsThatHoldTheSearchTextEnd();
    void optionsDecideWhatMatches();
    void replaceWorksOnTheSelectionAsItIs();
    void keysAndReopeningKeepTheDialog();
};

void TstSearchDialog::findsEveryMatchAndReplacesAll()
{
    SearchFixture f(QStringLiteral("cat dog cat"));
    QVERIFY(f.dialog);
    QVERIFY(f.dialog->isVisible());
    QVERIFY(!f.dialog->parentWidget());
    QCOMPARE(f.synth.lastSpoken(), QStringLiteral("What's the word do you want to find"));
    QCOMPARE(f.replaceEnabled(), 0);

    f.type("Text1", QStringLiteral("cat"));
    f.click("FindButton");
    // A match at the very first character is found like any other.
    QCOMPARE(f.pad->selStart(), 0);
    QCOMPARE(f.pad->selText(), QStringLiteral("cat"));
    QCOMPARE(f.replaceEnabled(), 2);
    f.click("FindNextButton");
    QCOMPARE(f.pad->selStart(), 8);
    QVERIFY(f.messages.m_shown.isEmpty());
    f.click("FindNextButton");
    QCOMPARE(f.messages.m_shown.size(), 1);
    const ScriptedMessageBoxes::Shown &box = f.messages.m_shown.constLast();
    QCOMPARE(box.text + '|' + box.title, QStringLiteral("String not found|Search Help"));
    QVERIFY(box.icon == MessageBoxes::Icon::None && box.buttons == MessageBoxes::Buttons::Ok);
    QCOMPARE(f.replaceEnabled(), 0);
    // Only Find starts again from the beginning.
    f.click("FindButton");
    QCOMPARE(f.pad->selStart(), 0);
    QCOMPARE(f.replaceEnabled(), 2);

    f.type("Text2", QStringLiteral("bird"));
    f.click("ReplaceAllButton");
    QCOMPARE(f.pad->text(), QStringLiteral("bird dog bird"));
    QCOMPARE(f.lastMessage(), QStringLiteral("Done replacing"));
    QCOMPARE(f.replaceEnabled(), 0);
    QVERIFY(f.window->documentState().textChanged);
    // The messages are not spoken.
    QCOMPARE(f.synth.lastSpoken(), QStringLiteral("What's the word do you want to find"));

    // The whole Replace All is one step of the undo history.
    f.window->menuItem(QStringLiteral("UndoMe"))->trigger();
    QCOMPARE(f.pad->text(), QStringLiteral("cat dog cat"));
    f.window->menuItem(QStringLiteral("RedoMe"))->trigger();

    // A Replace All that finds nothing leaves the selected match alone, and
    // still reports its end.
    f.window->documentState().textChanged = false;
    f.type("Text1", QStringLiteral("dog"));
    f.click("FindButton");
    f.type("Text1", QStringLiteral("cow"));
    f.click("ReplaceAllButton");
    QCOMPARE(f.pad->text(), QStringLiteral("bird dog bird"));
    QCOMPARE(f.lastMessage(), QStringLiteral("Done replacing"));
    QVERIFY(!f.window->documentState().textChanged);

    // An empty search text finds nothing and changes nothing, whichever button.
    for (const char *button :
         {"ReplaceButton", "ReplaceAllButton", "FindButton", "FindNextButton"}) {
        f.type("Text1", QStringLiteral("dog"));
        f.click("FindButton");
        f.type("Text1", QString());
        const qsizetype shown = f.messages.m_shown.size();
        f.click(button);
        QCOMPARE(f.messages.m_shown.size(), shown + 1);
        QCOMPARE(f.lastMessage(), QStringLiteral("String not found"));
        QCOMPARE(f.pad->text(), QStringLiteral("bird dog bird"));
        QCOMPARE(f.replaceEnabled(), 0);
    }
    QVERIFY(!f.window->documentState().textChanged);
}

void TstSearchDialog::replacementsThatHoldTheSearchTextEnd()
{
    SearchFixture f(QStringLiteral("aaaa"));
    QVERIFY(f.dialog);
    // Find Next finds overlapping matches; Replace All replaces each part once.
    f.type("Text1", QStringLiteral("aa"));
    f.click("FindButton");
    f.click("FindNextButton");
    QCOMPARE(f.pad->selStart(), 1);
    f.click("FindNextButton");
    QCOMPARE(f.pad->selStart(), 2);
    f.type("Text2", QStringLiteral("b"));
    f.click("FindButton");
    f.click("ReplaceAllButton");
    QCOMPARE(f.pad->text(), QStringLiteral("bb"));

    f.pad->setText(QStringLiteral("a a\nxa"));
    f.type("Text1", QStringLiteral("a"));
    f.type("Text2", QStringLiteral("ba"));
    f.click("FindButton");
    f.click("ReplaceAllButton");
    QCOMPARE(f.pad->text(), QStringLiteral("ba ba\nxba"));

    // Replace steps past its own replacement, which holds the search text.
    f.pad->setText(QStringLiteral("cat cat"));
    f.type("Text1", QStringLiteral("cat"));
    f.type("Text2", QStringLiteral("cats"));
    f.click("FindButton");
    f.click("ReplaceButton");
    QCOMPARE(f.pad->text(), QStringLiteral("cats cat"));
    QCOMPARE(f.pad->selStart(), 5);
    f.click("ReplaceButton");
    QCOMPARE(f.pad->text(), QStringLiteral("cats cats"));
    QCOMPARE(f.lastMessage(), QStringLiteral("String not found"));
    QCOMPARE(f.replaceEnabled(), 0);
    // Each Replace is a step of its own.
    f.window->menuItem(QStringLiteral("UndoMe"))->trigger();
    QCOMPARE(f.pad->text(), QStringLiteral("cats cat"));
}

void TstSearchDialog::optionsDecideWhatMatches()
{
    SearchFixture f(QStringLiteral("Category cat CAT"));
    QVERIFY(f.dialog);
    f.type("Text1", QStringLiteral("CAT"));
    f.click("FindButton");
    QCOMPARE(f.pad->selStart(), 0);
    f.tick("Check1", true);
    f.click("FindButton");
    QCOMPARE(f.pad->selStart(), 13);
    f.tick("Check1", false);
    f.tick("Check2", true);
    f.click("FindButton");
    QCOMPARE(f.pad->selStart(), 9);
    f.type("Text2", QStringLiteral("dog"));
    f.click("ReplaceAllButton");
    QCOMPARE(f.pad->text(), QStringLiteral("Category dog dog"));

    // Replace All replaces exactly what Find Next steps through, under every option:
    // across paragraphs, pictures and no-break spaces, words and letter cases.
    const QString text = QStringLiteral("Cat\u00A0cat category\ncat\u2028CAT, scat cat9 'cat' "
                                        "at t c a cat");
    for (const QString &what : {QStringLiteral("cat"), QStringLiteral("t c"),
                                QStringLiteral("CAT"), QStringLiteral("at")}) {
        for (int options : {0, 2, 4, 6}) {
            f.pad->setText(text);
            QTextCursor cursor = f.pad->textCursor();
            cursor.setPosition(10);
            f.pad->setTextCursor(cursor);
            f.pad->insertPicture(QImage(4, 4, QImage::Format_RGB32));
            QList<qsizetype> stepped;
            for (int at = f.pad->find(what, 0, options); at >= 0;
                 at = f.pad->find(what, at + int(what.size()), options))
                stepped << at;
            const QList<qsizetype> all =
                TextSearch::findAll(f.pad->document()->toRawText(), what, options);
            QVERIFY2(!stepped.isEmpty(), qPrintable(what));
            QCOMPARE(all, stepped);
        }
    }
}

void TstSearchDialog::replaceWorksOnTheSelectionAsItIs()
{
    SearchFixture f(QStringLiteral("one cat two cat three cat"));
    QVERIFY(f.dialog);
    f.type("Text1", QStringLiteral("cat"));
    f.type("Text2", QStringLiteral("dog"));
    f.click("FindButton");
    QCOMPARE(f.pad->selStart(), 4);

    // The user moved the caret: Replace replaces nothing and selects the next match.
    f.pad->setSelStart(0);
    f.click("ReplaceButton");
    QCOMPARE(f.pad->text(), QStringLiteral("one cat two cat three cat"));
    QCOMPARE(f.pad->selStart(), 12);
    QVERIFY(!f.window->documentState().textChanged);
    // A selection that is not a match is not replaced either.
    f.pad->setSelStart(0);
    f.pad->setSelLength(3);
    f.click("ReplaceButton");
    QCOMPARE(f.pad->text(), QStringLiteral("one cat two cat three cat"));
    QCOMPARE(f.pad->selStart(), 22);
    // The user selected another match by hand: that one is replaced, and the search
    // goes on after it.
    f.pad->setSelStart(4);
    f.pad->setSelLength(3);
    f.click("ReplaceButton");
    QCOMPARE(f.pad->text(), QStringLiteral("one dog two cat three cat"));
    QCOMPARE(f.pad->selStart(), 12);
    QVERIFY(f.window->documentState().textChanged);
    // Text typed in the pad since is searched as it is now.
    f.pad->setSelStart(0);
    QTest::keyClicks(f.pad, QStringLiteral("cat "));
    f.click("FindButton");
    QCOMPARE(f.pad->selStart(), 0);
    f.click("ReplaceButton");
    QCOMPARE(f.pad->text(), QStringLiteral("dog one dog two cat three cat"));
    QCOMPARE(f.pad->selStart(), 16);
}

void TstSearchDialog::keysAndReopeningKeepTheDialog()
{
    SearchFixture f(QStringLiteral("red green red blue red"));
    QVERIFY(f.dialog);
    QVERIFY(QTest::qWaitForWindowActive(f.dialog));
    // The first control to take the focus is the "Case sensitive" box; Tab goes on in
    // the order of the form, past the disabled buttons.
    QCOMPARE(QApplication::focusWidget(), f.control<QWidget>("Check1"));
    QStringList order;
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, QStringList({"Check2", "FindButton", "FindNextButton", "cmdCancel",
                                 "Text1", "Text2"}));

    // Enter in a field runs Find; Esc hides the dialog.
    f.type("Text1", QStringLiteral("red"));
    QTest::keyClick(f.control<QLineEdit>("Text1"), Qt::Key_Return);
    QCOMPARE(f.pad->selStart(), 0);
    f.click("FindNextButton");
    QCOMPARE(f.pad->selStart(), 10);
    f.tick("Check2", true);
    QTest::keyClick(f.control<QLineEdit>("Text2"), Qt::Key_Escape);
    QVERIFY(f.dialog->isHidden());

    // F5 brings the same dialog back as it was left; Find Next goes on after the last
    // match.
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.pad, Qt::Key_F5);
    QCOMPARE(f.synth.lastSpoken(), QStringLiteral("What's the word do you want to replace?"));
    QCOMPARE(findDialog(), f.dialog);
    QVERIFY(f.dialog->isVisible());
    QCOMPARE(f.control<QLineEdit>("Text1")->text(), QStringLiteral("red"));
    QVERIFY(f.control<QCheckBox>("Check2")->isChecked());
    QCOMPARE(f.replaceEnabled(), 2);
    f.click("FindNextButton");
    QCOMPARE(f.pad->selStart(), 19);
    // Cancel hides it too; F3 brings it back.
    f.click("cmdCancel");
    QVERIFY(f.dialog->isHidden());
    f.window->toolbarButton(QStringLiteral("Find"))->trigger();
    QVERIFY(f.dialog->isVisible());
    f.click("FindNextButton");
    QCOMPARE(f.lastMessage(), QStringLiteral("String not found"));
}

QTEST_MAIN(TstSearchDialog)
#include "tst_searchdialog.moc"
