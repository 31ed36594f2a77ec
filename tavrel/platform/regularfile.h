#pragma once

#include <QByteArray>
#include <QString>

#include <limits>
#include <optional>

// Reads files whole, and only files: a folder, a device (such as /dev/zero), a FIFO
// or a socket is refused at once, without waiting for a writer and without reading
// something endless. A file is never read beyond the size it had when it was
// opened, so one that grows meanwhile cannot keep the read going.
namespace RegularFile {

constexpr qint64 kWhole = std::numeric_limits<qint64>::max();

// The file's bytes, at most maxBytes of them. Nothing on failure, with the reason in
// *error when given.
std::optional<QByteArray> read(const QString &path, qint64 maxBytes = kWhole,
                               QString *error = nullptr);

} // namespace RegularFile
