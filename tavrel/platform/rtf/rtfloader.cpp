#include "platform/rtf/rtfloader.h"

#include "platform/rtf/rtfdocumentbuilder.h"
#include "platform/rtf/rtfreader.h"
#include "platform/wholetext.h"

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
    QString whole;
    {
        DocumentBuilder builder(document);
        Reader reader(builder);
        reader.read(input);
        whole = builder.firstText();
    }
    // When that text is all the document holds, whoever follows the document shares
    // it as the edit block ends, rather than read a book back.
    const bool announce = !whole.isEmpty() && whole.size() == document->characterCount() - 1;
    if (announce)
        document->setProperty(WholeText::kProperty, whole);
    block.endEditBlock();
    if (announce)
        document->setProperty(WholeText::kProperty, QVariant());
    document->setUndoRedoEnabled(undo);
    return true;
}

} // namespace Rtf
