#pragma once

#include <QString>
#include <QStringList>

// Where the manual, the help collection Tavrel.qhc with its documentation file
// Tavrel.qch, is found: beside the program (a build tree or a portable copy), then
// in the installed help folder found from the program's own place, so that a moved
// installation keeps its help.
namespace HelpLocation {

QString collectionName();
QString documentationName();

// The folders looked in, in this order.
QStringList searchPaths();

// The first of `folders` that holds both files, or empty.
QString findFolder(const QStringList &folders);

// The collection file to open for the help found in `folder`. The help engine keeps
// a search index beside the collection, so a folder the user may not write to (an
// installation) is mirrored into the user's cache folder first. Empty when the
// files cannot be mirrored.
QString usableCollection(const QString &folder);

} // namespace HelpLocation
