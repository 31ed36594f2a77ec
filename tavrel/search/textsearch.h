#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// Matches of a search text in a document's raw text (one character per document
// position, a paragraph separator between paragraphs), by the same rules as the
// pad's own find: the options are the pad's (whole word, match case); a no-break
// space in the text matches a space; a match never runs across a paragraph; a
// whole word is one with no letter or digit right before or after it.
namespace TextSearch {

// Whether `what` can match at all: an empty text or one holding a paragraph break
// never does.
bool canMatch(const QString &what);

// Whether `what` matches `text` at `position`.
bool matchesAt(QStringView text, qsizetype position, const QString &what, int options);

// Every match from the start of `text` to its end that does not overlap an earlier
// one, in order.
QList<qsizetype> findAll(QString text, const QString &what, int options);

} // namespace TextSearch
