#include "speech/voicescrollbar.h"

#include <QPainter>

VoiceScrollBar::VoiceScrollBar(QWidget *parent)
    : QScrollBar(Qt::Horizontal, parent)
{
    // A scroll bar inverts its keys so that Down moves a vertical one down, to
    // larger values; on a horizontal bar that made Right and Up lower the value.
    setInvertedControls(false);
    setFocusPolicy(Qt::StrongFocus);
}

void VoiceScrollBar::paintEvent(QPaintEvent *event)
{
    QScrollBar::paintEvent(event);
    // The style draws no focus on a scroll bar: its outline takes the colour that
    // marks the focus in the other controls.
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void VoiceScrollBar::focusInEvent(QFocusEvent *event)
{
    QScrollBar::focusInEvent(event);
    // The bar repaints only the parts that change; the outline goes all round.
    update();
}

void VoiceScrollBar::focusOutEvent(QFocusEvent *event)
{
    QScrollBar::focusOutEvent(event);
    update();
}
