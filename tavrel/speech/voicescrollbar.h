#pragma once

#include <QScrollBar>

// A horizontal scroll bar for the speed and pitch: its arrow keys go the way it
// looks (Right and Up raise the value, Left and Down lower it), and it shows
// when it has the keyboard focus.
class VoiceScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit VoiceScrollBar(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};
