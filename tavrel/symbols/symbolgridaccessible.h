#pragma once

#include <QAccessible>
#include <QAccessibleWidget>

class SymbolGrid;

// Lets a screen reader see the symbol grid as a list of its 224 cells, each named by
// the character it inserts, follow the current cell and press one.
class SymbolGridAccessible : public QAccessibleWidget
{
public:
    explicit SymbolGridAccessible(SymbolGrid *grid);
    ~SymbolGridAccessible() override;

    // Installs the factory that gives every grid this interface; idempotent.
    static void install();

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

private:
    SymbolGrid *grid() const;

    mutable QList<QAccessible::Id> m_cells;
};
