// ClrSelect on a real X server: where the palette opens on the screen, the mouse
// grab it holds while open, picking with the mouse, the keys that open and close
// it, and the focus rectangle.
//
// Mouse events go through the window system interface, as the X server's do, so
// that they are routed to the widget holding the mouse grab.
#define QTEST_QPA_MOUSE_HANDLING
#include "metrics.h"

#include <chromel/clrselect.h>
#include <chromel/palette.h>

#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace {

// A frameless host window with the control at its top-left corner and a line
// edit to take the focus elsewhere.
struct Host
{
    std::unique_ptr<QWidget> window;
    ClrSelect *control = nullptr;
    QLineEdit *edit = nullptr;
    QWidget *swatch = nullptr;
    QWidget *button = nullptr;
    QWidget *popup = nullptr;
    bool ready = false;
};

QRect screenArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// Perimeter pixels of the focus rectangle's place that differ from the background.
int focusFramePixels(QWidget *swatch)
{
    const QImage image = swatch->grab().toImage();
    const QColor base = swatch->palette().color(QPalette::Base);
    const QRect ring(2, 2, image.width() - 4, image.height() - 4);
    int count = 0;
    for (int x = ring.left(); x <= ring.right(); ++x) {
        count += image.pixelColor(x, ring.top()) != base;
        count += image.pixelColor(x, ring.bottom()) != base;
    }
    for (int y = ring.top() + 1; y < ring.bottom(); ++y) {
        count += image.pixelColor(ring.left(), y) != base;
        count += image.pixelColor(ring.right(), y) != base;
    }
    return count;
}

} // namespace

// Opens the palette with the arrow button; a test cannot go on if that failed.
#define OPEN_PALETTE(host)                                                            \
    do {                                                                              \
        open(host);                                                                   \
        if (QTest::currentTestFailed())                                               \
            return;                                                                   \
    } while (false)

class TestClrSelectPopup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opensBelow();
    void opensAboveWhenOnePixelShort();
    void offTheLeftEdge();
    void nearTheRightEdge();
    void buttonToggles();
    void swatchClickToggles();
    void altKeysToggle();
    void stepWhileOpen();
    void pickTopAndBottomRows();
    void pickSameColourAgain();
    void pickPitch3210Twips();
    void pressOnBorder();
    void pressOutside_data();
    void pressOutside();
    void pressOutsideOnTheScreen();
    void pickWithTheRealPointer();
    void rightOrMiddlePressInside_data();
    void rightOrMiddlePressInside();
    void focusRectangle();
    void exitFocusCloses();
    void hidingTheControlReleasesTheGrab();

private:
    Host makeHost(QPoint controlAt);
    void open(Host &host);
};

Host TestClrSelectPopup::makeHost(QPoint controlAt)
{
    Host host;
    host.window = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
    host.window->setGeometry(controlAt.x(), controlAt.y(), 200, 60);
    host.control = new ClrSelect(host.window.get());
    host.control->setGeometry(0, 0, 73, 17);
    host.edit = new QLineEdit(host.window.get());
    host.edit->setGeometry(0, 30, 150, 24);
    host.swatch = host.control->findChild<QWidget *>(QStringLiteral("picSelection"));
    host.button = host.control->findChild<QWidget *>(QStringLiteral("cmdPopup"));
    host.popup = host.control->findChild<QWidget *>(QStringLiteral("picPopup"));
    host.window->show();
    host.window->activateWindow();
    host.ready = QTest::qWaitForWindowActive(host.window.get())
        && QTest::qWaitFor([&] { return host.control->mapToGlobal(QPoint(0, 0)) == controlAt; });
    return host;
}

void TestClrSelectPopup::open(Host &host)
{
    QTest::mouseClick(host.button, Qt::LeftButton);
    QVERIFY(host.control->isPopupVisible());
    QCOMPARE(QWidget::mouseGrabber(), host.popup);
    QVERIFY(QTest::qWaitForWindowExposed(host.popup));
}

void TestClrSelectPopup::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    const QRect area = screenArea();
    QVERIFY2(area.height() > 400 && area.width() > 400, "screen too small for these tests");
}

void TestClrSelectPopup::opensBelow()
{
    // Bottom edge plus the palette's height exactly at the screen's bottom.
    const QRect area = screenArea();
    const QPoint at(area.x() + 100, area.y() + area.height() - 216 - 17);
    Host host = makeHost(at);
    QVERIFY(host.ready);
    OPEN_PALETTE(host);
    QCOMPARE(host.popup->geometry(), QRect(at.x(), at.y() + 17, 73, 216));
}

void TestClrSelectPopup::opensAboveWhenOnePixelShort()
{
    const QRect area = screenArea();
    const QPoint at(area.x() + 100, area.y() + area.height() - 216 - 17 + 1);
    Host host = makeHost(at);
    QVERIFY(host.ready);
    OPEN_PALETTE(host);
    QCOMPARE(host.popup->geometry(), QRect(at.x(), at.y() - 216, 73, 216));
    QCOMPARE(host.popup->geometry().bottom() + 1, at.y());
}

void TestClrSelectPopup::offTheLeftEdge()
{
    const QRect area = screenArea();
    Host host = makeHost(QPoint(area.x() - 30, area.y() + 100));
    QVERIFY(host.ready);
    OPEN_PALETTE(host);
    QCOMPARE(host.popup->pos(), QPoint(area.x(), area.y() + 117));
}

void TestClrSelectPopup::nearTheRightEdge()
{
    const QRect area = screenArea();
    Host host = makeHost(QPoint(area.x() + area.width() - 40, area.y() + 100));
    QVERIFY(host.ready);
    OPEN_PALETTE(host);
    QCOMPARE(host.popup->geometry().right(), area.x() + area.width() - 1);
    QCOMPARE(host.popup->y(), area.y() + 117);
}

void TestClrSelectPopup::buttonToggles()
{
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    QSignalSpy clicks(host.control, &ClrSelect::Click);
    OPEN_PALETTE(host);
    QVERIFY(host.swatch->hasFocus());
    // With the grab held, the press on the button is a press outside the palette.
    QTest::mouseClick(host.button, Qt::LeftButton);
    QVERIFY(!host.control->isPopupVisible());
    QVERIFY(!QWidget::mouseGrabber());
    QTest::mouseClick(host.button, Qt::LeftButton);
    QVERIFY(host.control->isPopupVisible());
    QCOMPARE(QWidget::mouseGrabber(), host.popup);
    host.control->hidePopup();
    QCOMPARE(clicks.count(), 0);
}

void TestClrSelectPopup::swatchClickToggles()
{
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    host.edit->setFocus();
    QSignalSpy clicks(host.control, &ClrSelect::Click);
    QTest::mouseClick(host.swatch, Qt::LeftButton);
    QVERIFY(host.control->isPopupVisible());
    QVERIFY(host.swatch->hasFocus());
    QTest::mouseClick(host.swatch, Qt::LeftButton);
    QVERIFY(!host.control->isPopupVisible());
    QCOMPARE(clicks.count(), 0);
}

void TestClrSelectPopup::altKeysToggle()
{
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    host.control->setSelectedColor(5);
    QSignalSpy clicks(host.control, &ClrSelect::Click);
    host.edit->setFocus();
    QTest::keyClick(host.swatch, Qt::Key_Down, Qt::AltModifier);
    QVERIFY(host.control->isPopupVisible());
    QVERIFY(host.swatch->hasFocus());
    QCOMPARE(QWidget::mouseGrabber(), host.popup);
    QTest::keyClick(host.swatch, Qt::Key_Down, Qt::AltModifier);
    QVERIFY(!host.control->isPopupVisible());
    QVERIFY(!QWidget::mouseGrabber());
    QTest::keyClick(host.swatch, Qt::Key_Up, Qt::AltModifier);
    QVERIFY(host.control->isPopupVisible());
    QTest::keyClick(host.button, Qt::Key_Up, Qt::AltModifier);
    QVERIFY(!host.control->isPopupVisible());
    QCOMPARE(host.control->selectedColor(), qint16(5));
    QCOMPARE(clicks.count(), 0);

    // Ctrl+Alt+Down is no toggle: it steps.
    QTest::keyClick(host.swatch, Qt::Key_Down, Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(!host.control->isPopupVisible());
    QCOMPARE(host.control->selectedColor(), qint16(6));
    QCOMPARE(clicks.count(), 1);
}

void TestClrSelectPopup::stepWhileOpen()
{
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    QSignalSpy clicks(host.control, &ClrSelect::Click);
    OPEN_PALETTE(host);
    QTest::keyClick(host.swatch, Qt::Key_Down);
    QTest::keyClick(host.swatch, Qt::Key_Down);
    QTest::keyClick(host.swatch, Qt::Key_Up);
    QCOMPARE(host.control->selectedColor(), qint16(1));
    QCOMPARE(clicks.count(), 3);
    QVERIFY(host.control->isPopupVisible());
    QCOMPARE(QWidget::mouseGrabber(), host.popup);
    // Enter and Escape do nothing to the palette.
    QTest::keyClick(host.swatch, Qt::Key_Escape);
    QTest::keyClick(host.swatch, Qt::Key_Return);
    QVERIFY(host.control->isPopupVisible());
    host.control->hidePopup();
}

void TestClrSelectPopup::pickTopAndBottomRows()
{
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    host.control->setSelectedColor(7);
    QSignalSpy clicks(host.control, &ClrSelect::Click);
    QList<int> seen;
    connect(host.control, &ClrSelect::Click, this,
            [&] { seen << host.control->selectedColor(); });

    OPEN_PALETTE(host);
    QTest::mouseClick(host.popup, Qt::LeftButton, {}, QPoint(36, 7));
    QCOMPARE(host.control->selectedColor(), qint16(0));
    QCOMPARE(clicks.count(), 1);
    QVERIFY(!host.control->isPopupVisible());
    QVERIFY(!QWidget::mouseGrabber());
    // The handler already saw the new index and a closed palette's swatch.
    QCOMPARE(seen, QList<int>{0});

    OPEN_PALETTE(host);
    QTest::mouseClick(host.popup, Qt::LeftButton, {}, QPoint(36, 208));
    QCOMPARE(host.control->selectedColor(), qint16(15));
    QCOMPARE(clicks.count(), 2);
    QVERIFY(!host.control->isPopupVisible());
    QCOMPARE(host.swatch->grab().toImage().pixelColor(28, 8), QColor(Qt::white));
    QCOMPARE(host.swatch->accessibleName(), QStringLiteral("White"));
}

void TestClrSelectPopup::pickSameColourAgain()
{
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    host.control->setSelectedColor(12);
    QSignalSpy clicks(host.control, &ClrSelect::Click);
    OPEN_PALETTE(host);
    const int y = 1 + (Chromel::toPixels(12 * 200) + Chromel::toPixels(13 * 200)) / 2;
    QTest::mouseClick(host.popup, Qt::LeftButton, {}, QPoint(36, y));
    QCOMPARE(host.control->selectedColor(), qint16(12));
    QCOMPARE(clicks.count(), 1);
    QVERIFY(!host.control->isPopupVisible());
}

void TestClrSelectPopup::pickPitch3210Twips()
{
    // Inner height 214 pixels, 3210 twips: the picking pitch is 200.625 twips.
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    OPEN_PALETTE(host);
    // Inner y 200 is 3000 twips: row 14, though at the painting pitch of 200
    // twips it would be row 15.
    QTest::mouseClick(host.popup, Qt::LeftButton, {}, QPoint(36, 1 + 200));
    QCOMPARE(host.control->selectedColor(), qint16(14));
    OPEN_PALETTE(host);
    // Inner y 213, 3195 twips, below the last painted row: still row 15.
    QTest::mouseClick(host.popup, Qt::LeftButton, {}, QPoint(36, 1 + 213));
    QCOMPARE(host.control->selectedColor(), qint16(15));
    OPEN_PALETTE(host);
    QTest::mouseClick(host.popup, Qt::LeftButton, {}, QPoint(36, 1 + 201));
    QCOMPARE(host.control->selectedColor(), qint16(15));
}

void TestClrSelectPopup::pressOnBorder()
{
    // The border belongs to the palette: above the first row picks it, below the
    // last row picks that one.
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    host.control->setSelectedColor(7);
    QSignalSpy clicks(host.control, &ClrSelect::Click);
    OPEN_PALETTE(host);
    QTest::mouseClick(host.popup, Qt::LeftButton, {}, QPoint(36, 215));
    QCOMPARE(host.control->selectedColor(), qint16(15));
    OPEN_PALETTE(host);
    QTest::mouseClick(host.popup, Qt::LeftButton, {}, QPoint(36, 0));
    QCOMPARE(host.control->selectedColor(), qint16(0));
    QCOMPARE(clicks.count(), 2);
}

void TestClrSelectPopup::pressOutside_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("onHost");
    QTest::addColumn<QPoint>("pos");
    // Positions on the palette's side are relative to the palette: what the grab
    // delivers for a press beyond its edges.
    QTest::newRow("left, host window") << int(Qt::LeftButton) << true << QPoint(150, 40);
    QTest::newRow("right, host window") << int(Qt::RightButton) << true << QPoint(150, 40);
    QTest::newRow("middle, host window") << int(Qt::MiddleButton) << true << QPoint(150, 40);
    QTest::newRow("left, on the control") << int(Qt::LeftButton) << true << QPoint(20, 8);
    QTest::newRow("left, just right") << int(Qt::LeftButton) << false << QPoint(73, 100);
    QTest::newRow("left, just below") << int(Qt::LeftButton) << false << QPoint(36, 216);
    QTest::newRow("left, just above") << int(Qt::LeftButton) << false << QPoint(36, -1);
    QTest::newRow("left, just left") << int(Qt::LeftButton) << false << QPoint(-1, 100);
    QTest::newRow("right, far away") << int(Qt::RightButton) << false << QPoint(500, 500);
}

void TestClrSelectPopup::pressOutside()
{
    QFETCH(int, button);
    QFETCH(bool, onHost);
    QFETCH(QPoint, pos);
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    host.control->setSelectedColor(9);
    QSignalSpy clicks(host.control, &ClrSelect::Click);
    OPEN_PALETTE(host);
    QWidget *target = onHost ? host.window.get() : host.popup;
    QTest::mousePress(target, Qt::MouseButton(button), {}, pos);
    QVERIFY(!host.control->isPopupVisible());
    QVERIFY(!QWidget::mouseGrabber());
    QTest::mouseRelease(target, Qt::MouseButton(button), {}, pos);
    QCOMPARE(host.control->selectedColor(), qint16(9));
    QCOMPARE(clicks.count(), 0);
}

void TestClrSelectPopup::pressOutsideOnTheScreen()
{
    // A real press on the bare screen, outside every window of this program,
    // reaches the palette only through the X pointer grab.
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        QSKIP("xdotool is not installed");
    const QRect area = screenArea();
    Host host = makeHost(area.topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    host.control->setSelectedColor(9);
    QSignalSpy clicks(host.control, &ClrSelect::Click);
    OPEN_PALETTE(host);
    const QPoint far = area.bottomRight() - QPoint(10, 10);
    QCOMPARE(QProcess::execute(xdotool, {QStringLiteral("mousemove"), QString::number(far.x()),
                                         QString::number(far.y()), QStringLiteral("click"),
                                         QStringLiteral("1")}),
             0);
    QTRY_VERIFY(!host.control->isPopupVisible());
    QCOMPARE(host.control->selectedColor(), qint16(9));
    QCOMPARE(clicks.count(), 0);
}

void TestClrSelectPopup::pickWithTheRealPointer()
{
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        QSKIP("xdotool is not installed");
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    QSignalSpy clicks(host.control, &ClrSelect::Click);
    OPEN_PALETTE(host);
    const int y = 1 + (Chromel::toPixels(10 * 200) + Chromel::toPixels(11 * 200)) / 2;
    const QPoint target = host.popup->mapToGlobal(QPoint(36, y));
    QCOMPARE(QProcess::execute(xdotool, {QStringLiteral("mousemove"),
                                         QString::number(target.x()),
                                         QString::number(target.y()), QStringLiteral("click"),
                                         QStringLiteral("1")}),
             0);
    QTRY_COMPARE(clicks.count(), 1);
    QCOMPARE(host.control->selectedColor(), qint16(10));
    QVERIFY(!host.control->isPopupVisible());
}

void TestClrSelectPopup::rightOrMiddlePressInside_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("middle") << int(Qt::MiddleButton);
}

void TestClrSelectPopup::rightOrMiddlePressInside()
{
    QFETCH(int, button);
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    host.control->setSelectedColor(4);
    QSignalSpy clicks(host.control, &ClrSelect::Click);
    OPEN_PALETTE(host);
    QTest::mouseClick(host.popup, Qt::MouseButton(button), {}, QPoint(36, 100));
    QVERIFY(host.control->isPopupVisible());
    QCOMPARE(QWidget::mouseGrabber(), host.popup);
    QCOMPARE(host.control->selectedColor(), qint16(4));
    QCOMPARE(clicks.count(), 0);
    // Still picking afterwards.
    QTest::mouseClick(host.popup, Qt::LeftButton, {}, QPoint(36, 100));
    QCOMPARE(host.control->selectedColor(), qint16(7));
    QCOMPARE(clicks.count(), 1);
}

void TestClrSelectPopup::focusRectangle()
{
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    host.edit->setFocus();
    QTRY_VERIFY(host.edit->hasFocus());
    QCOMPARE(focusFramePixels(host.swatch), 0);

    host.swatch->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(host.swatch->hasFocus());
    QVERIFY(focusFramePixels(host.swatch) > 20);

    // Open: the focus stays on the swatch, the rectangle goes.
    QTest::keyClick(host.swatch, Qt::Key_Down, Qt::AltModifier);
    QVERIFY(host.control->isPopupVisible());
    QVERIFY(host.swatch->hasFocus());
    QCOMPARE(focusFramePixels(host.swatch), 0);

    // Picking closes the palette: the rectangle comes back round the new colour.
    QTest::mouseClick(host.popup, Qt::LeftButton, {}, QPoint(36, 208));
    QVERIFY(!host.control->isPopupVisible());
    QVERIFY(focusFramePixels(host.swatch) > 20);
    QCOMPARE(host.swatch->grab().toImage().pixelColor(28, 8), QColor(Qt::white));

    // Tab to the arrow button, then out of the control: no rectangle.
    QTest::keyClick(host.swatch, Qt::Key_Tab);
    QTRY_VERIFY(host.button->hasFocus());
    QCOMPARE(focusFramePixels(host.swatch), 0);
    QTest::keyClick(host.button, Qt::Key_Tab);
    QTRY_VERIFY(host.edit->hasFocus());
    QCOMPARE(focusFramePixels(host.swatch), 0);
}

void TestClrSelectPopup::exitFocusCloses()
{
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    QSignalSpy clicks(host.control, &ClrSelect::Click);
    OPEN_PALETTE(host);
    // Within the control the palette stays open.
    QTest::keyClick(host.swatch, Qt::Key_Tab);
    QTRY_VERIFY(host.button->hasFocus());
    QVERIFY(host.control->isPopupVisible());
    // Leaving the control closes it.
    QTest::keyClick(host.button, Qt::Key_Tab);
    QTRY_VERIFY(host.edit->hasFocus());
    QVERIFY(!host.control->isPopupVisible());
    QVERIFY(!QWidget::mouseGrabber());
    QCOMPARE(clicks.count(), 0);
}

void TestClrSelectPopup::hidingTheControlReleasesTheGrab()
{
    Host host = makeHost(screenArea().topLeft() + QPoint(100, 100));
    QVERIFY(host.ready);
    OPEN_PALETTE(host);
    host.window->hide();
    QVERIFY(!host.control->isPopupVisible());
    QVERIFY(!QWidget::mouseGrabber());
}

QTEST_MAIN(TestClrSelectPopup)
#include "tst_clrselectpopup.moc"
