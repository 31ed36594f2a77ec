#pragma once

#include <QByteArray>
#include <QString>

namespace SafeWrite {

// Replaces the content of the file at `path` by `bytes` without ever destroying the
// old file: the bytes go to a temporary file beside it, which takes the file's place
// only once every byte is on the disk. A write that fails at any point (no such
// folder, no permission, a full disk) leaves the previous file exactly as it was.
// A path naming a device (such as /dev/full) is written directly, since there is no
// file to keep and replacing the device by a file would be wrong; a pipe or socket
// is refused. Returns false on failure, with the reason in *error.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace SafeWrite
