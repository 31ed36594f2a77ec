#pragma once

#include "platform/messageboxes.h"

class QWidget;

// Message boxes shown with QMessageBox, modal to the given window.
class QtMessageBoxes : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget *parent);
    Answer show(const QString &text, const QString &title, Buttons buttons,
                Icon icon) override;

private:
    QWidget *m_parent;
};
