// The real window with the real colour selector, loaded from its plugin module
// beside the program: placed in the panel, preselected at start, picking an entry
// colours the pad's background, and the keyboard walks the window in the designed
// tab order, into the pad and out of it.
#include "../shell/windowfixture.h"

#include "platform/richtextpad.h"
#include "shell/twips.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

class TstClrSelectHost : public QObject
{
    Q_OBJECT

private slots:
    void placedAndPreselected();
    void upKeyColoursThePad();
    void tabOrderThroughThePad();
};

void TstClrSelectHost::placedAndPreselected()
{
    WindowFixture f;
    auto *control = f.child<QWidget>(QStringLiteral("ClrSelect1"));
    QVERIFY2(control, "the Chromel plugin module is built beside the test");
    QVERIFY(!f.child<QLabel>(QStringLiteral("ClrSelect1Missing")));
    QCOMPARE(control->metaObject()->className(), "ClrSelect");
    QCOMPARE(control->parentWidget()->objectName(), QStringLiteral("Frame1"));
    QCOMPARE(control->geometry(), Twips::rect(3240, 360, 1095, 255));
    QCOMPARE(control->toolTip(), QStringLiteral("Background pad color."));
    QCOMPARE(control->property("SelectedColor").toInt(), 15);
    // Preselecting raises no click: the pad keeps its background, nothing is said.
    QCOMPARE(f.window->sayText()->backColor(), RichTextPad().backColor());
    QVERIFY(!f.synth.spoken().contains(QStringLiteral("Your text background color have changed")));

    // Between the pitch scroll bar and the font name box in the tab order.
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.child<QScrollBar>(QStringLiteral("Slider2"))->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(control->isAncestorOf(QApplication::focusWidget()));
}

void TstClrSelectHost::upKeyColoursThePad()
{
    WindowFixture f;
    auto *control = f.child<QWidget>(QStringLiteral("ClrSelect1"));
    QVERIFY(control);
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    control->setFocus();
    QTRY_VERIFY(control->isAncestorOf(QApplication::focusWidget()));
    f.synth.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(control->property("SelectedColor").toInt(), 14);
    QCOMPARE(f.window->sayText()->backColor(), QColor(255, 255, 0));
    QCOMPARE(f.synth.spoken(),
             QStringList{QStringLiteral("Your text background color have changed")});
}

void TstClrSelectHost::tabOrderThroughThePad()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    RichTextPad *pad = f.window->sayText();
    auto *open = f.child<QWidget>(QStringLiteral("cmdOpen"));
    open->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), open);

    // From the last control of the chain Tab comes round to the pad; in the pad Tab
    // types a tab, and Ctrl+Tab goes on through the panel back to the pad.
    QTest::keyClick(open, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), pad);
    QTest::keyClick(pad, Qt::Key_Tab);
    QCOMPARE(pad->text(), QStringLiteral("\t"));
    QCOMPARE(QApplication::focusWidget(), pad);
    QStringList walked;
    for (int i = 0; i < 12; ++i) {
        const bool inPad = QApplication::focusWidget() == pad;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                        inPad ? Qt::ControlModifier : Qt::NoModifier);
        walked << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(walked, (QStringList{"Slider1", "Slider2", "picSelection", "cmdPopup", "Combo1",
                                  "FntSize", "cmdRead", "cmdPause", "cmdClear", "cmdExit",
                                  "cmdOpen", "SayText"}));
    QCOMPARE(pad->text(), QStringLiteral("\t"));

    // Ctrl+Shift+Tab leaves the pad backwards, Shift+Tab comes back.
    QTest::keyClick(pad, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), open);
    QTest::keyClick(open, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), f.child<QWidget>(QStringLiteral("cmdExit")));
}

QTEST_MAIN(TstClrSelectHost)
#include "tst_clrselecthost.moc"
