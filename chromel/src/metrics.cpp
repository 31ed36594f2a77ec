#include "metrics.h"

#include <cmath>

namespace Chromel {

namespace {

constexpr int RowCount = 16;

// The painting pitch of the rows in whole twips (fraction dropped).
int paintedRowTwips(int innerHeight)
{
    return innerHeight * TwipsPerPixel / RowCount;
}

// A box given by two inclusive corners in twips, as a pixel rectangle.
QRect boxFromTwips(int left, int top, int right, int bottom)
{
    return QRect(QPoint(toPixels(left), toPixels(top)), QPoint(toPixels(right), toPixels(bottom)));
}

} // namespace

QPoint popupPosition(const QRect &control, const QSize &popup, const QRect &screen)
{
    const int controlRight = control.x() + control.width();
    const int controlBottom = control.y() + control.height();
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();

    // Below when the whole palette fits under the control, else above it. Above,
    // it never starts higher than the top of the screen: the top rows must stay
    // reachable even if the palette then covers the control.
    int top;
    if (screenBottom >= controlBottom + popup.height()) {
        top = controlBottom;
    } else {
        top = control.y() - popup.height();
        if (top < screen.y())
            top = screen.y();
    }

    int left;
    if (popup.width() >= control.width()) {
        left = control.x() < screen.x() ? screen.x() : control.x();
        if (left + popup.width() > screenRight)
            left = screenRight - popup.width();
    } else {
        // A palette narrower than the control lines up with its right edge.
        const int rightEdge = screenRight < controlRight ? screenRight : controlRight;
        left = rightEdge - popup.width();
        if (left < screen.x())
            left = screen.x();
    }
    return QPoint(left, top);
}

int paletteRowAt(qreal y, int innerHeight)
{
    if (innerHeight <= 0)
        return -1;
    const qreal pitch = qreal(innerHeight) * TwipsPerPixel / RowCount;
    return int(std::floor(y * TwipsPerPixel / pitch));
}

QRect paletteRowOutline(int row, const QSize &inner)
{
    const int h = paintedRowTwips(inner.height());
    const int w = inner.width() * TwipsPerPixel;
    const int px = TwipsPerPixel;
    return boxFromTwips(px, row * h + px, w - 2 * px, (row + 1) * h - px);
}

QRect paletteRowBar(int row, const QSize &inner)
{
    const int h = paintedRowTwips(inner.height());
    const int w = inner.width() * TwipsPerPixel;
    const int px = TwipsPerPixel;
    return boxFromTwips(2 * px, row * h + 2 * px, w - 3 * px, (row + 1) * h - 2 * px);
}

QRect swatchFocusRect(const QSize &inner)
{
    return QRect(QPoint(1, 1), QPoint(inner.width() - 2, inner.height() - 2));
}

QRect swatchColourRect(const QSize &inner)
{
    return QRect(QPoint(2, 2), QPoint(inner.width() - 3, inner.height() - 3));
}

} // namespace Chromel
