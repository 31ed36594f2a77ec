#include "platform/programfolders.h"

#include <QCoreApplication>
#include <QDir>

namespace ProgramFolders {

QStringList searchPaths(const QString &relative, const QString &configured)
{
    const QString programDir = QCoreApplication::applicationDirPath();
    QStringList paths{programDir};
    const QString installed = QDir::cleanPath(programDir + QLatin1Char('/') + relative);
    if (!paths.contains(installed))
        paths << installed;
    if (!configured.isEmpty()) {
        const QString absolute = QDir::cleanPath(configured);
        if (!paths.contains(absolute))
            paths << absolute;
    }
    return paths;
}

} // namespace ProgramFolders
