#include "platform/rtf/rtfloader.h"

#include "platform/rtf/rtfdocumentbuilder.h"
#include "platform/rtf/rtfreader.h"

#include <QTextCursor>
#include <QTextDocument>

namespace Rtf {

bool loadDocument(QByteArrayView bytes, QTextDocument *document)
{
    const std::string_view input(bytes.data(), std::size_t(bytes.size()));
    if (!looksLikeRtf(input))
        return false;
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    // One edit block: views and layouts hear of the new content once.
    QTextCursor block(document);
    block.beginEditBlock();
    document->clear();
    {
        DocumentBuilder builder(document);
        Reader reader(builder);
        reader.read(input);
    }
    block.endEditBlock();
    document->setUndoRedoEnabled(undo);
    return true;
}

} // namespace Rtf
