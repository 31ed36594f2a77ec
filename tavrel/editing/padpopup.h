#pragma once

#include <QObject>
#include <QPointF>

class QMenu;
class RichTextPad;

// Opens the pad's pop-up menu: where the pointer moves over the pad with the right
// button held, or at the caret on the context-menu key (Menu, Shift+F10). A right
// click without moving opens nothing. Once the menu has closed, it opens again only
// after the right button was let go, so that a drag still going on does not reopen
// it at once. The menu runs the chosen item before this returns.
class PadPopUp : public QObject
{
    Q_OBJECT

public:
    PadPopUp(RichTextPad &pad, QMenu &menu, QObject *parent = nullptr);

    // The pad's mouse-move notification: the buttons held, the shift state and the
    // pointer's place in the pad's viewport.
    void sayText_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift,
                           const QPointF &position);
    void popUpAtCaret();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void popUp(const QPoint &global);

    RichTextPad &m_pad;
    QMenu &m_menu;
    bool m_waitForRelease = false;
};
