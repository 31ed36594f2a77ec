#pragma once

#include <QByteArrayView>

class QTextDocument;

namespace Rtf {

// Replaces the document's content with the RTF document in bytes: text,
// formatting and pictures, as far as the file can be read. The document's default
// font stays; text the file gives no font or size for takes it. Returns false,
// leaving the document as it was, when the bytes are not RTF.
bool loadDocument(QByteArrayView bytes, QTextDocument *document);

} // namespace Rtf
