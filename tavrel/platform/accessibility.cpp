#include "platform/accessibility.h"

#include "platform/padaccessible.h"
#include "platform/richtextpad.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSet>
#include <QToolButton>

namespace {

class ComboBoxAccessible : public QAccessibleWidget
{
public:
    explicit ComboBoxAccessible(QComboBox *combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
    }

    int childCount() const override { return comboBox()->isEditable() ? 2 : 1; }

    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(comboBox()->view());
        if (index == 1 && comboBox()->isEditable())
            return QAccessible::queryAccessibleInterface(comboBox()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        if (child->object() == comboBox()->view())
            return 0;
        if (comboBox()->isEditable() && child->object() == comboBox()->lineEdit())
            return 1;
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QLineEdit *edit = comboBox()->lineEdit();
        if (edit && edit->isVisible()
            && QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y))
            return child(1);
        return nullptr;
    }

    QAccessibleInterface *focusChild() const override
    {
        // The combo box is the focus proxy of its edit field, which so never has the
        // focus itself; a screen reader follows the caret there.
        return comboBox()->isEditable() ? child(1) : nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        const QString value = comboBox()->isEditable() ? comboBox()->lineEdit()->text()
                                                       : comboBox()->currentText();
        if (t == QAccessible::Value)
            return value;
        const QString own = QAccessibleWidget::text(t);
        // Unlabelled, a combo box is known by its text, as Qt has it.
        return t == QAccessible::Name && own.isEmpty() ? value : own;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = comboBox()->view()->isVisible();
        s.editable = comboBox()->isEditable();
        return s;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

    void doAction(const QString &actionName) override
    {
        if (actionName != showMenuAction() && actionName != pressAction())
            return;
        if (comboBox()->view()->isVisible())
            comboBox()->hidePopup();
        else
            comboBox()->showPopup();
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QComboBox *comboBox() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QComboBox")) {
        if (auto *combo = qobject_cast<QComboBox *>(object))
            return new ComboBoxAccessible(combo);
    }
    // The pad tells its own current position: the word read aloud, or the caret.
    if (className == QLatin1String("RichTextPad")) {
        if (auto *pad = qobject_cast<RichTextPad *>(object))
            return new PadAccessible(pad);
    }
    // A plain frame holds other controls; Qt calls it a border, which a screen reader
    // announces as a window of its own.
    if (className == QLatin1String("QFrame")) {
        auto *frame = static_cast<QWidget *>(object);
        if (!frame->isWindow() && object->metaObject() == &QFrame::staticMetaObject)
            return new QAccessibleWidget(frame, QAccessible::Pane);
    }
    // The handle between two panes, which Qt leaves without a role.
    if (className == QLatin1String("QSplitterHandle"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Separator);
    // Reached only by widgets no more derived class has an interface for.
    if (className == QLatin1String("QWidget")) {
        auto *widget = static_cast<QWidget *>(object);
        if (widget->isWindow())
            return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

} // namespace

namespace Accessibility {

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void nameUnnamed(QWidget *root)
{
    // A control that a label names keeps that name.
    QSet<const QWidget *> labelled;
    for (const QLabel *label : root->window()->findChildren<QLabel *>())
        labelled.insert(label->buddy());
    for (QScrollBar *bar : root->findChildren<QScrollBar *>()) {
        if (bar->accessibleName().isEmpty() && !labelled.contains(bar)) {
            bar->setAccessibleName(bar->orientation() == Qt::Vertical
                                       ? QStringLiteral("Vertical scroll bar")
                                       : QStringLiteral("Horizontal scroll bar"));
        }
    }
    for (QToolButton *button : root->findChildren<QToolButton *>()) {
        if (!button->accessibleName().isEmpty() || !button->text().isEmpty())
            continue;
        if (!button->toolTip().isEmpty())
            button->setAccessibleName(button->toolTip());
        else if (qobject_cast<QLineEdit *>(button->parentWidget()))
            button->setAccessibleName(QStringLiteral("Clear"));
        // Qt's button for the tools that do not fit a narrow tool bar.
        else if (button->objectName() == QLatin1String("qt_toolbar_ext_button"))
            button->setAccessibleName(QStringLiteral("More tools"));
    }
}

} // namespace Accessibility
