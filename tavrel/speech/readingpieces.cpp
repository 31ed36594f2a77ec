#include "speech/readingpieces.h"

#include "platform/richtextpad.h"
#include "platform/speechsynth.h"
#include "speech/readingplace.h"

#include <QTextDocument>

#include <algorithm>

ReadingPieces::ReadingPieces(SpeechSynth &synth, RichTextPad &pad, int start, int end)
    : m_synth(synth)
    , m_pad(pad)
    , m_rest(pad.document())
{
    const int last = pad.document()->characterCount() - 1;
    m_rest.setPosition(std::clamp(start, 0, last));
    m_rest.setPosition(std::clamp(end, m_rest.anchor(), last), QTextCursor::KeepAnchor);
    do
        handOver();
    while (int(m_pieces.size()) <= kPiecesAhead && m_rest.anchor() < m_rest.position());
}

ReadingPieces::~ReadingPieces() = default;

void ReadingPieces::handOver()
{
    const int from = m_rest.anchor();
    const int end = m_rest.position();
    const int to = pieceEnd(from, end);
    QList<int> leftOut;
    const QString text = m_pad.textOfRange(from, to, &leftOut);
    auto place = std::make_unique<ReadingPlace>(*m_pad.document(), from, std::move(leftOut));
    m_rest.setPosition(to);
    m_rest.setPosition(end, QTextCursor::KeepAnchor);
    m_pieces.push_back({m_synth.speak(text), std::move(place)});
}

int ReadingPieces::pieceEnd(int from, int end) const
{
    if (end - from <= kPieceChars)
        return end;
    // The piece ends in the second half of its longest size: after the last paragraph
    // there, else after the last sentence, else at the last blank.
    const int windowStart = from + kPieceChars / 2;
    QTextCursor window(m_pad.document());
    window.setPosition(windowStart);
    window.setPosition(from + kPieceChars, QTextCursor::KeepAnchor);
    const QString raw = window.selectedText();
    const qsizetype paragraph = raw.lastIndexOf(QChar::ParagraphSeparator);
    if (paragraph >= 0)
        return windowStart + int(paragraph) + 1;
    for (qsizetype i = raw.size() - 1; i > 0; --i) {
        const QChar before = raw.at(i - 1);
        if (raw.at(i).isSpace()
            && (before == u'.' || before == u'!' || before == u'?' || before == u';'))
            return windowStart + int(i) + 1;
    }
    for (qsizetype i = raw.size() - 1; i >= 0; --i) {
        if (raw.at(i).isSpace())
            return windowStart + int(i) + 1;
    }
    // One long word: cut it, but never between the halves of a character.
    const int cut = from + kPieceChars;
    return raw.back().isHighSurrogate() ? cut - 1 : cut;
}

std::optional<int> ReadingPieces::position(quint64 textId, qsizetype offset) const
{
    for (const Piece &piece : m_pieces) {
        if (piece.textId == textId)
            return piece.place->position(offset);
    }
    return std::nullopt;
}

bool ReadingPieces::textEnded(quint64 textId)
{
    const auto ended = std::find_if(m_pieces.begin(), m_pieces.end(),
                                    [textId](const Piece &p) { return p.textId == textId; });
    if (ended == m_pieces.end())
        return false;
    // Texts end in the order they were queued.
    m_pieces.erase(m_pieces.begin(), ended + 1);
    while (int(m_pieces.size()) <= kPiecesAhead && m_rest.anchor() < m_rest.position())
        handOver();
    return m_pieces.empty();
}
