#pragma once

#include <QObject>
#include <QPointer>
#include <QRectF>

class PadLayout;
class QKeyEvent;
class QTextEdit;

// What the pad's view needs besides its layout when documents are large:
// - Scrolling keeps the text the user looks at in place. Laying out paragraphs
//   above the view corrects their estimated heights and would shift the text below;
//   a scroll by the scroll bar or the wheel moves by the distance asked for, in text.
// - In a paragraph laid out in pieces (see PadLayout) the caret moves, deletes and
//   selects words by itself, and the view follows the caret's real line: the text
//   control would ask the paragraph's own layout, which holds no lines, and laying
//   the whole paragraph out for it takes seconds.
class PadView : public QObject
{
    Q_OBJECT

public:
    PadView(QTextEdit *pad, PadLayout *layout);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    // The text control asks for a rectangle (the caret's, mostly) to be shown.
    void ensureVisible(const QRectF &rect);

private:
    // The text at the top of the view, by its position and the top of its paragraph,
    // and the scroll value it was taken at.
    struct Anchor
    {
        int position = -1;
        qreal top = 0;
        int value = 0;
    };
    Anchor anchorNow() const;
    // Keeps the anchor's text where it was on screen after heights above it changed;
    // returns by how much the view moved. A view scrolled since keeps its place.
    int keepAnchor(const Anchor &anchor, bool resizeBars = true);
    void takeAnchor() { m_anchor = anchorNow(); }
    int followAnchor(bool resizeBars = true) { return keepAnchor(m_anchor, resizeBars); }
    void onScrollAction(int action);
    bool handleKey(QKeyEvent *event);
    bool selectWordAt(const QPointF &viewportPosition);
    bool inLongParagraph(int position) const;
    // The next or previous grapheme or word boundary, looking only at the text
    // around the position.
    int step(int position, int direction, bool words) const;
    void moveTo(int position, bool keepAnchor, bool vertical = false);

    QPointer<QTextEdit> m_pad;
    PadLayout *m_layout;
    // The x the caret keeps while it moves up and down.
    qreal m_stickyX = -1;
    // What the user has on view: taken when it is drawn, when a key or a click comes
    // and when the view moves to the caret; forgotten when the text is edited.
    Anchor m_anchor;
};
