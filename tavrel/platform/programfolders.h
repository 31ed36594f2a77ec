#pragma once

#include <QString>
#include <QStringList>

// Where the program looks for the files that come with it (control modules, the
// help): its own folder first, as a build tree or a portable copy has them; then
// the installed folder found from the program's own place, so that a moved
// installation still finds its files; then the folder this build installs to.
namespace ProgramFolders {

// `relative` is the installed folder as seen from the program's folder;
// `configured` the same folder as an absolute path, or empty.
QStringList searchPaths(const QString &relative, const QString &configured);

} // namespace ProgramFolders
