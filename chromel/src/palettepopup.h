#pragma once

#include <QWidget>

namespace Chromel {

// The palette: a top-level tool window showing the 16 colours as bars stacked
// from index 0 at the top to 15 at the bottom. While open it holds the mouse
// grab, so it sees every press, also those outside it; the control decides what
// a press means through the two signals.
class PalettePopup : public QWidget
{
    Q_OBJECT

public:
    explicit PalettePopup(QWidget *control);

    QRect innerRect() const;
    // The row a press at `pos` (palette coordinates) picks, always 0..15 for a
    // press on the window, the border included.
    int rowAt(const QPointF &pos) const;
    // The row's colour bar, in palette coordinates.
    QRect rowRect(int row) const;

signals:
    void pressedOutside();
    void rowPicked(int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace Chromel
