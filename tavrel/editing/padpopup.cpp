#include "editing/padpopup.h"

#include "platform/richtextpad.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

PadPopUp::PadPopUp(RichTextPad &pad, QMenu &menu, QObject *parent)
    : QObject(parent)
    , m_pad(pad)
    , m_menu(menu)
{
    connect(&m_pad, &RichTextPad::mouseMoved, this, &PadPopUp::sayText_MouseMove);
    m_pad.installEventFilter(this);
    m_pad.viewport()->installEventFilter(this);
}

void PadPopUp::sayText_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift,
                                 const QPointF &position)
{
    Q_UNUSED(shift);
    if (!(buttons & Qt::RightButton))
        m_waitForRelease = false;
    // The right button alone: not while selecting with the left one.
    if (buttons != Qt::RightButton || m_waitForRelease)
        return;
    popUp(m_pad.viewport()->mapToGlobal(position.toPoint()));
}

void PadPopUp::popUpAtCaret()
{
    const QRect caret = m_pad.cursorRect();
    popUp(m_pad.viewport()->mapToGlobal(caret.bottomLeft()));
}

void PadPopUp::popUp(const QPoint &global)
{
    if (m_menu.isVisible())
        return;
    m_menu.exec(global);
    m_waitForRelease = true;
}

bool PadPopUp::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // A new press of the right button means it was let go since.
        if (watched == m_pad.viewport()
            && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
            m_waitForRelease = false;
        break;
    case QEvent::KeyPress:
        if (watched == &m_pad) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
            if ((key->key() == Qt::Key_Menu && modifiers == Qt::NoModifier)
                || (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
                popUpAtCaret();
                return true;
            }
        }
        break;
    case QEvent::ContextMenu:
        // The platform's own request: from the keyboard it opens the menu at the
        // caret; from a click it does nothing, since only a drag opens the menu.
        if (static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard)
            popUpAtCaret();
        return true;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
