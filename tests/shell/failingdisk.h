#pragma once

// Ways to make a write fail for real in a test, also when the tests run as root
// (for whom permission bits do not stop a write).
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// A folder in which no file can be created or replaced, or a file that cannot be
// written, while this lives: its write permission is taken away, and where that does
// not stop this process (root), it is marked immutable. The files in such a folder
// stay writable. ok() is false when neither works here.
class Unwritable
{
public:
    explicit Unwritable(const QString &path)
        : m_path(QFile::encodeName(path))
    {
        struct stat info;
        m_folder = ::stat(m_path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
        ::chmod(m_path.constData(), m_folder ? 0555 : 0444);
        if (canWrite()) {
            m_immutable = true;
            setImmutable(true);
        }
        m_ok = !canWrite();
    }
    ~Unwritable()
    {
        if (m_immutable)
            setImmutable(false);
        ::chmod(m_path.constData(), m_folder ? 0755 : 0644);
    }
    bool ok() const { return m_ok; }

private:
    bool canWrite() const
    {
        const QByteArray probe = m_folder ? m_path + "/.probe" : m_path;
        const int fd = ::open(probe.constData(), m_folder ? O_CREAT | O_WRONLY : O_WRONLY, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
        if (m_folder)
            ::unlink(probe.constData());
        return true;
    }
    void setImmutable(bool on)
    {
        const int fd = ::open(m_path.constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }

    QByteArray m_path;
    bool m_folder = false;
    bool m_immutable = false;
    bool m_ok = false;
};
using UnwritableFolder = Unwritable;
using UnwritableFile = Unwritable;

// While this lives, no file of this process may grow beyond `bytes`: a write past
// that fails as it does on a full disk (with EFBIG instead of ENOSPC), after the
// bytes before it have gone to the disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_ok = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        ::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_saved{};
    sighandler_t m_oldHandler = nullptr;
    bool m_ok = false;
};
