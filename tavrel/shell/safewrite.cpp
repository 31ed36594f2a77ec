#include "shell/safewrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeWrite {

namespace {

bool fail(QFileDevice &file, QString *error)
{
    if (error)
        *error = file.errorString();
    return false;
}

bool failWithErrno(int errorNumber, QString *error)
{
    if (error)
        *error = qt_error_string(errorNumber);
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

// Writes a file over its own content, for when no temporary file can be made beside
// it. The room for the new content is taken first, so that a full disk fails the
// write before anything of the old content is lost.
bool writeInPlace(const QString &path, const QByteArray &bytes, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return failWithErrno(errno, error);
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return failWithErrno(errno, error);
    if (!S_ISREG(info.st_mode))
        return failWithErrno(EINVAL, error);
    const off_t size = off_t(bytes.size());
    if (size > 0) {
        const int result = ::posix_fallocate(fd, 0, size);
        if (result != 0)
            return failWithErrno(result, error);
    }
    off_t done = 0;
    while (done < size) {
        const ssize_t written = ::pwrite(fd, bytes.constData() + done, std::size_t(size - done),
                                         done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return failWithErrno(written < 0 ? errno : EIO, error);
        done += written;
    }
    if (::ftruncate(fd, size) != 0 || ::fsync(fd) != 0)
        return failWithErrno(errno, error);
    return true;
}

// The new file takes the owner and group of the one it replaces, as far as this
// process may give them: root may give a file to anyone, others only to a group of
// their own.
void keepOwnerAndGroup(int fd, const struct stat &old)
{
    struct stat now;
    if (fd < 0 || ::fstat(fd, &now) != 0)
        return;
    if (now.st_uid == old.st_uid && now.st_gid == old.st_gid)
        return;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, uid_t(-1), old.st_gid) != 0)
        return;
    // A change of owner may clear the set-user and set-group bits.
    ::fchmod(fd, old.st_mode & 07777);
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
    struct stat old;
    const bool replaces = ::stat(QFile::encodeName(path).constData(), &old) == 0
        && S_ISREG(old.st_mode);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        // No temporary file can be made in the folder (it is read-only, say), but
        // the file itself may still be writable.
        if (replaces)
            return writeInPlace(path, bytes, error);
        return fail(file, error);
    }
    if (replaces)
        keepOwnerAndGroup(file.handle(), old);
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
