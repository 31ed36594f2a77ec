#include "paletteaccessible.h"

#include "palettepopup.h"
#include "swatch.h"

#include <chromel/palette.h>

#include <QPointer>

namespace Chromel {

namespace {

class PaletteRowAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    PaletteRowAccessible(PalettePopup *popup, int row) : m_popup(popup), m_row(row) {}

    bool isValid() const override { return !m_popup.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_popup ? m_popup->windowHandle() : nullptr; }

    QAccessibleInterface *parent() const override
    {
        return m_popup ? QAccessible::queryAccessibleInterface(m_popup.data()) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? paletteColorName(m_row) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!m_popup)
            return QRect();
        const QRect row = m_popup->rowRect(m_row);
        return QRect(m_popup->mapToGlobal(row.topLeft()), row.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        if (!m_popup || !m_popup->isVisible())
            state.invisible = true;
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        return nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction() && m_popup && m_popup->isVisible())
            emit m_popup->rowPicked(m_row);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<PalettePopup> m_popup;
    int m_row;
};

// The swatch is a drop-down list to a screen reader: it shows the chosen colour,
// by which it is named, and opens the palette.
class SwatchAccessible : public QAccessibleWidget
{
public:
    SwatchAccessible(Swatch *swatch, QWidget *popup)
        : QAccessibleWidget(swatch, QAccessible::ComboBox), m_popup(popup)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        return QAccessibleWidget::text(t == QAccessible::Value ? QAccessible::Name : t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = m_popup && m_popup->isVisible();
        return state;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString &actionName) override
    {
        if (actionName == showMenuAction() || actionName == pressAction())
            emit static_cast<Swatch *>(widget())->clicked();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<QWidget> m_popup;
};

QAccessibleInterface *paletteFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(PalettePopup::staticMetaObject.className())) {
        if (auto *popup = qobject_cast<PalettePopup *>(object))
            return new PaletteAccessible(popup);
    }
    if (className == QLatin1String(Swatch::staticMetaObject.className())) {
        if (auto *swatch = qobject_cast<Swatch *>(object))
            return new SwatchAccessible(swatch, swatch->popup());
    }
    return nullptr;
}

} // namespace

PaletteAccessible::PaletteAccessible(PalettePopup *popup)
    : QAccessibleWidget(popup, QAccessible::List)
{
}

PaletteAccessible::~PaletteAccessible()
{
    for (QAccessible::Id id : m_rows) {
        if (id)
            QAccessible::deleteAccessibleInterface(id);
    }
}

PalettePopup *PaletteAccessible::popup() const
{
    return static_cast<PalettePopup *>(widget());
}

int PaletteAccessible::childCount() const
{
    return PaletteSize;
}

QAccessibleInterface *PaletteAccessible::child(int index) const
{
    if (!isPaletteIndex(index))
        return nullptr;
    if (!m_rows[index]) {
        m_rows[index] =
            QAccessible::registerAccessibleInterface(new PaletteRowAccessible(popup(), index));
    }
    return QAccessible::accessibleInterface(m_rows[index]);
}

int PaletteAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (int row = 0; row < PaletteSize; ++row) {
        if (m_rows[row] && QAccessible::accessibleInterface(m_rows[row]) == child)
            return row;
    }
    return -1;
}

QAccessibleInterface *PaletteAccessible::childAt(int x, int y) const
{
    const QPoint local = popup()->mapFromGlobal(QPoint(x, y));
    if (!popup()->rect().contains(local))
        return nullptr;
    return child(popup()->rowAt(local));
}

void PaletteAccessible::install()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(paletteFactory);
        installed = true;
    }
}

} // namespace Chromel
