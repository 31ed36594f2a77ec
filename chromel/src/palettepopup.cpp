#include "palettepopup.h"

#include "metrics.h"

#include <chromel/palette.h>

#include <QMouseEvent>
#include <QPainter>

namespace Chromel {

PalettePopup::PalettePopup(QWidget *control)
    : QWidget(control, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
                           | Qt::X11BypassWindowManagerHint)
{
    setObjectName(QStringLiteral("picPopup"));
    // The keyboard stays with the control while the palette is open.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(ButtonWidth, PaletteHeight);
}

QRect PalettePopup::innerRect() const
{
    return rect().adjusted(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth);
}

int PalettePopup::rowAt(const QPointF &pos) const
{
    const QRect inner = innerRect();
    // A press on the border above the first row or below the last one, or in
    // the few pixels below the painted rows, belongs to the nearest row.
    return qBound(0, paletteRowAt(pos.y() - inner.y(), inner.height()), PaletteSize - 1);
}

QRect PalettePopup::rowRect(int row) const
{
    const QRect inner = innerRect();
    return paletteRowBar(row, inner.size()).translated(inner.topLeft());
}

void PalettePopup::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette pal = palette();
    painter.fillRect(rect(), pal.color(QPalette::Base));
    painter.setPen(pal.color(QPalette::Text));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const QRect inner = innerRect();
    painter.translate(inner.topLeft());
    // The current selection is not marked: all rows look alike.
    const QColor outline = paletteColor(0);
    for (int row = 0; row < PaletteSize; ++row) {
        const QRect box = paletteRowOutline(row, inner.size());
        painter.fillRect(QRect(box.left(), box.top(), box.width(), 1), outline);
        painter.fillRect(QRect(box.left(), box.bottom(), box.width(), 1), outline);
        painter.fillRect(QRect(box.left(), box.top(), 1, box.height()), outline);
        painter.fillRect(QRect(box.right(), box.top(), 1, box.height()), outline);
        painter.fillRect(paletteRowBar(row, inner.size()), paletteColor(row));
    }
}

void PalettePopup::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    // With the grab, presses anywhere on the screen arrive here.
    const QPointF pos = event->position();
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= width() || pos.y() >= height()) {
        emit pressedOutside();
        return;
    }
    // Only the left button picks; a right or middle press leaves the palette
    // open.
    if (event->button() == Qt::LeftButton)
        emit rowPicked(rowAt(pos));
}

} // namespace Chromel
