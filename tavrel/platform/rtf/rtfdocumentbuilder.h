#pragma once

#include "platform/rtf/rtfhandler.h"

#include <QFont>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <span>
#include <string>

class QImage;
class QTextDocument;

namespace Rtf {

// Builds a QTextDocument from what the RTF reader hands on, at the document's end.
// Text of one format goes in as one insertion, paragraphs and all, which keeps
// loading large files fast. Pictures become image resources named
// "tavrel-rtf:N"; metafiles, which Qt cannot draw, and pictures that do not
// decode become an empty frame of the picture's size.
class DocumentBuilder : public Handler
{
public:
    explicit DocumentBuilder(QTextDocument *document);

    void text(std::u16string_view text, const CharFormat &format) override;
    void paragraphEnd(const ParagraphFormat &format) override;
    void picture(const Picture &picture, const CharFormat &format) override;
    void documentEnd(const ParagraphFormat &format) override;

    static QTextCharFormat toQt(const CharFormat &format, const QFont &baseFont);
    static QTextBlockFormat toQt(const ParagraphFormat &format);
    // The bitmap of a \dibitmap picture: a device-independent bitmap without its
    // file header.
    static QImage fromDib(std::span<const std::uint8_t> data);

private:
    void flush();
    void setBlockFormat(const ParagraphFormat &format);

    QTextDocument *m_document;
    QTextCursor m_cursor;
    QFont m_baseFont;
    QString m_pending;
    bool m_hasFormat = false;
    CharFormat m_formatKey;
    std::u16string m_formatFamily;
    QTextCharFormat m_format;
    ParagraphFormat m_blockKey;
    int m_pictureSerial = 0;
};

} // namespace Rtf
