#include "platform/padaccessible.h"

#include "platform/richtextpad.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QString rgb(const QBrush &brush)
{
    const QColor c = brush.color();
    return QStringLiteral("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

// A value of the attribute list, where ':', ';', ',', '=', '"' and '\' are escaped.
QString quoted(QString value)
{
    for (const QChar special : {u'\\', u':', u';', u',', u'=', u'"'})
        value.replace(special, QStringLiteral("\\") + special);
    return u'"' + value + u'"';
}

} // namespace

PadAccessible::PadAccessible(RichTextPad *pad)
    : QAccessibleWidget(pad, QAccessible::EditableText)
{
}

RichTextPad *PadAccessible::pad() const
{
    return static_cast<RichTextPad *>(widget());
}

QTextCursor PadAccessible::range(int start, int end) const
{
    QTextCursor cursor(pad()->document());
    const int last = characterCount();
    cursor.setPosition(qBound(0, start, last));
    cursor.setPosition(qBound(0, end, last), QTextCursor::KeepAnchor);
    return cursor;
}

QString PadAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return pad()->toPlainText();
    return QAccessibleWidget::text(t);
}

void PadAccessible::setText(QAccessible::Text t, const QString &text)
{
    if (t != QAccessible::Value)
        QAccessibleWidget::setText(t, text);
    else if (!pad()->isReadOnly())
        pad()->setText(text);
}

QAccessible::State PadAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.selectableText = true;
    s.multiLine = true;
    s.readOnly = pad()->isReadOnly();
    s.editable = !s.readOnly;
    return s;
}

void *PadAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

void PadAccessible::selection(int index, int *start, int *end) const
{
    const QTextCursor cursor = pad()->textCursor();
    const bool has = index == 0 && cursor.hasSelection();
    *start = has ? cursor.selectionStart() : 0;
    *end = has ? cursor.selectionEnd() : 0;
}

int PadAccessible::selectionCount() const
{
    return pad()->textCursor().hasSelection() ? 1 : 0;
}

void PadAccessible::addSelection(int start, int end)
{
    setSelection(0, start, end);
}

void PadAccessible::removeSelection(int index)
{
    if (index != 0)
        return;
    QTextCursor cursor = pad()->textCursor();
    cursor.clearSelection();
    pad()->setTextCursor(cursor);
}

void PadAccessible::setSelection(int index, int start, int end)
{
    if (index == 0)
        pad()->setTextCursor(range(start, end));
}

int PadAccessible::cursorPosition() const
{
    return pad()->currentPosition();
}

void PadAccessible::setCursorPosition(int position)
{
    pad()->setTextCursor(range(position, position));
}

QString PadAccessible::text(int start, int end) const
{
    return range(start, end).selectedText().replace(QChar::ParagraphSeparator, u'\n');
}

QPair<int, int> PadAccessible::unitAt(int offset, QAccessible::TextBoundaryType type) const
{
    return QAccessible::qAccessibleTextBoundaryHelper(range(offset, offset), type);
}

QString PadAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType type,
                                        int *start, int *end) const
{
    std::tie(*start, *end) = unitAt(unitAt(offset, type).first - 1, type);
    return text(*start, *end);
}

QString PadAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType type,
                                       int *start, int *end) const
{
    std::tie(*start, *end) = unitAt(unitAt(offset, type).second, type);
    return text(*start, *end);
}

QString PadAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType type,
                                    int *start, int *end) const
{
    std::tie(*start, *end) = unitAt(offset, type);
    return text(*start, *end);
}

int PadAccessible::characterCount() const
{
    return pad()->document()->characterCount() - 1;
}

QRect PadAccessible::characterRect(int offset) const
{
    if (offset < 0 || offset >= characterCount())
        return {};
    const QTextCursor at = range(offset, offset);
    QRect r = pad()->cursorRect(at);
    // As wide as the layout places the next character further on the same line.
    const QRect next = pad()->cursorRect(range(offset + 1, offset + 1));
    const int width = next.top() == r.top() && next.left() > r.left()
                          ? next.left() - r.left()
                          : QFontMetrics(range(offset, offset + 1).charFormat().font())
                                .horizontalAdvance(text(offset, offset + 1));
    r.setWidth(qMax(1, width));
    return QRect(pad()->viewport()->mapToGlobal(r.topLeft()), r.size());
}

int PadAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint scrolled(pad()->horizontalScrollBar()->value(),
                          pad()->verticalScrollBar()->value());
    return pad()->document()->documentLayout()->hitTest(
        pad()->viewport()->mapFromGlobal(point) + scrolled, Qt::ExactHit);
}

void PadAccessible::scrollToSubstring(int start, int end)
{
    Q_UNUSED(end);
    pad()->showPosition(start);
}

QString PadAccessible::attributes(int offset, int *start, int *end) const
{
    // -2 asks for the caret, -1 for the end of the text.
    if (offset == -2)
        offset = cursorPosition();
    const int count = characterCount();
    if (offset == -1 || offset == count)
        offset = count - 1;
    if (offset < 0 || offset > count) {
        *start = *end = -1;
        return {};
    }
    const QTextBlock block = pad()->document()->findBlock(offset);
    *start = block.position();
    *end = block.position() + block.length();
    QTextCharFormat format = block.charFormat();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(offset)) {
            format = fragment.charFormat();
            *start = qMax(*start, fragment.position());
            *end = qMin(*end, fragment.position() + fragment.length());
            break;
        }
        *start = fragment.position() + fragment.length();
    }

    const QFont font = format.font();
    QStringList attrs;
    if (!font.family().isEmpty())
        attrs << QStringLiteral("font-family:") + quoted(font.family());
    if (font.pointSizeF() > 0)
        attrs << QStringLiteral("font-size:%1pt").arg(font.pointSizeF());
    attrs << QStringLiteral("font-weight:")
                 + QLatin1String(font.weight() > QFont::Normal ? "bold" : "normal");
    attrs << QStringLiteral("font-style:")
                 + QLatin1String(font.style() == QFont::StyleNormal ? "normal" : "italic");
    if (format.fontUnderline())
        attrs << QStringLiteral("text-underline-style:solid")
              << QStringLiteral("text-underline-type:single");
    if (format.fontStrikeOut())
        attrs << QStringLiteral("text-line-through-type:single");
    // The pad raises and lowers text by a baseline offset rather than by alignment.
    const auto raised = format.verticalAlignment();
    if (raised == QTextCharFormat::AlignSuperScript || format.baselineOffset() > 0)
        attrs << QStringLiteral("text-position:super");
    else if (raised == QTextCharFormat::AlignSubScript || format.baselineOffset() < 0)
        attrs << QStringLiteral("text-position:sub");
    else
        attrs << QStringLiteral("text-position:baseline");
    if (format.foreground().style() == Qt::SolidPattern)
        attrs << QStringLiteral("color:") + rgb(format.foreground());
    if (format.background().style() == Qt::SolidPattern)
        attrs << QStringLiteral("background-color:") + rgb(format.background());
    const Qt::Alignment align = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignRight)
        attrs << QStringLiteral("text-align:right");
    else if (align & Qt::AlignHCenter)
        attrs << QStringLiteral("text-align:center");
    else if (align & Qt::AlignJustify)
        attrs << QStringLiteral("text-align:justify");
    else
        attrs << QStringLiteral("text-align:left");
    return attrs.join(u';') + u';';
}

void PadAccessible::deleteText(int start, int end)
{
    range(start, end).removeSelectedText();
}

void PadAccessible::insertText(int offset, const QString &text)
{
    range(offset, offset).insertText(text);
}

void PadAccessible::replaceText(int start, int end, const QString &text)
{
    range(start, end).insertText(text);
}
