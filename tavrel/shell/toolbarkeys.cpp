#include "shell/toolbarkeys.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QToolBar>

ToolbarKeys::ToolbarKeys(QToolBar &toolbar, QWidget &fallback)
    : m_toolbar(toolbar)
    , m_fallback(fallback)
{
    // F6 is the desktop's key for the next pane; it takes nothing from the pad.
    m_focusAction = new QAction(QStringLiteral("Toolbar"), this);
    m_focusAction->setObjectName(QStringLiteral("ToolbarFocus"));
    m_focusAction->setShortcuts({QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)});
    m_focusAction->setShortcutContext(Qt::WindowShortcut);
    connect(m_focusAction, &QAction::triggered, this, [this] { hasFocus() ? leave() : enter(); });
    toolbar.window()->addAction(m_focusAction);
    // Every button, the hidden and the disabled ones too: they may come back.
    const QList<QAction *> actions = toolbar.actions();
    for (QAction *action : actions) {
        if (QWidget *button = qobject_cast<QAbstractButton *>(toolbar.widgetForAction(action)))
            button->installEventFilter(this);
    }
}

bool ToolbarKeys::hasFocus() const
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && m_toolbar.isAncestorOf(focus);
}

QList<QAbstractButton *> ToolbarKeys::buttons() const
{
    // In the order they stand; the swatch between them is no button.
    QList<QAbstractButton *> list;
    const QList<QAction *> actions = m_toolbar.actions();
    for (QAction *action : actions) {
        auto *button = qobject_cast<QAbstractButton *>(m_toolbar.widgetForAction(action));
        if (button && button->isVisibleTo(&m_toolbar) && button->isEnabled())
            list << button;
    }
    return list;
}

void ToolbarKeys::enter()
{
    const QList<QAbstractButton *> list = buttons();
    if (list.isEmpty())
        return;
    QWidget *focus = QApplication::focusWidget();
    m_returnTo = focus && focus->window() == m_toolbar.window() ? focus : nullptr;
    focusButton(list.contains(m_last) ? m_last.data() : list.first());
}

void ToolbarKeys::leave()
{
    QWidget *target = m_returnTo && m_returnTo->isVisible() && m_returnTo->isEnabled()
                          ? m_returnTo.data()
                          : &m_fallback;
    target->setFocus(Qt::OtherFocusReason);
}

void ToolbarKeys::focusButton(QAbstractButton *button)
{
    m_last = button;
    // A button without focus policy still takes the focus when given it, and a
    // screen reader announces it by its name. Given by a key, the style draws the
    // focus frame on it.
    button->setFocus(Qt::ShortcutFocusReason);
}

bool ToolbarKeys::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QAbstractButton *>(watched);
    const bool release = event->type() == QEvent::KeyRelease;
    const bool key = release || event->type() == QEvent::KeyPress
                     || event->type() == QEvent::ShortcutOverride;
    if (!button || !key || !button->hasFocus())
        return QObject::eventFilter(watched, event);
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = keyEvent->modifiers() & ~Qt::KeypadModifier;
    const int code = keyEvent->key();
    const bool plain = modifiers == Qt::NoModifier;
    const bool pressing = plain
                          && (code == Qt::Key_Space || code == Qt::Key_Return
                              || code == Qt::Key_Enter);
    const bool ours = pressing
                      || (plain
                          && (code == Qt::Key_Left || code == Qt::Key_Right
                              || code == Qt::Key_Up || code == Qt::Key_Down
                              || code == Qt::Key_Home || code == Qt::Key_End
                              || code == Qt::Key_Escape))
                      || code == Qt::Key_Tab || code == Qt::Key_Backtab;
    if (!ours)
        return QObject::eventFilter(watched, event);
    if (release) {
        // The button is pressed when the key comes up, as a button is: a key held
        // down repeats here, not into the control that gets the focus back.
        if (!pressing || keyEvent->isAutoRepeat() || !button->isDown())
            return QObject::eventFilter(watched, event);
        button->setDown(false);
        // The command runs as after a click, with the focus where the user works.
        leave();
        button->click();
        return true;
    }
    // Claimed before any shortcut or the window's default button sees them.
    event->accept();
    if (event->type() == QEvent::ShortcutOverride)
        return true;

    const QList<QAbstractButton *> list = buttons();
    // A button that has just been disabled counts as the first.
    const qsizetype at = qMax<qsizetype>(0, list.indexOf(button));
    if (list.isEmpty()) {
        leave();
        return true;
    }
    switch (code) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        focusButton(list.at((at + list.size() - 1) % list.size()));
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        focusButton(list.at((at + 1) % list.size()));
        break;
    case Qt::Key_Home:
        focusButton(list.first());
        break;
    case Qt::Key_End:
        focusButton(list.last());
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!keyEvent->isAutoRepeat())
            button->setDown(true);
        break;
    default:
        leave();
        break;
    }
    return true;
}
