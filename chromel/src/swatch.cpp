#include "swatch.h"

#include "metrics.h"

#include <chromel/palette.h>

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace Chromel {

Swatch::Swatch(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("picSelection"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setColorIndex(0);
}

void Swatch::setColorIndex(int index)
{
    m_color = paletteColor(index);
    // A screen reader announces the swatch by the colour it shows.
    setAccessibleName(paletteColorName(index));
    update();
}

void Swatch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette pal = palette();
    painter.fillRect(rect(), pal.color(QPalette::Base));
    painter.setPen(pal.color(QPalette::Text));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const QRect inner = rect().adjusted(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth);
    painter.translate(inner.topLeft());

    const bool popupOpen = m_popup && m_popup->isVisible();
    if (hasFocus() && !popupOpen) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = swatchFocusRect(inner.size());
        option.backgroundColor = pal.color(QPalette::Base);
        // Shown whenever the swatch has the focus, however it got there; some
        // styles would draw it only after keyboard navigation.
        option.state |= QStyle::State_KeyboardFocusChange | QStyle::State_HasFocus;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
    painter.fillRect(swatchColourRect(inner.size()), m_color);
}

void Swatch::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void Swatch::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void Swatch::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void Swatch::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        event->accept();
        if (rect().contains(event->position().toPoint()))
            emit clicked();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace Chromel
