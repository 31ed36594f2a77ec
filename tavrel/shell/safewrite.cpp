#include "shell/safewrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

namespace SafeWrite {

namespace {

bool fail(QFileDevice &file, QString *error)
{
    if (error)
        *error = file.errorString();
    return false;
}

bool writeDirectly(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file, error);
    if (file.write(bytes) != bytes.size())
        return fail(file, error);
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail(file, error);
    return true;
}

bool isCharacterDevice(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISCHR(info.st_mode);
}

} // namespace

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    const QFileInfo target(path);
    if (target.isDir()) {
        if (error)
            *error = QStringLiteral("%1 is a folder.").arg(path);
        return false;
    }
    if (target.exists() && !target.isFile()) {
        if (isCharacterDevice(path))
            return writeDirectly(path, bytes, error);
        // A pipe or socket would hold the program up until someone reads it.
        if (error)
            *error = QStringLiteral("%1 is not a file.").arg(path);
        return false;
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file, error);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return fail(file, error);
    }
    // The last buffered bytes are written here; a full disk shows now. The commit
    // would otherwise put a cut-short file in place of the old one.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        const bool failed = fail(file, error);
        file.cancelWriting();
        return failed;
    }
    if (!file.commit())
        return fail(file, error);
    return true;
}

} // namespace SafeWrite
