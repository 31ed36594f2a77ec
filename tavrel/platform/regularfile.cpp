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

// The file open for reading with its size, after the checks; -1 on failure.
int openChecked(const QString &path, qint64 *size, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    // Looked at before it is opened: opening a device or a FIFO may block or have
    // effects of its own.
    struct stat info;
    if (::stat(name.constData(), &info) != 0) {
        failWithErrno(error);
        return -1;
    }
    if (const auto why = notAFile(path, info.st_mode)) {
        fail(error, *why);
        return -1;
    }
    // Not blocking, should something else have taken the file's place meanwhile.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        failWithErrno(error);
        return -1;
    }
    if (::fstat(fd, &info) != 0) {
        failWithErrno(error);
        ::close(fd);
        return -1;
    }
    if (const auto why = notAFile(path, info.st_mode)) {
        fail(error, *why);
        ::close(fd);
        return -1;
    }
    *size = info.st_size;
    return fd;
}

struct Closer
{
    int fd;
    ~Closer() { ::close(fd); }
};

// Reads up to `size` bytes into `out`; the count read, or -1.
qint64 readUpTo(int fd, char *out, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, out + done, std::size_t(size - done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break; // the file became shorter meanwhile
        done += got;
    }
    return done;
}

} // namespace

std::optional<QByteArray> read(const QString &path, qint64 maxBytes, QString *error)
{
    qint64 fileSize = 0;
    const int fd = openChecked(path, &fileSize, error);
    if (fd < 0)
        return std::nullopt;
    const Closer closer{fd};
    const qint64 size = std::min<qint64>(fileSize, std::max<qint64>(maxBytes, 0));
    QByteArray bytes(size, Qt::Uninitialized);
    const qint64 done = readUpTo(fd, bytes.data(), size);
    if (done < 0)
        return failWithErrno(error);
    bytes.truncate(done);
    return bytes;
}

bool readInPieces(const QString &path, qint64 pieceBytes,
                  const std::function<bool(QByteArrayView, qint64)> &take, QString *error)
{
    qint64 size = 0;
    const int fd = openChecked(path, &size, error);
    if (fd < 0)
        return false;
    const Closer closer{fd};
    QByteArray piece(std::max<qint64>(1, std::min(pieceBytes, size)), Qt::Uninitialized);
    for (qint64 left = size; left > 0;) {
        const qint64 got = readUpTo(fd, piece.data(), std::min<qint64>(piece.size(), left));
        if (got < 0) {
            failWithErrno(error);
            return false;
        }
        if (got == 0 || !take(QByteArrayView(piece.constData(), got), size))
            break;
        left -= got;
    }
    return true;
}

} // namespace RegularFile
