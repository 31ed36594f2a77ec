#pragma once

#include <QString>
#include <QStringView>

// Walks a text clause by clause, so that it can be synthesised a piece at a time:
// the voice settings are read afresh for every clause, and a long document is never
// held as audio. A clause ends after sentence or clause punctuation followed by a
// space (not after a title such as "Mr." or an initial), at a line break, or at the
// last space before maxLength characters when the text runs on without punctuation.
class ClauseSplitter
{
public:
    struct Clause {
        QStringView text;
        // Where the clause begins in the whole text.
        qsizetype start = 0;
        // The clause ends with punctuation or a line break, so a pause follows it;
        // false when it was cut for length in the middle of a sentence.
        bool pauseAfter = false;
    };

    explicit ClauseSplitter(const QString &text, qsizetype maxLength = 240);

    // The next clause with speech in it; false when nothing but blanks is left.
    bool next(Clause *clause);

    // Where the next clause will be looked for; rewind() goes back to such a place.
    qsizetype position() const { return m_pos; }
    void rewind(qsizetype position) { m_pos = position; }

private:
    bool isClauseEnd(qsizetype pos) const;
    bool isAbbreviation(qsizetype dotPos) const;

    QString m_text;
    qsizetype m_pos = 0;
    qsizetype m_maxLength;
};
