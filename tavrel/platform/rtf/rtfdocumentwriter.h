#pragma once

#include <QByteArray>

#include <functional>

class QTextCharFormat;
class QTextDocument;

namespace Rtf {

// How far a run of text is raised above the baseline, in twips; negative lowers it.
using BaselineOffset = std::function<int(const QTextCharFormat &)>;

// The document as RTF, for any reader to show as the document shows it: every run
// with its font family and size (those the document leaves to its default font
// included), style, colours and raise; paragraphs with their alignment and
// indents; tables as RTF tables; pictures as PNG at the size they are shown. The
// raise of a run is offset(format) when given, otherwise worked out from the
// format's baseline offset, a share of the font's height.
QByteArray writeDocument(const QTextDocument &document, const BaselineOffset &offset = {});

} // namespace Rtf
