#pragma once

#include <chromel/chromelglobal.h>

#include <QWidget>

class QToolButton;

namespace Chromel {
class PalettePopup;
class Swatch;
}

// A compact drop-down picker of one of the 16 colours of the table in
// <chromel/palette.h>: a swatch showing the selected colour, an arrow button at its
// right end, and a palette of the 16 colours that opens below (or above) the control.
//
// Hosts need only two names, reached late-bound through the meta-object system:
// the 16-bit property SelectedColor (an index 0..15) and the signal Click, raised
// whenever the user has chosen a colour (with the palette or the Up and Down keys).
//
// The parts carry the object names picSelection (swatch), cmdPopup (arrow button)
// and picPopup (the palette, a top-level tool window owned by the control).
class CHROMEL_EXPORT ClrSelect : public QWidget
{
    Q_OBJECT
    // Not stored: every instance starts at 0 and the host sets another start value
    // in code.
    Q_PROPERTY(qint16 SelectedColor READ selectedColor WRITE setSelectedColor
                   STORED false DESIGNABLE false)

public:
    explicit ClrSelect(QWidget *parent = nullptr);
    ~ClrSelect() override;

    qint16 selectedColor() const;
    // A value outside 0..15 is ignored. Never raises Click.
    void setSelectedColor(qint16 index);

    bool isPopupVisible() const;
    void showPopup();
    void hidePopup();

    QSize sizeHint() const override;

signals:
    void Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void cmdPopupClick();
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);
    void pick(int index);
    void exitFocus();
    void layoutParts();
    void selectionChanged();

    qint16 m_selectedColor = 0;
    Chromel::Swatch *m_selection = nullptr;
    QToolButton *m_popupButton = nullptr;
    Chromel::PalettePopup *m_popup = nullptr;
};
