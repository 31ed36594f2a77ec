#include "symbols/symbolgridaccessible.h"

#include "symbols/symbolgrid.h"

#include <QPointer>

namespace {

class CellAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    CellAccessible(SymbolGrid *grid, int index) : m_grid(grid), m_index(index) {}

    bool isValid() const override { return !m_grid.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        return m_grid ? m_grid->window()->windowHandle() : nullptr;
    }

    QAccessibleInterface *parent() const override
    {
        return m_grid ? QAccessible::queryAccessibleInterface(m_grid.data()) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !m_grid)
            return QString();
        // What the cell inserts, which a symbol font draws as another glyph.
        const QString character = m_grid->cell(m_index).inserted;
        if (character.isEmpty())
            return QStringLiteral("Blank");
        return character.trimmed().isEmpty() ? QStringLiteral("Space") : character;
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!m_grid)
            return QRect();
        const QRect cell = m_grid->cellRect(m_index);
        return QRect(m_grid->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!m_grid || !m_grid->isVisible()) {
            state.invisible = true;
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        const bool current = m_grid->currentCell() == m_index;
        state.selected = current;
        state.focused = current && m_grid->hasFocus();
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
            ? static_cast<QAccessibleActionInterface *>(this)
            : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &actionName) override
    {
        // As a click on the cell: a blank one inserts nothing.
        if (actionName == pressAction() && m_grid)
            emit m_grid->clicked(m_index);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<SymbolGrid> m_grid;
    int m_index;
};

QAccessibleInterface *gridFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(SymbolGrid::staticMetaObject.className())) {
        if (auto *grid = qobject_cast<SymbolGrid *>(object))
            return new SymbolGridAccessible(grid);
    }
    return nullptr;
}

} // namespace

SymbolGridAccessible::SymbolGridAccessible(SymbolGrid *grid)
    : QAccessibleWidget(grid, QAccessible::List)
    , m_cells(SymbolGrid::kCount, 0)
{
}

SymbolGridAccessible::~SymbolGridAccessible()
{
    for (QAccessible::Id id : std::as_const(m_cells)) {
        if (id)
            QAccessible::deleteAccessibleInterface(id);
    }
}

void SymbolGridAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(gridFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

SymbolGrid *SymbolGridAccessible::grid() const
{
    return static_cast<SymbolGrid *>(widget());
}

int SymbolGridAccessible::childCount() const
{
    return SymbolGrid::kCount;
}

QAccessibleInterface *SymbolGridAccessible::child(int index) const
{
    if (index < 0 || index >= SymbolGrid::kCount)
        return nullptr;
    if (!m_cells[index]) {
        m_cells[index] =
            QAccessible::registerAccessibleInterface(new CellAccessible(grid(), index));
    }
    return QAccessible::accessibleInterface(m_cells[index]);
}

int SymbolGridAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (int index = 0; index < SymbolGrid::kCount; ++index) {
        if (m_cells[index] && QAccessible::accessibleInterface(m_cells[index]) == child)
            return index;
    }
    return -1;
}

QAccessibleInterface *SymbolGridAccessible::childAt(int x, int y) const
{
    const int index = grid()->cellAt(grid()->mapFromGlobal(QPoint(x, y)));
    return index < 0 ? nullptr : child(index);
}

QAccessibleInterface *SymbolGridAccessible::focusChild() const
{
    return grid()->hasFocus() ? child(grid()->currentCell()) : nullptr;
}
