#pragma once

#include <QString>
#include <QtGlobal>

// How far an audio file export has come, in words for the progress dialog and the
// command line: "42% done, about 1:05 left". The time left is the time taken so far
// scaled to the share still to do, given once a little of the text is done.
namespace ExportProgress {

QString describe(double share, qint64 elapsedMs);

} // namespace ExportProgress
