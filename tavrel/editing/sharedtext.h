#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// A long text held in pieces that copies share. Copying costs next to nothing, and
// changing one copy duplicates only the few pieces the change touches, so a history
// can keep many versions of a large document for little more than one copy of it.
//
// The pieces (about a thousand characters each) are grouped in pages; a copy shares
// the list of pages, a change detaches that list, the one page and the one piece it
// touches.
class SharedText
{
public:
    SharedText() = default;
    // Intentionally implicit: a SharedText is a text, only held differently.
    SharedText(const QString &text);
    SharedText(const char16_t *text) : SharedText(QString::fromUtf16(text)) { }

    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    QString toString() const;
    QString mid(qsizetype position, qsizetype length) const;
    QChar at(qsizetype position) const;

    // Replaces `length` characters from `position` by `after`; the range is clamped
    // to the text.
    void replace(qsizetype position, qsizetype length, QStringView after);

    // True when both hold the same pieces (a copy not changed since): no character
    // needs comparing.
    bool isSharedWith(const SharedText &other) const;

    friend bool operator==(const SharedText &a, const SharedText &b);
    friend bool operator!=(const SharedText &a, const SharedText &b) { return !(a == b); }

    // Heap bytes held by the given texts together, each shared piece and page list
    // counted once.
    static qsizetype heldBytes(const QList<SharedText> &texts);

private:
    using Page = QList<QString>;

    struct Place {
        qsizetype page = 0;
        qsizetype piece = 0;
        qsizetype offset = 0;
    };
    // The piece holding `position`; at a boundary between two pieces the earlier
    // piece is chosen (its end), so that typing at the end of a piece extends it.
    Place locate(qsizetype position) const;
    void setPieces(qsizetype page, qsizetype firstPiece, qsizetype pieceCount,
                   QStringView text);
    void splitPage(qsizetype page);
    void mergePages(qsizetype page);

    QList<Page> m_pages;
    QList<qsizetype> m_pageSizes;
    qsizetype m_size = 0;
};
