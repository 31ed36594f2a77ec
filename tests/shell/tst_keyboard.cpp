// The main window without a mouse: the designed tab order, and the toolbar reached,
// walked and pressed from the keyboard, with real key events on a real display.
#include "windowfixture.h"

#include "platform/richtextpad.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>

class TstKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void tabOrderIsTheDesignedOne();
    void toolbarFromTheKeyboard();
};

namespace {

bool showActive(Frmmain &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The named control that holds the focus: a combo box, not its edit field.
QString focusName(const Frmmain &window)
{
    static const QStringList controls{
        "SayText", "Slider1", "Slider2", "ClrSelect1", "Combo1", "FntSize", "cmdRead",
        "cmdStop", "cmdPause", "cmdResume", "cmdClear", "cmdExit", "cmdOpen"};
    for (QWidget *w = QApplication::focusWidget(); w && w != &window; w = w->parentWidget()) {
        if (controls.contains(w->objectName()) || w->objectName().startsWith("Toolbar1_"))
            return w->objectName();
    }
    return QStringLiteral("<none>");
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

} // namespace

void TstKeyboard::tabOrderIsTheDesignedOne()
{
    WindowFixture f;
    QVERIFY(f.child<QWidget>(QStringLiteral("ClrSelect1")));
    QVERIFY(showActive(*f.window));
    f.window->sayText()->setFocus(Qt::OtherFocusReason);

    // Tab types a tab in the pad, so Ctrl+Tab leaves it. The colour selector has
    // two stops, its swatch and its arrow button. Hidden buttons (Stop Read!,
    // Resume) and the toolbar are passed by; after the last button the pad comes
    // round again.
    press(Qt::Key_Tab, Qt::ControlModifier);
    QStringList forward{focusName(*f.window)};
    for (int i = 0; i < 10; ++i) {
        press(Qt::Key_Tab);
        forward << focusName(*f.window);
    }
    QCOMPARE(forward, QStringList({"Slider1", "Slider2", "ClrSelect1", "ClrSelect1", "Combo1",
                                   "FntSize", "cmdRead", "cmdPause", "cmdClear", "cmdExit",
                                   "cmdOpen"}));
    press(Qt::Key_Tab);
    QCOMPARE(focusName(*f.window), QStringLiteral("SayText"));

    QStringList back;
    f.window->findChild<QWidget *>(QStringLiteral("cmdOpen"))->setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < 5; ++i) {
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        back << focusName(*f.window);
    }
    QCOMPARE(back, QStringList({"cmdExit", "cmdClear", "cmdPause", "cmdRead", "FntSize"}));
}

void TstKeyboard::toolbarFromTheKeyboard()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    QVERIFY(showActive(*f.window));
    pad->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(pad, QStringLiteral("Hello"));
    press(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(pad->selText(), QStringLiteral("Hello"));

    auto *bold = f.window->findChild<QWidget *>(QStringLiteral("Toolbar1_button_Bold"));
    const QImage boldAtRest = bold->grab().toImage();

    // F6 onto the first button; the arrows, Home and End walk the buttons in their
    // order, round from either end.
    press(Qt::Key_F6);
    QCOMPARE(focusName(*f.window), QStringLiteral("Toolbar1_button_New"));
    press(Qt::Key_Right);
    QCOMPARE(focusName(*f.window), QStringLiteral("Toolbar1_button_Open"));
    press(Qt::Key_End);
    QCOMPARE(focusName(*f.window), QStringLiteral("Toolbar1_button_Help"));
    press(Qt::Key_Right);
    QCOMPARE(focusName(*f.window), QStringLiteral("Toolbar1_button_New"));
    press(Qt::Key_Left);
    QCOMPARE(focusName(*f.window), QStringLiteral("Toolbar1_button_Help"));
    press(Qt::Key_Home);

    // Every button is reached, those without a menu item among them.
    QStringList walked;
    for (int i = 0; i < 20; ++i) {
        walked << focusName(*f.window).mid(QStringLiteral("Toolbar1_button_").size());
        press(Qt::Key_Right);
    }
    QCOMPARE(walked,
             QStringList({"New", "Open", "Save", "Print", "Cut", "Copy", "Paste", "Delete",
                          "Find", "Undo", "Redo", "Bold", "Italic", "Underline", "AlignLeft",
                          "AlignCenter", "AlignRight", "Font Color", "Insert Picture",
                          "Help"}));

    // Enter presses the button, not the window's default "Read It!", and gives the
    // pad its focus back with the selection it had.
    while (focusName(*f.window) != QLatin1String("Toolbar1_button_Bold"))
        press(Qt::Key_Right);
    // The focus shows on the button.
    QVERIFY(bold->grab().toImage() != boldAtRest);
    press(Qt::Key_Return);
    QCOMPARE(focusName(*f.window), QStringLiteral("SayText"));
    QCOMPARE(pad->selBold(), std::optional<bool>(true));
    QVERIFY(f.window->toolbarButton(QStringLiteral("Bold"))->isChecked());
    QVERIFY(!f.synth.spoken().contains(QStringLiteral("Hello")));

    // F6 comes back to the button last used; Space presses too.
    press(Qt::Key_F6);
    QCOMPARE(focusName(*f.window), QStringLiteral("Toolbar1_button_Bold"));
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    QCOMPARE(focusName(*f.window), QStringLiteral("Toolbar1_button_AlignCenter"));
    // Space held down: its repeats neither press again nor type into the pad.
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Space);
    for (QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress, QEvent::KeyRelease,
                              QEvent::KeyPress}) {
        QKeyEvent repeat(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QApplication::sendEvent(QApplication::focusWidget(), &repeat);
    }
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(focusName(*f.window), QStringLiteral("SayText"));
    QCOMPARE(f.synth.spoken().count(QStringLiteral("Text center")), 1);
    QCOMPARE(pad->textCursor().block().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QVERIFY(f.window->toolbarButton(QStringLiteral("AlignCenter"))->isChecked());
    QCOMPARE(pad->selText(), QStringLiteral("Hello"));

    // Esc, F6 and Tab leave the toolbar for the control that had the focus, a
    // panel button as well as the pad; nothing is pressed.
    auto *clear = f.window->findChild<QWidget *>(QStringLiteral("cmdClear"));
    for (int leaveKey : {int(Qt::Key_Escape), int(Qt::Key_F6), int(Qt::Key_Tab)}) {
        clear->setFocus(Qt::OtherFocusReason);
        press(Qt::Key_F6, Qt::ShiftModifier);
        QVERIFY(focusName(*f.window).startsWith(QLatin1String("Toolbar1_button_")));
        press(leaveKey);
        QCOMPARE(focusName(*f.window), QStringLiteral("cmdClear"));
    }
    QCOMPARE(pad->text(), QStringLiteral("Hello"));
}

QTEST_MAIN(TstKeyboard)
#include "tst_keyboard.moc"
