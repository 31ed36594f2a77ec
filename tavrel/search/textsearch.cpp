#include "search/textsearch.h"

#include "platform/richtextpad.h"

#include <QStringMatcher>

#include <algorithm>

namespace {

// Characters a document's raw text holds between paragraphs and around frames; the
// pad's find searches within paragraphs only.
bool isParagraphBreak(QChar c)
{
    return c == QChar::ParagraphSeparator || c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;
}

Qt::CaseSensitivity caseOf(int options)
{
    return (options & RichTextPad::FindMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

bool isWholeWord(QStringView text, qsizetype start, qsizetype length)
{
    const qsizetype end = start + length;
    return (start == 0 || !text.at(start - 1).isLetterOrNumber())
           && (end == text.size() || !text.at(end).isLetterOrNumber());
}

} // namespace

namespace TextSearch {

bool canMatch(const QString &what)
{
    return !what.isEmpty() && std::none_of(what.cbegin(), what.cend(), isParagraphBreak);
}

bool matchesAt(QStringView text, qsizetype position, const QString &what, int options)
{
    if (!canMatch(what) || position < 0 || position + what.size() > text.size())
        return false;
    QString candidate = text.mid(position, what.size()).toString();
    candidate.replace(QChar::Nbsp, QLatin1Char(' '));
    if (candidate.compare(what, caseOf(options)) != 0)
        return false;
    return !(options & RichTextPad::FindWholeWord) || isWholeWord(text, position, what.size());
}

QList<qsizetype> findAll(QString text, const QString &what, int options)
{
    QList<qsizetype> found;
    if (!canMatch(what))
        return found;
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    const QStringMatcher matcher(what, caseOf(options));
    const bool wholeWord = options & RichTextPad::FindWholeWord;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = matcher.indexIn(text, from);
        if (at < 0)
            break;
        if (!wholeWord || isWholeWord(text, at, what.size())) {
            found << at;
            from = at + what.size();
        } else {
            from = at + 1;
        }
    }
    return found;
}

} // namespace TextSearch
