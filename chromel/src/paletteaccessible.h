#pragma once

#include <QAccessibleWidget>

namespace Chromel {

class PalettePopup;

// Lets a screen reader see the palette as a list of 16 items named after their
// colours, and press one of them. The same factory makes the swatch a drop-down
// list named by its colour, which opens the palette.
class PaletteAccessible : public QAccessibleWidget
{
public:
    explicit PaletteAccessible(PalettePopup *popup);
    ~PaletteAccessible() override;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

    PalettePopup *popup() const;

    // Installs the factory that gives every palette this interface and every
    // swatch its own; idempotent.
    static void install();

private:
    mutable QAccessible::Id m_rows[16] = {};
};

} // namespace Chromel
