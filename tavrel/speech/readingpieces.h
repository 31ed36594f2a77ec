#pragma once

#include <QTextCursor>

#include <deque>
#include <memory>
#include <optional>

class ReadingPlace;
class RichTextPad;
class SpeechSynth;

// One reading of a range of the pad, handed to the synthesiser a piece at a time so
// that a book is never copied whole: a piece is taken from the document only when
// the synthesiser is about to need it, a few pieces ahead of what is heard. Pieces
// end after a paragraph or a sentence where one is near. The rest of the range
// follows the edits made while reading, so a later piece reads the text as it is
// then.
class ReadingPieces
{
public:
    // At most this many characters go over in one piece.
    static constexpr int kPieceChars = 16384;
    // Pieces queued in the synthesiser beyond the one heard.
    static constexpr int kPiecesAhead = 2;

    // Hands over the first pieces of document range [start, end); an empty range
    // still goes over as one empty text.
    ReadingPieces(SpeechSynth &synth, RichTextPad &pad, int start, int end);
    ~ReadingPieces();
    ReadingPieces(const ReadingPieces &) = delete;
    ReadingPieces &operator=(const ReadingPieces &) = delete;

    // The document position of character `offset` of text `textId` now: nothing
    // when the text is none of this reading's, -1 when an edit removed it.
    std::optional<int> position(quint64 textId, qsizetype offset) const;
    // Text `textId` was heard to its end: hands over the next piece. True when that
    // was the reading's last.
    bool textEnded(quint64 textId);

private:
    struct Piece {
        quint64 textId;
        std::unique_ptr<ReadingPlace> place;
    };

    void handOver();
    // Where the piece beginning at `from` ends, not past `end`.
    int pieceEnd(int from, int end) const;

    SpeechSynth &m_synth;
    RichTextPad &m_pad;
    // Anchor: the first character not handed over yet; position: the range's end.
    QTextCursor m_rest;
    std::deque<Piece> m_pieces;
};
