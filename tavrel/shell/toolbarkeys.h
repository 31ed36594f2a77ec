#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAbstractButton;
class QAction;
class QToolBar;
class QWidget;

// The toolbar from the keyboard. Its buttons take no focus when clicked, so that
// the pad keeps the caret, and Tab passes them by. F6 (or Shift+F6) moves the
// focus onto a button; Left, Right, Up, Down, Home and End move along the
// buttons; Space or Enter, once let go, gives the focus back and presses the
// button, as a click would; Esc, F6 or Tab gives the focus back to the control
// that had it.
class ToolbarKeys : public QObject
{
    Q_OBJECT

public:
    // `fallback` takes the focus back when the control that had it is gone.
    ToolbarKeys(QToolBar &toolbar, QWidget &fallback);

    QAction *focusAction() const { return m_focusAction; }
    bool hasFocus() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QAbstractButton *> buttons() const;
    void enter();
    void leave();
    void focusButton(QAbstractButton *button);

    QToolBar &m_toolbar;
    QWidget &m_fallback;
    QAction *m_focusAction = nullptr;
    QPointer<QWidget> m_returnTo;
    QPointer<QAbstractButton> m_last;
};
