#pragma once

#include <QAccessibleWidget>

class QTextCursor;
class RichTextPad;

// The pad as a screen reader meets it: an editable, multi-line text. Its caret is
// the text's current position, which is the pad's own idea of it: the word being
// read aloud while that is what moved last, else the user's caret (which reading
// never moves). Text, selection, geometry and formatting are the pad's document.
// Offsets are document positions, a picture counting as one character.
class PadAccessible : public QAccessibleWidget,
                      public QAccessibleTextInterface,
                      public QAccessibleEditableTextInterface
{
public:
    explicit PadAccessible(RichTextPad *pad);

    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString &text) override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    void selection(int index, int *start, int *end) const override;
    int selectionCount() const override;
    void addSelection(int start, int end) override;
    void removeSelection(int index) override;
    void setSelection(int index, int start, int end) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int start, int end) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *start,
                             int *end) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *start,
                            int *end) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *start,
                         int *end) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int start, int end) override;
    QString attributes(int offset, int *start, int *end) const override;

    void deleteText(int start, int end) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int start, int end, const QString &text) override;

private:
    RichTextPad *pad() const;
    // A cursor over [start, end) of the document, both clamped to it.
    QTextCursor range(int start, int end) const;
    // The boundaries of the text unit of `type` around the offset.
    QPair<int, int> unitAt(int offset, QAccessible::TextBoundaryType type) const;
};
