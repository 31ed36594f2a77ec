#pragma once

#include "platform/rtf/rtfhandler.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextImageFormat>

#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

class QTextDocument;

namespace Rtf {

// Builds a QTextDocument from what the RTF reader hands on, at the document's end.
// The text is gathered first and goes in with one insertion in the format most of
// it has; only the runs in other formats are then formatted one by one. Qt spends
// far more on each run than on each character, so this keeps loading large files
// fast. Pictures become image resources named "tavrel-rtf:N"; metafiles, which Qt
// cannot draw, and pictures that do not decode become an empty frame of the
// picture's size. Decoded pictures of one document take at most 256 MB; pictures
// beyond that show as frames too.
class DocumentBuilder : public Handler
{
public:
    explicit DocumentBuilder(QTextDocument *document);

    void text(std::u16string_view text, const CharFormat &format) override;
    void paragraphEnd(const ParagraphFormat &format) override;
    void picture(const Picture &picture, const CharFormat &format) override;
    // Puts everything gathered into the document.
    void documentEnd(const ParagraphFormat &format) override;
    // The text given to the document while it was empty, to the character as the
    // document holds it; more may have followed it (tables).
    const QString &firstText() const { return m_firstText; }

    static QTextCharFormat toQt(const CharFormat &format, const QFont &baseFont);
    static QTextBlockFormat toQt(const ParagraphFormat &format);
    // The bitmap of a \dibitmap picture: a device-independent bitmap without its
    // file header. bmpFromDib() gives it the header of a BMP file, or gives an
    // empty array when the bitmap's own header makes no sense.
    static QImage fromDib(std::span<const std::uint8_t> data);
    static QByteArray bmpFromDib(std::span<const std::uint8_t> data);

private:
    struct Run
    {
        qsizetype start;
        int format;
    };
    struct KnownFormat
    {
        CharFormat key; // its fontFamily views family
        std::unique_ptr<std::u16string> family;
        QTextCharFormat format;
        qint64 length = 0;
    };
    struct PicturePlace
    {
        qsizetype position;
        QTextImageFormat format;
    };

    int formatIndex(const CharFormat &format);
    int paragraphIndex(const ParagraphFormat &format);
    QImage decode(const Picture &picture);
    QImage frame(const QSizeF &size);
    void useFormat(int index);
    void build();

    QTextDocument *m_document;
    QFont m_baseFont;
    QString m_text;
    QString m_firstText;
    std::vector<Run> m_runs;
    std::vector<KnownFormat> m_formats;
    std::unordered_multimap<std::size_t, int> m_formatsByHash;
    int m_lastFormat = -1;
    std::vector<ParagraphFormat> m_paragraphFormats;
    std::unordered_multimap<std::size_t, int> m_paragraphFormatsByHash;
    std::vector<int> m_paragraphs; // format index of each paragraph, in order
    std::vector<PicturePlace> m_pictures;
    int m_pictureSerial = 0;
    // Bytes decoded pictures and frames may still take: a file cannot make the
    // pad hold more than this, however many pictures it declares.
    qint64 m_pictureBudget = qint64(256) * 1024 * 1024;
    std::unordered_map<quint64, QImage> m_frames;
};

} // namespace Rtf
