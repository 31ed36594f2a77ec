#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

namespace Chromel {

// The swatch: the selected colour as a block inside a flat border, with the
// focus rectangle around the block while the swatch has the keyboard focus and
// the palette is closed.
class Swatch : public QWidget
{
    Q_OBJECT

public:
    explicit Swatch(QWidget *parent);

    // The palette; whether it is open is read from its visibility.
    void setPopup(QWidget *popup) { m_popup = popup; }

    void setColorIndex(int index);
    QWidget *popup() const { return m_popup; }
    QColor color() const { return m_color; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPointer<QWidget> m_popup;
    QColor m_color;
    bool m_pressed = false;
};

} // namespace Chromel
