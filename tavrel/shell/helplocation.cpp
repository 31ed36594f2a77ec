#include "shell/helplocation.h"

#include "platform/programfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef TAVREL_HELP_RELDIR
#define TAVREL_HELP_RELDIR "../share/tavrel/help"
#endif
// Without an installed place of its own, the folder found from the program only.
#ifndef TAVREL_HELP_DIR
#define TAVREL_HELP_DIR ""
#endif

namespace HelpLocation {

QString collectionName()
{
    return QStringLiteral("Tavrel.qhc");
}

QString documentationName()
{
    return QStringLiteral("Tavrel.qch");
}

QStringList searchPaths()
{
    return ProgramFolders::searchPaths(QStringLiteral(TAVREL_HELP_RELDIR),
                                       QStringLiteral(TAVREL_HELP_DIR));
}

QString findFolder(const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QDir dir(folder);
        if (QFileInfo(dir.filePath(collectionName())).isReadable()
            && QFileInfo(dir.filePath(documentationName())).isReadable())
            return dir.absolutePath();
    }
    return {};
}

namespace {

bool sameContents(const QString &a, const QString &b)
{
    QFile first(a);
    QFile second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly))
        return false;
    return first.size() == second.size() && first.readAll() == second.readAll();
}

// Copies `from` over `to` unless `to` already holds the same bytes; `copied` tells
// which happened.
bool mirror(const QString &from, const QString &to, bool *copied)
{
    *copied = false;
    if (sameContents(from, to))
        return true;
    *copied = true;
    const QString partial = to + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(from, partial))
        return false;
    QFile::remove(to);
    return QFile::rename(partial, to);
}

} // namespace

QString usableCollection(const QString &folder)
{
    const QDir source(folder);
    if (QFileInfo(folder).isWritable())
        return source.filePath(collectionName());
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
        + QStringLiteral("/help");
    if (!QDir().mkpath(cache))
        return {};
    const QDir target(cache);
    // The collection names its documentation file relative to itself, so the two
    // travel together.
    bool changed = false;
    for (const QString &name : {documentationName(), collectionName()}) {
        bool copied = false;
        if (!mirror(source.filePath(name), target.filePath(name), &copied))
            return {};
        changed = changed || copied;
    }
    // The search index kept beside an older copy describes other pages.
    if (changed)
        QDir(target.filePath(QLatin1Char('.') + QFileInfo(collectionName()).baseName()))
            .removeRecursively();
    return target.filePath(collectionName());
}

} // namespace HelpLocation
