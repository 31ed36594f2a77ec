#include "platform/regularfile.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

namespace {

std::nullopt_t fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

std::nullopt_t failWithErrno(QString *error)
{
    return fail(error, qt_error_string(errno));
}

// Nothing when the path names a file; otherwise why it is not read.
std::optional<QString> notAFile(const QString &path, mode_t mode)
{
    if (S_ISREG(mode))
        return std::nullopt;
    if (S_ISDIR(mode))
        return QCoreApplication::translate("RegularFile", "%1 is a folder, not a file.").arg(path);
    return QCoreApplication::translate("RegularFile", "%1 is not a regular file.").arg(path);
}

} // namespace

std::optional<QByteArray> read(const QString &path, qint64 maxBytes, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    // Looked at before it is opened: opening a device or a FIFO may block or have
    // effects of its own.
    struct stat info;
    if (::stat(name.constData(), &info) != 0)
        return failWithErrno(error);
    if (const auto why = notAFile(path, info.st_mode))
        return fail(error, *why);
    // Not blocking, should something else have taken the file's place meanwhile.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return failWithErrno(error);
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &info) != 0)
        return failWithErrno(error);
    if (const auto why = notAFile(path, info.st_mode))
        return fail(error, *why);

    const qint64 size = std::min<qint64>(info.st_size, std::max<qint64>(maxBytes, 0));
    QByteArray bytes(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, bytes.data() + done, std::size_t(size - done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return failWithErrno(error);
        }
        if (got == 0)
            break; // the file became shorter meanwhile
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

} // namespace RegularFile
