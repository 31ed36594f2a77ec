#include "platform/padview.h"

#include "platform/padlayout.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// Characters looked at around the caret to find the next grapheme or word.
constexpr int kGraphemeWindow = 32;
constexpr int kWordWindow = 256;

QString textBetween(QTextDocument *document, int from, int to)
{
    QTextCursor range(document);
    range.setPosition(from);
    range.setPosition(to, QTextCursor::KeepAnchor);
    return range.selectedText();
}

} // namespace

PadView::PadView(QTextEdit *pad, PadLayout *layout)
    : QObject(pad)
    , m_pad(pad)
    , m_layout(layout)
{
    pad->installEventFilter(this);
    pad->viewport()->installEventFilter(this);
    connect(pad->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            &PadView::onScrollAction);
    // An edit moves the text by its own right; only laying out does not.
    connect(pad->document(), &QTextDocument::contentsChange, this,
            [this] { m_anchor = Anchor(); });
    // The text control shows the caret through QTextEdit; the caret's rectangle in a
    // paragraph laid out in pieces is this layout's to give. The connection is made
    // by name, as QTextEdit makes it; without it the view only scrolls less well.
    for (QObject *child : pad->children()) {
        if (qstrcmp(child->metaObject()->className(), "QWidgetTextControl") != 0)
            continue;
        if (QObject::disconnect(child, SIGNAL(visibilityRequest(QRectF)), pad,
                                SLOT(_q_ensureVisible(QRectF)))) {
            QObject::connect(child, SIGNAL(visibilityRequest(QRectF)), this,
                             SLOT(ensureVisible(QRectF)));
        }
    }
}

bool PadView::inLongParagraph(int position) const
{
    return m_layout->hasLongParagraphs()
        && m_layout->isLongParagraph(m_pad->document()->findBlock(position));
}

PadView::Anchor PadView::anchorNow() const
{
    Anchor anchor;
    anchor.value = m_pad->verticalScrollBar()->value();
    anchor.position = m_layout->hitTest(QPointF(0, anchor.value), Qt::FuzzyHit);
    anchor.top = m_layout->topOf(anchor.position);
    return anchor;
}

int PadView::keepAnchor(const Anchor &anchor, bool resizeBars)
{
    QScrollBar *bar = m_pad->verticalScrollBar();
    if (anchor.position < 0 || anchor.value != bar->value()
        || anchor.position >= m_pad->document()->characterCount())
        return 0;
    const int shift = qRound(m_layout->topOf(anchor.position) - anchor.top);
    if (shift == 0)
        return 0;
    // The scroll bars take the corrected size, then the view moves with its text;
    // the moved text is drawn anew, not scrolled on screen.
    const int value = bar->value();
    if (resizeBars)
        emit m_layout->documentSizeChanged(m_layout->documentSize());
    {
        const QSignalBlocker blocker(bar);
        bar->setValue(value + shift);
    }
    m_pad->viewport()->update();
    if (&anchor == &m_anchor)
        takeAnchor();
    return bar->value() - value;
}

void PadView::onScrollAction(int action)
{
    Q_UNUSED(action);
    QScrollBar *bar = m_pad->verticalScrollBar();
    int from = bar->value();
    int to = bar->sliderPosition();
    // Paragraphs laid out since the view was last taken (the caret going a page up)
    // moved the text on view: the view takes it along before it scrolls.
    const int followed = followAnchor();
    from += followed;
    to += followed;
    bool moved = followed != 0;
    m_anchor = Anchor();
    const int height = m_pad->viewport()->height();
    const bool toEnd = to >= bar->maximum();
    // A step keeps the text on view where it was, moved by the step; a jump lays out
    // only where it lands.
    const bool step = qAbs(to - from) <= 2 * height;
    const int anchor = step ? m_layout->hitTest(QPointF(0, from), Qt::FuzzyHit) : 0;
    const qreal anchorTop = step ? m_layout->topOf(anchor) : 0;
    const QSizeF before = m_layout->documentSize();
    if (step)
        m_layout->layOutAround(anchor, qMax(0, from - to) + height, qMax(0, to - from) + 2 * height);
    else
        m_layout->layOutRange(to - height, to + 2 * height);
    const qreal shift = step ? m_layout->topOf(anchor) - anchorTop : 0;
    if (m_layout->documentSize() != before) {
        // The scroll bars take the corrected size first; that resets the slider.
        emit m_layout->documentSizeChanged(m_layout->documentSize());
        moved = true;
    }
    if (!moved)
        return;
    if (toEnd)
        bar->setSliderPosition(bar->maximum());
    else
        bar->setSliderPosition(to + qRound(shift));
    // What was drawn before has moved by the correction, not by the scroll.
    m_pad->viewport()->update();
}

void PadView::ensureVisible(const QRectF &requested)
{
    // Laying out paragraphs above the view since it was taken moved the text on view:
    // the view follows it first.
    followAnchor();
    QRectF wanted = requested;
    const int caret = m_pad->textCursor().position();
    const bool forCaret = inLongParagraph(caret)
        || qAbs(requested.top() - m_layout->cursorRect(caret).top()) < 0.5;
    if (forCaret) {
        // The paragraphs the view will show are laid out first: their corrected
        // heights move the caret's line, and the view must end up around it.
        const int height = m_pad->viewport()->height();
        takeAnchor();
        m_layout->layOutAround(caret, height, height);
        followAnchor();
        wanted = m_layout->cursorRect(caret).adjusted(-5, 0, 5, 0);
    }
    // As QTextEdit shows a rectangle.
    const QRect rect = wanted.toRect();
    QScrollBar *vbar = m_pad->verticalScrollBar();
    QScrollBar *hbar = m_pad->horizontalScrollBar();
    if ((vbar->isVisible() && vbar->maximum() < rect.bottom())
        || (hbar->isVisible() && hbar->maximum() < rect.right()))
        emit m_layout->documentSizeChanged(m_layout->documentSize());
    const int width = m_pad->viewport()->width();
    const int height = m_pad->viewport()->height();
    const bool rtl = m_pad->isRightToLeft();
    const int xOffset = rtl ? hbar->maximum() - hbar->value() : hbar->value();
    if (rect.x() < xOffset)
        hbar->setValue(rtl ? hbar->maximum() - rect.x() : rect.x());
    else if (rect.x() + rect.width() > xOffset + width)
        hbar->setValue(rtl ? hbar->maximum() - (rect.x() + rect.width() - width)
                           : rect.x() + rect.width() - width);
    if (rect.y() < vbar->value())
        vbar->setValue(rect.y());
    else if (rect.y() + rect.height() > vbar->value() + height)
        vbar->setValue(rect.y() + rect.height() - height);
    takeAnchor();
}

int PadView::step(int position, int direction, bool words) const
{
    QTextDocument *document = m_pad->document();
    const QTextBlock block = document->findBlock(position);
    const int start = block.position();
    const int end = block.position() + block.length() - 1;
    if (direction > 0 && position >= end)
        return qMin(position + 1, document->characterCount() - 1);
    if (direction < 0 && position <= start)
        return qMax(0, position - 1);
    const int window = words ? kWordWindow : kGraphemeWindow;
    const int from = qMax(start, position - window);
    const int to = qMin(end, position + window);
    const QString text = textBetween(document, from, to);
    QTextBoundaryFinder finder(words ? QTextBoundaryFinder::Word
                                     : QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(position - from);
    for (;;) {
        const qsizetype found = direction > 0 ? finder.toNextBoundary()
                                              : finder.toPreviousBoundary();
        if (found < 0)
            return direction > 0 ? to : from;
        // Words move to where a word begins, as the text control does.
        if (!words || (finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem)
            || found == 0 || found == text.size())
            return from + int(found);
    }
}

void PadView::moveTo(int position, bool keepAnchor, bool vertical)
{
    QTextCursor cursor = m_pad->textCursor();
    cursor.setPosition(qBound(0, position, m_pad->document()->characterCount() - 1),
                       keepAnchor ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    m_pad->setTextCursor(cursor);
    if (!vertical)
        m_stickyX = -1;
}

bool PadView::handleKey(QKeyEvent *event)
{
    QTextCursor cursor = m_pad->textCursor();
    const int position = cursor.position();
    struct Vertical
    {
        QKeySequence::StandardKey key;
        int direction;
        bool page;
        bool select;
    };
    static const Vertical verticals[] = {
        {QKeySequence::MoveToNextLine, 1, false, false},
        {QKeySequence::MoveToPreviousLine, -1, false, false},
        {QKeySequence::SelectNextLine, 1, false, true},
        {QKeySequence::SelectPreviousLine, -1, false, true},
        {QKeySequence::MoveToNextPage, 1, true, false},
        {QKeySequence::MoveToPreviousPage, -1, true, false},
        {QKeySequence::SelectNextPage, 1, true, true},
        {QKeySequence::SelectPreviousPage, -1, true, true},
    };
    // Up and down through a document with long paragraphs go by this layout's lines:
    // the text control's would stop at a paragraph's edge.
    if (m_layout->hasLongParagraphs()) {
        for (const Vertical &v : verticals) {
            if (!event->matches(v.key))
                continue;
            const QRectF caret = m_layout->cursorRect(position);
            const qreal x = m_stickyX >= 0 ? m_stickyX : caret.left();
            int target;
            if (v.page) {
                const int height = m_pad->viewport()->height();
                target = m_layout->hitTest(QPointF(x, caret.center().y() + v.direction * height),
                                           Qt::FuzzyHit);
                QScrollBar *bar = m_pad->verticalScrollBar();
                bar->setValue(bar->value() + v.direction * height);
            } else {
                target = m_layout->positionOnNextLine(position, x, v.direction);
            }
            if (target >= 0)
                moveTo(target, v.select, true);
            m_stickyX = x;
            return true;
        }
    }
    if (!inLongParagraph(position))
        return false;
    const bool readOnly = m_pad->isReadOnly();
    auto matches = [event](std::initializer_list<QKeySequence::StandardKey> keys) {
        for (const QKeySequence::StandardKey key : keys) {
            if (event->matches(key))
                return true;
        }
        return false;
    };
    const bool select = matches({QKeySequence::SelectNextChar, QKeySequence::SelectPreviousChar,
                                 QKeySequence::SelectNextWord, QKeySequence::SelectPreviousWord,
                                 QKeySequence::SelectStartOfLine, QKeySequence::SelectEndOfLine});
    if (matches({QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar})) {
        if (!select && cursor.hasSelection())
            moveTo(cursor.selectionEnd(), false);
        else
            moveTo(step(position, 1, false), select);
    } else if (matches({QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar})) {
        if (!select && cursor.hasSelection())
            moveTo(cursor.selectionStart(), false);
        else
            moveTo(step(position, -1, false), select);
    } else if (matches({QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord})) {
        moveTo(step(position, 1, true), select);
    } else if (matches({QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord})) {
        moveTo(step(position, -1, true), select);
    } else if (matches({QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine})) {
        moveTo(m_layout->lineBounds(position).first, select);
    } else if (matches({QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine})) {
        moveTo(m_layout->lineBounds(position).second, select);
    } else if (!readOnly && matches({QKeySequence::Delete, QKeySequence::DeleteEndOfWord,
                                     QKeySequence::DeleteStartOfWord})) {
        if (!cursor.hasSelection()) {
            if (event->matches(QKeySequence::DeleteStartOfWord))
                cursor.setPosition(step(position, -1, true), QTextCursor::KeepAnchor);
            else
                cursor.setPosition(step(position, 1, event->matches(QKeySequence::DeleteEndOfWord)),
                                   QTextCursor::KeepAnchor);
        }
        cursor.removeSelectedText();
        m_pad->setTextCursor(cursor);
        m_stickyX = -1;
    } else {
        return false;
    }
    return true;
}

bool PadView::selectWordAt(const QPointF &viewportPosition)
{
    const QPointF point = viewportPosition + QPointF(m_pad->horizontalScrollBar()->value(),
                                                     m_pad->verticalScrollBar()->value());
    const int position = m_layout->hitTest(point, Qt::FuzzyHit);
    if (!inLongParagraph(position))
        return false;
    const int start = step(position + 1, -1, true);
    QTextCursor cursor = m_pad->textCursor();
    cursor.setPosition(start);
    QTextDocument *document = m_pad->document();
    int end = start;
    const QTextBlock block = document->findBlock(start);
    const int limit = qMin(block.position() + block.length() - 1, start + kWordWindow);
    while (end < limit && document->characterAt(end).isLetterOrNumber())
        ++end;
    cursor.setPosition(qMax(end, position), QTextCursor::KeepAnchor);
    m_pad->setTextCursor(cursor);
    return true;
}

bool PadView::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_pad)
        return false;
    if (watched == m_pad && event->type() == QEvent::KeyPress) {
        followAnchor();
        takeAnchor();
        auto *key = static_cast<QKeyEvent *>(event);
        if (handleKey(key)) {
            key->accept();
            return true;
        }
        // The text control moves the caret by itself from here; the x kept for up and
        // down no longer holds.
        if (!key->text().isEmpty() || key->key() == Qt::Key_Left || key->key() == Qt::Key_Right
            || key->key() == Qt::Key_Home || key->key() == Qt::Key_End)
            m_stickyX = -1;
        return false;
    }
    if (watched == m_pad->viewport() && event->type() == QEvent::Paint) {
        // Paragraphs above the view laid out since it was taken (the text control
        // asking about them) moved the text on view; the view follows it, so what the
        // user looked at stays in place. The scroll bars follow from the event loop.
        followAnchor(false);
        takeAnchor();
        return false;
    }
    if (watched == m_pad->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && selectWordAt(mouse->position())) {
            mouse->accept();
            return true;
        }
    }
    if (watched == m_pad->viewport() && event->type() == QEvent::MouseButtonPress) {
        followAnchor();
        takeAnchor();
        m_stickyX = -1;
    }
    return false;
}
