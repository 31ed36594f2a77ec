// ClrSelect without a display: the property, the keys, the layout, what the swatch
// and the palette paint, where the palette would open and which row a press picks.
#include "metrics.h"

#include <chromel/clrselect.h>
#include <chromel/palette.h>

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace Chromel;

class TestClrSelect : public QObject
{
    Q_OBJECT

private slots:
    void table();
    void newInstance();
    void propertyLet_data();
    void propertyLet();
    void propertyByName();
    void keyStepping_data();
    void keyStepping();
    void keyModifiersStillStep_data();
    void keyModifiersStillStep();
    void otherKeysIgnored();
    void hostTabOrder();
    void layout();
    void layoutNarrowerThanButton();
    void toolTipCopiedOnShow();
    void swatchPaint();
    void palettePaint3210Twips();
    void pickPitch3210Twips();
    void popupPosition_data();
    void popupPosition();
    void accessibleNames();
};

static QWidget *part(ClrSelect &control, const char *name)
{
    return control.findChild<QWidget *>(QLatin1String(name));
}

void TestClrSelect::table()
{
    QCOMPARE(paletteColor(0), QColor(0, 0, 0));
    QCOMPARE(paletteColor(1), QColor(0, 0, 128));
    QCOMPARE(paletteColor(6), QColor(128, 128, 0));
    QCOMPARE(paletteColor(7), QColor(192, 192, 192));
    QCOMPARE(paletteColor(8), QColor(128, 128, 128));
    QCOMPARE(paletteColor(13), QColor(255, 0, 255));
    QCOMPARE(paletteColor(15), QColor(255, 255, 255));
    QVERIFY(!paletteColor(16).isValid());
    QVERIFY(!paletteColor(-1).isValid());
    QCOMPARE(paletteColorName(14), QStringLiteral("Yellow"));
    QVERIFY(paletteColorName(16).isEmpty());
}

void TestClrSelect::newInstance()
{
    ClrSelect control;
    QCOMPARE(control.selectedColor(), qint16(0));
    QVERIFY(!control.isPopupVisible());
    QVERIFY(part(control, "picSelection"));
    QVERIFY(part(control, "cmdPopup"));
    QWidget *popup = part(control, "picPopup");
    QVERIFY(popup);
    QVERIFY(popup->isWindow());
    QVERIFY(popup->windowFlags().testFlag(Qt::Tool));
    QVERIFY(popup->isHidden());
    auto *button = qobject_cast<QToolButton *>(part(control, "cmdPopup"));
    QVERIFY(button);
    QCOMPARE(button->arrowType(), Qt::DownArrow);
}

void TestClrSelect::propertyLet_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("15 is stored") << 3 << 15 << 15;
    QTest::newRow("0 is stored") << 3 << 0 << 0;
    QTest::newRow("16 is ignored") << 3 << 16 << 3;
    QTest::newRow("-1 is ignored") << 3 << -1 << 3;
    QTest::newRow("32767 is ignored") << 9 << 32767 << 9;
    QTest::newRow("-32768 is ignored") << 9 << -32768 << 9;
}

void TestClrSelect::propertyLet()
{
    QFETCH(int, start);
    QFETCH(int, value);
    QFETCH(int, expected);
    ClrSelect control;
    control.setSelectedColor(qint16(start));
    QSignalSpy clicks(&control, &ClrSelect::Click);
    control.setSelectedColor(qint16(value));
    QCOMPARE(control.selectedColor(), qint16(expected));
    QCOMPARE(clicks.count(), 0);
    auto *swatch = part(control, "picSelection");
    QCOMPARE(swatch->accessibleName(), paletteColorName(expected));
}

void TestClrSelect::propertyByName()
{
    ClrSelect control;
    QSignalSpy clicks(&control, &ClrSelect::Click);
    const QMetaProperty prop =
        control.metaObject()->property(control.metaObject()->indexOfProperty("SelectedColor"));
    QVERIFY(prop.isValid());
    QCOMPARE(prop.metaType(), QMetaType::fromType<qint16>());
    QVERIFY(!prop.isStored());

    QVERIFY(control.setProperty("SelectedColor", QVariant::fromValue<qint16>(12)));
    QCOMPARE(control.property("SelectedColor").value<qint16>(), qint16(12));
    control.setProperty("SelectedColor", QVariant::fromValue<qint16>(-5));
    QCOMPARE(control.property("SelectedColor").value<qint16>(), qint16(12));
    QCOMPARE(clicks.count(), 0);
}

void TestClrSelect::keyStepping_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("swatch") << QStringLiteral("picSelection");
    QTest::newRow("arrow button") << QStringLiteral("cmdPopup");
    QTest::newRow("control") << QString();
}

void TestClrSelect::keyStepping()
{
    QFETCH(QString, target);
    ClrSelect control;
    QWidget *receiver = target.isEmpty() ? &control : part(control, qPrintable(target));
    QSignalSpy clicks(&control, &ClrSelect::Click);
    QList<int> seen;
    connect(&control, &ClrSelect::Click, this, [&] { seen << control.selectedColor(); });

    for (int i = 0; i < 20; ++i)
        QTest::keyClick(receiver, Qt::Key_Down);
    QCOMPARE(control.selectedColor(), qint16(15));
    QCOMPARE(clicks.count(), 15);
    QCOMPARE(seen.first(), 1);
    QCOMPARE(seen.last(), 15);
    QCOMPARE(part(control, "picSelection")->accessibleName(), QStringLiteral("White"));

    clicks.clear();
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(receiver, Qt::Key_Up);
    QCOMPARE(control.selectedColor(), qint16(0));
    QCOMPARE(clicks.count(), 15);
    QVERIFY(!control.isPopupVisible());
}

void TestClrSelect::keyModifiersStillStep_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::newRow("shift") << int(Qt::ShiftModifier);
    QTest::newRow("ctrl") << int(Qt::ControlModifier);
    QTest::newRow("ctrl+alt") << int(Qt::ControlModifier | Qt::AltModifier);
    QTest::newRow("shift+alt") << int(Qt::ShiftModifier | Qt::AltModifier);
    QTest::newRow("keypad") << int(Qt::KeypadModifier);
}

void TestClrSelect::keyModifiersStillStep()
{
    QFETCH(int, modifiers);
    ClrSelect control;
    control.setSelectedColor(7);
    QSignalSpy clicks(&control, &ClrSelect::Click);
    QWidget *swatch = part(control, "picSelection");
    QTest::keyClick(swatch, Qt::Key_Down, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(control.selectedColor(), qint16(8));
    QTest::keyClick(swatch, Qt::Key_Up, Qt::KeyboardModifiers(modifiers));
    QTest::keyClick(swatch, Qt::Key_Up, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(control.selectedColor(), qint16(6));
    QCOMPARE(clicks.count(), 3);
    QVERIFY(!control.isPopupVisible());
}

void TestClrSelect::otherKeysIgnored()
{
    ClrSelect control;
    control.setSelectedColor(7);
    QSignalSpy clicks(&control, &ClrSelect::Click);
    QWidget *swatch = part(control, "picSelection");
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_PageDown, Qt::Key_Home,
                        Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space, Qt::Key_A}) {
        QTest::keyClick(swatch, key);
    }
    QCOMPARE(control.selectedColor(), qint16(7));
    QCOMPARE(clicks.count(), 0);
    QVERIFY(!control.isPopupVisible());
}

void TestClrSelect::hostTabOrder()
{
    // A host puts the control between two buttons created before and after it,
    // in the reverse order: Tab walks the control's parts where the host put it.
    QWidget host;
    auto *before = new QPushButton(QStringLiteral("before"), &host);
    auto *control = new ClrSelect(&host);
    auto *after = new QPushButton(QStringLiteral("after"), &host);
    QWidget::setTabOrder(after, control);
    QWidget::setTabOrder(control, before);
    host.show();
    QVERIFY(QTest::qWaitForWindowActive(&host));
    after->setFocus();
    QList<QWidget *> walked;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << QApplication::focusWidget();
    }
    QCOMPARE(walked, (QList<QWidget *>{part(*control, "picSelection"),
                                       part(*control, "cmdPopup"), before, after}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), before);
}

void TestClrSelect::layout()
{
    QWidget host;
    host.resize(300, 100);
    ClrSelect &control = *new ClrSelect(&host);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    control.resize(200, 30);
    QCOMPARE(part(control, "cmdPopup")->geometry(), QRect(185, 0, 15, 30));
    QCOMPARE(part(control, "picSelection")->geometry(), QRect(0, 0, 184, 30));
    QCOMPARE(part(control, "picPopup")->size(), QSize(200, 216));

    // The size the pad's host gives it: 1095 x 255 twips.
    control.resize(73, 17);
    QCOMPARE(part(control, "cmdPopup")->geometry(), QRect(58, 0, 15, 17));
    QCOMPARE(part(control, "picSelection")->geometry(), QRect(0, 0, 57, 17));
    QCOMPARE(part(control, "picPopup")->size(), QSize(73, 216));
}

void TestClrSelect::layoutNarrowerThanButton()
{
    QWidget host;
    host.resize(300, 100);
    ClrSelect &control = *new ClrSelect(&host);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    control.resize(10, 20);
    QCOMPARE(part(control, "picSelection")->width(), 0);
    QCOMPARE(part(control, "cmdPopup")->width(), 15);
    QCOMPARE(part(control, "picPopup")->width(), 10);
    control.resize(0, 0);
    QCOMPARE(part(control, "picSelection")->width(), 0);
    control.resize(16, 20);
    QCOMPARE(part(control, "picSelection")->width(), 0);
    control.resize(17, 20);
    QCOMPARE(part(control, "picSelection")->width(), 1);
    QCOMPARE(part(control, "cmdPopup")->geometry(), QRect(2, 0, 15, 20));
}

void TestClrSelect::toolTipCopiedOnShow()
{
    QWidget host;
    auto *control = new ClrSelect(&host);
    control->setToolTip(QStringLiteral("Background pad color."));
    QVERIFY(part(*control, "picSelection")->toolTip().isEmpty());
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QCOMPARE(part(*control, "picSelection")->toolTip(), QStringLiteral("Background pad color."));
}

void TestClrSelect::swatchPaint()
{
    ClrSelect control;
    control.resize(73, 17);
    QWidget *swatch = part(control, "picSelection");
    const QColor base = swatch->palette().color(QPalette::Base);

    QImage image = swatch->grab().toImage();
    QCOMPARE(image.size(), QSize(57, 17));
    // Border, then inside it the colour block one pixel in from the focus
    // rectangle's place, which is background without the focus.
    QCOMPARE(image.pixelColor(0, 0), swatch->palette().color(QPalette::Text));
    QCOMPARE(image.pixelColor(2, 2), base);
    QCOMPARE(image.pixelColor(3, 3), QColor(Qt::black));
    QCOMPARE(image.pixelColor(53, 13), QColor(Qt::black));
    QCOMPARE(image.pixelColor(54, 13), base);
    QCOMPARE(image.pixelColor(53, 14), base);

    control.setSelectedColor(12);
    image = swatch->grab().toImage();
    QCOMPARE(image.pixelColor(28, 8), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(3, 3), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(2, 8), base);

    control.setSelectedColor(99);
    QCOMPARE(swatch->grab().toImage().pixelColor(28, 8), QColor(255, 0, 0));
}

void TestClrSelect::palettePaint3210Twips()
{
    ClrSelect control;
    control.resize(73, 17);
    QWidget *popup = part(control, "picPopup");
    const QImage image = popup->grab().toImage();
    QCOMPARE(image.size(), QSize(73, 216));
    const QColor base = popup->palette().color(QPalette::Base);
    // Border of one pixel: inner area 71 x 214 pixels, 1065 x 3210 twips. Rows are
    // painted 200 twips apart, 13 1/3 pixels; inner pixel (x, y) is (x+1, y+1).
    const auto at = [&](int x, int y) { return image.pixelColor(x + 1, y + 1); };
    for (int row = 0; row < 16; ++row) {
        const int top = toPixels(row * 200);
        const int bottom = toPixels((row + 1) * 200);
        const int middle = (top + bottom) / 2;
        QCOMPARE(at(35, middle), paletteColor(row));
        // Background strip, black outline, colour bar from the left.
        QCOMPARE(at(0, middle), base);
        QCOMPARE(at(1, middle), QColor(Qt::black));
        QCOMPARE(at(2, middle), paletteColor(row));
        QCOMPARE(at(68, middle), paletteColor(row));
        QCOMPARE(at(69, middle), QColor(Qt::black));
        QCOMPARE(at(70, middle), base);
        // Outline one pixel below the row's top, then the bar.
        QCOMPARE(at(35, top + 1), QColor(Qt::black));
        QCOMPARE(at(35, top + 2), paletteColor(row));
    }
    // The last 10 twips below the 16 painted rows stay background.
    QCOMPARE(at(35, 212), QColor(Qt::black));
    QCOMPARE(at(35, 213), base);
}

void TestClrSelect::pickPitch3210Twips()
{
    // Picking divides the inner height into exact sixteenths: 200.625 twips.
    QCOMPARE(paletteRowAt(3205.0 / 15, 214), 15);
    QCOMPARE(paletteRowAt(213, 214), 15);
    // 3000 twips would be row 15 at the painting pitch of 200; it is still row 14.
    QCOMPARE(paletteRowAt(200, 214), 14);
    QCOMPARE(paletteRowAt(201, 214), 15);
    QCOMPARE(paletteRowAt(0, 214), 0);
    QCOMPARE(paletteRowAt(13, 214), 0);
    QCOMPARE(paletteRowAt(13.5, 214), 1);
    QCOMPARE(paletteRowAt(214, 214), 16);
    QCOMPARE(paletteRowAt(-0.5, 214), -1);
}

void TestClrSelect::popupPosition_data()
{
    QTest::addColumn<QRect>("control");
    QTest::addColumn<QSize>("popup");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("expected");

    const QRect screen(0, 0, 1280, 1024);
    const QSize popup(73, 216);
    QTest::newRow("below") << QRect(100, 100, 73, 17) << popup << screen << QPoint(100, 117);
    QTest::newRow("below, exactly room")
        << QRect(100, 1024 - 216 - 17, 73, 17) << popup << screen << QPoint(100, 1024 - 216);
    QTest::newRow("above, one pixel short")
        << QRect(100, 1024 - 216 - 16, 73, 17) << popup << screen
        << QPoint(100, 1024 - 216 - 16 - 216);
    QTest::newRow("off the left edge") << QRect(-30, 100, 73, 17) << popup << screen
                                       << QPoint(0, 117);
    QTest::newRow("near the right edge") << QRect(1250, 100, 73, 17) << popup << screen
                                         << QPoint(1280 - 73, 117);
    QTest::newRow("wider than the screen")
        << QRect(0, 100, 73, 17) << popup << QRect(0, 0, 60, 1024) << QPoint(60 - 73, 117);
    QTest::newRow("narrower palette: right edges meet")
        << QRect(100, 100, 120, 17) << popup << screen << QPoint(220 - 73, 117);
    QTest::newRow("narrower palette: screen's right edge")
        << QRect(1200, 100, 120, 17) << popup << screen << QPoint(1280 - 73, 117);
    QTest::newRow("narrower palette: never left of the screen")
        << QRect(-100, 100, 120, 17) << popup << screen << QPoint(0, 117);
    QTest::newRow("above, clamped at the top")
        << QRect(100, 100, 73, 17) << popup << QRect(0, 0, 1280, 300) << QPoint(100, 0);
    // A second screen to the right of and below the first one.
    const QRect second(1280, 200, 1024, 768);
    QTest::newRow("second screen, below")
        << QRect(1300, 300, 73, 17) << popup << second << QPoint(1300, 317);
    QTest::newRow("second screen, above")
        << QRect(1300, 200 + 768 - 216 - 16, 73, 17) << popup << second
        << QPoint(1300, 200 + 768 - 216 - 16 - 216);
    QTest::newRow("second screen, off its left edge")
        << QRect(1270, 300, 73, 17) << popup << second << QPoint(1280, 317);
    QTest::newRow("second screen, top clamp")
        << QRect(1300, 300, 73, 17) << popup << QRect(1280, 200, 1024, 300)
        << QPoint(1300, 200);
}

void TestClrSelect::popupPosition()
{
    QFETCH(QRect, control);
    QFETCH(QSize, popup);
    QFETCH(QRect, screen);
    QFETCH(QPoint, expected);
    QCOMPARE(Chromel::popupPosition(control, popup, screen), expected);
}

void TestClrSelect::accessibleNames()
{
    ClrSelect control;
    QWidget *swatch = part(control, "picSelection");
    QAccessibleInterface *swatchIface = QAccessible::queryAccessibleInterface(swatch);
    QVERIFY(swatchIface);
    QCOMPARE(swatchIface->text(QAccessible::Name), QStringLiteral("Black"));
    control.setSelectedColor(9);
    QCOMPARE(swatchIface->text(QAccessible::Name), QStringLiteral("Blue"));

    QAccessibleInterface *paletteIface =
        QAccessible::queryAccessibleInterface(part(control, "picPopup"));
    QVERIFY(paletteIface);
    QCOMPARE(paletteIface->role(), QAccessible::List);
    QCOMPARE(paletteIface->childCount(), 16);
    for (int row = 0; row < 16; ++row) {
        QAccessibleInterface *item = paletteIface->child(row);
        QVERIFY(item);
        QCOMPARE(item->role(), QAccessible::ListItem);
        QCOMPARE(item->text(QAccessible::Name), paletteColorName(row));
        QCOMPARE(paletteIface->indexOfChild(item), row);
        QCOMPARE(item->parent(), paletteIface);
    }
    QVERIFY(!paletteIface->child(16));
}

QTEST_MAIN(TestClrSelect)
#include "tst_clrselect.moc"
