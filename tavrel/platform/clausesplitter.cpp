#include "platform/clausesplitter.h"

#include <algorithm>
#include <array>

namespace {

bool isClosing(QChar c)
{
    return c == u'"' || c == u'\'' || c == u')' || c == u']' || c == u'}' || c == u'\x201d'
        || c == u'\x2019' || c == u'\xbb';
}

bool isPunctuation(QChar c)
{
    return c == u'.' || c == u'!' || c == u'?' || c == u';' || c == u':' || c == u','
        || c == u'\x2026';
}

} // namespace

ClauseSplitter::ClauseSplitter(const QString &text, qsizetype maxLength)
    : m_text(text)
    , m_maxLength(std::max<qsizetype>(maxLength, 16))
{
}

bool ClauseSplitter::isAbbreviation(qsizetype dotPos) const
{
    // The word before the dot.
    qsizetype start = dotPos;
    while (start > 0 && m_text.at(start - 1).isLetter())
        --start;
    const QStringView word = QStringView(m_text).mid(start, dotPos - start);
    if (word.size() == 1 && word.at(0).isUpper())
        return true; // an initial: "J. Smith"
    static const std::array<QStringView, 11> titles{u"Mr", u"Mrs", u"Ms", u"Dr", u"St",
                                                    u"Jr", u"Sr", u"Prof", u"Mt", u"vs",
                                                    u"No"};
    return std::find(titles.begin(), titles.end(), word) != titles.end();
}

bool ClauseSplitter::isClauseEnd(qsizetype pos) const
{
    const QChar c = m_text.at(pos);
    if (!isPunctuation(c))
        return false;
    qsizetype after = pos + 1;
    while (after < m_text.size() && isClosing(m_text.at(after)))
        ++after;
    if (after < m_text.size() && !m_text.at(after).isSpace())
        return false; // "3.14", "e.g.x", "a,b"
    return c != u'.' || !isAbbreviation(pos);
}

bool ClauseSplitter::next(Clause *clause)
{
    const qsizetype size = m_text.size();
    while (m_pos < size && m_text.at(m_pos).isSpace())
        ++m_pos;
    if (m_pos >= size)
        return false;

    const qsizetype start = m_pos;
    const qsizetype limit = std::min(size, start + m_maxLength);
    qsizetype end = -1;
    bool pause = false;
    for (qsizetype i = start; i < limit; ++i) {
        const QChar c = m_text.at(i);
        if (c == u'\n' || c == u'\r' || c == u'\x2029' || c == u'\x2028') {
            end = i;
            pause = true;
            break;
        }
        if (isClauseEnd(i)) {
            end = i + 1;
            while (end < size && isClosing(m_text.at(end)))
                ++end;
            pause = true;
            break;
        }
    }
    if (end < 0) {
        if (limit == size) {
            end = size;
            pause = true; // the end of the text
        } else {
            // No punctuation within reach: cut at the last space, or, in a run
            // without any, at the limit (never between the halves of a surrogate pair).
            end = limit;
            for (qsizetype i = limit - 1; i > start + m_maxLength / 4; --i) {
                if (m_text.at(i).isSpace()) {
                    end = i;
                    break;
                }
            }
            if (end == limit && m_text.at(end - 1).isHighSurrogate())
                --end;
        }
    }
    m_pos = end;
    clause->text = QStringView(m_text).mid(start, end - start);
    clause->start = start;
    clause->pauseAfter = pause;
    return true;
}
