#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
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

// The file's bytes handed to take() a piece of at most pieceBytes at a time, with
// the file's size, until take() returns false or the file ends. False on failure,
// with the reason in *error when given.
bool readInPieces(const QString &path, qint64 pieceBytes,
                  const std::function<bool(QByteArrayView piece, qint64 fileSize)> &take,
                  QString *error = nullptr);

} // namespace RegularFile
