#pragma once

#include <QByteArray>
#include <QString>

namespace SafeWrite {

// Replaces the content of the file at `path` by `bytes` without ever destroying the
// old file: the bytes go to a temporary file beside it, which takes the file's place
// only once every byte is on the disk. A write that fails at any point (no such
// folder, no permission, a full disk) leaves the previous file exactly as it was.
// The new file keeps the old one's permissions, and its owner and group as far as
// this process may set them. Where no temporary file can be made (a read-only
// folder), a file that is itself writable is written in place, once the room for
// the new content has been taken, so that a full disk still loses nothing.
// A path naming a device (such as /dev/full) is written directly, since there is no
// file to keep and replacing the device by a file would be wrong; a pipe or socket
// is refused. Returns false on failure, with the reason in *error.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace SafeWrite
