#include "platform/rtf/rtfdocumentbuilder.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QImageReader>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <functional>

namespace Rtf {

namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr int kTwipsPerHalfPoint = 10;
// Pictures are shown no larger than this many pixels a side; placeholder frames
// are drawn no larger than kMaxFramePixels and stretched.
constexpr double kMaxPicturePixels = 10000.0;
constexpr int kMaxFramePixels = 256;
// A raised or lowered baseline never moves further than the font's own height.
constexpr double kMaxBaselineOffset = 100.0;

double pixels(int twips)
{
    return twips / kTwipsPerPixel;
}

quint32 readLe32(const std::uint8_t *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 readLe16(const std::uint8_t *p)
{
    return quint16(p[0] | p[1] << 8);
}

void appendLe32(QByteArray &bytes, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
}

QImage emptyFrame(int w, int h)
{
    QImage frame(w, h, QImage::Format_ARGB32);
    frame.fill(Qt::transparent);
    const QRgb edge = qRgb(160, 160, 160);
    for (int x = 0; x < w; ++x) {
        frame.setPixel(x, 0, edge);
        frame.setPixel(x, h - 1, edge);
    }
    for (int y = 0; y < h; ++y) {
        frame.setPixel(0, y, edge);
        frame.setPixel(w - 1, y, edge);
    }
    return frame;
}

std::size_t hashOf(const CharFormat &f)
{
    std::size_t h = std::hash<std::u16string_view>()(f.fontFamily);
    const auto mix = [&h](std::size_t v) {
        h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    };
    mix(std::size_t(f.halfPoints));
    mix(std::size_t(f.bold) | std::size_t(f.italic) << 1 | std::size_t(f.strike) << 2
        | std::size_t(f.underline) << 3 | std::size_t(f.vertical) << 8
        | std::size_t(f.hasColor) << 10 | std::size_t(f.hasBackground) << 11);
    mix(std::size_t(f.color.red) | std::size_t(f.color.green) << 8
        | std::size_t(f.color.blue) << 16);
    mix(std::size_t(f.background.red) | std::size_t(f.background.green) << 8
        | std::size_t(f.background.blue) << 16);
    mix(std::size_t(f.offsetHalfPoints));
    return h;
}

std::size_t hashOf(const ParagraphFormat &p)
{
    std::size_t h = std::size_t(p.alignment);
    for (const int v : {p.leftIndent, p.rightIndent, p.firstLineIndent, p.spaceBefore,
                        p.spaceAfter}) {
        h ^= std::size_t(v) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    }
    return h;
}

} // namespace

DocumentBuilder::DocumentBuilder(QTextDocument *document)
    : m_document(document)
    , m_baseFont(document->defaultFont())
{
}

QTextCharFormat DocumentBuilder::toQt(const CharFormat &f, const QFont &baseFont)
{
    QTextCharFormat format;
    if (!f.fontFamily.empty()) {
        format.setFontFamilies(
            {QString::fromUtf16(f.fontFamily.data(), qsizetype(f.fontFamily.size()))});
    }
    if (f.halfPoints > 0)
        format.setFontPointSize(f.halfPoints / 2.0);
    if (f.bold)
        format.setFontWeight(QFont::Bold);
    if (f.italic)
        format.setFontItalic(true);
    if (f.strike)
        format.setFontStrikeOut(true);
    switch (f.underline) {
    case Underline::None:
        break;
    case Underline::Single:
    case Underline::Double: // Qt draws no double underline
        format.setFontUnderline(true);
        break;
    case Underline::Dotted:
        format.setUnderlineStyle(QTextCharFormat::DotLine);
        break;
    case Underline::Dashed:
        format.setUnderlineStyle(QTextCharFormat::DashUnderline);
        break;
    case Underline::DashDot:
        format.setUnderlineStyle(QTextCharFormat::DashDotLine);
        break;
    case Underline::DashDotDot:
        format.setUnderlineStyle(QTextCharFormat::DashDotDotLine);
        break;
    case Underline::Wave:
        format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        break;
    }
    if (f.hasColor)
        format.setForeground(QColor(f.color.red, f.color.green, f.color.blue));
    if (f.hasBackground)
        format.setBackground(QColor(f.background.red, f.background.green, f.background.blue));
    switch (f.vertical) {
    case VerticalPosition::Normal:
        break;
    case VerticalPosition::Superscript:
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        break;
    case VerticalPosition::Subscript:
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        break;
    }
    if (f.offsetHalfPoints != 0 && f.vertical == VerticalPosition::Normal) {
        // Qt keeps the offset as a share of the font's height.
        const QFontMetricsF metrics(format.font().resolve(baseFont));
        const double height = metrics.ascent() + metrics.descent();
        const double offset = pixels(f.offsetHalfPoints * kTwipsPerHalfPoint);
        if (height > 0) {
            format.setBaselineOffset(std::clamp(offset / height * 100.0, -kMaxBaselineOffset,
                                                kMaxBaselineOffset));
        }
    }
    return format;
}

QTextBlockFormat DocumentBuilder::toQt(const ParagraphFormat &p)
{
    QTextBlockFormat format;
    switch (p.alignment) {
    case Alignment::Left:
        break;
    case Alignment::Right:
        format.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        break;
    case Alignment::Center:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case Alignment::Justify:
        format.setAlignment(Qt::AlignJustify);
        break;
    }
    const int left = std::max(0, p.leftIndent);
    // A hanging first line goes no further left than the page margin.
    const int first = std::max(-left, p.firstLineIndent);
    if (left != 0)
        format.setLeftMargin(pixels(left));
    if (p.rightIndent > 0)
        format.setRightMargin(pixels(p.rightIndent));
    if (first != 0)
        format.setTextIndent(pixels(first));
    if (p.spaceBefore > 0)
        format.setTopMargin(pixels(p.spaceBefore));
    if (p.spaceAfter > 0)
        format.setBottomMargin(pixels(p.spaceAfter));
    return format;
}

QByteArray DocumentBuilder::bmpFromDib(std::span<const std::uint8_t> data)
{
    if (data.size() < 12)
        return {};
    const quint32 headerSize = readLe32(data.data());
    if (headerSize < 12 || headerSize > data.size())
        return {};
    quint64 paletteBytes = 0;
    if (headerSize == 12) {
        // The old OS/2 header: three bytes a palette entry.
        const int bits = readLe16(data.data() + 10);
        paletteBytes = bits <= 8 ? (quint64(1) << bits) * 3 : 0;
    } else if (headerSize >= 40) {
        const int bits = readLe16(data.data() + 14);
        const quint32 compression = readLe32(data.data() + 16);
        const quint32 colorsUsed = readLe32(data.data() + 32);
        const quint64 entries = colorsUsed != 0 ? colorsUsed
                                                : (bits <= 8 ? quint64(1) << bits : 0);
        paletteBytes = entries * 4;
        // Bit-field masks follow a plain header.
        if (headerSize == 40 && compression == 3)
            paletteBytes += 12;
        else if (headerSize == 40 && compression == 6)
            paletteBytes += 16;
    } else {
        return {};
    }
    const quint64 offset = std::min<quint64>(14 + headerSize + paletteBytes, 14 + data.size());
    QByteArray file;
    file.reserve(qsizetype(14 + data.size()));
    file.append("BM");
    appendLe32(file, quint32(14 + data.size()));
    appendLe32(file, 0);
    appendLe32(file, quint32(offset));
    file.append(reinterpret_cast<const char *>(data.data()), qsizetype(data.size()));
    return file;
}

QImage DocumentBuilder::fromDib(std::span<const std::uint8_t> data)
{
    const QByteArray file = bmpFromDib(data);
    return file.isEmpty() ? QImage() : QImage::fromData(file, "BMP");
}

int DocumentBuilder::formatIndex(const CharFormat &format)
{
    if (m_lastFormat >= 0 && m_formats[std::size_t(m_lastFormat)].key == format)
        return m_lastFormat;
    const std::size_t hash = hashOf(format);
    const auto [from, to] = m_formatsByHash.equal_range(hash);
    for (auto it = from; it != to; ++it) {
        if (m_formats[std::size_t(it->second)].key == format)
            return it->second;
    }
    KnownFormat known;
    known.family = std::make_unique<std::u16string>(format.fontFamily);
    known.key = format;
    known.key.fontFamily = *known.family;
    known.format = toQt(format, m_baseFont);
    m_formats.push_back(std::move(known));
    const int index = int(m_formats.size() - 1);
    m_formatsByHash.emplace(hash, index);
    return index;
}

int DocumentBuilder::paragraphIndex(const ParagraphFormat &format)
{
    const std::size_t hash = hashOf(format);
    const auto [from, to] = m_paragraphFormatsByHash.equal_range(hash);
    for (auto it = from; it != to; ++it) {
        if (m_paragraphFormats[std::size_t(it->second)] == format)
            return it->second;
    }
    m_paragraphFormats.push_back(format);
    const int index = int(m_paragraphFormats.size() - 1);
    m_paragraphFormatsByHash.emplace(hash, index);
    return index;
}

void DocumentBuilder::useFormat(int index)
{
    m_lastFormat = index;
    if (m_runs.empty() || m_runs.back().format != index)
        m_runs.push_back({m_text.size(), index});
}

void DocumentBuilder::text(std::u16string_view text, const CharFormat &format)
{
    useFormat(formatIndex(format));
    // U+FFFC stands for a picture in the document; written as text in the file it
    // would be an empty object that shows, speaks and saves as nothing.
    const qsizetype before = m_text.size();
    for (std::size_t from = 0; from < text.size();) {
        std::size_t to = text.find(u'\uFFFC', from);
        if (to == std::u16string_view::npos)
            to = text.size();
        m_text.append(QStringView(text.data() + from, qsizetype(to - from)));
        from = to + 1;
    }
    m_formats[std::size_t(m_lastFormat)].length += qint64(m_text.size() - before);
}

void DocumentBuilder::paragraphEnd(const ParagraphFormat &format)
{
    // The paragraph mark takes the format of the text before it.
    if (m_runs.empty())
        useFormat(formatIndex(CharFormat{}));
    m_text.append(QChar::ParagraphSeparator);
    m_paragraphs.push_back(paragraphIndex(format));
}

QImage DocumentBuilder::decode(const Picture &picture)
{
    QByteArray bytes;
    QByteArray format;
    switch (picture.type) {
    case PictureType::Png:
    case PictureType::Jpeg:
        bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(picture.data.data()),
                                        qsizetype(picture.data.size()));
        break;
    case PictureType::Dib:
        bytes = bmpFromDib(picture.data);
        format = "BMP";
        break;
    case PictureType::Wmf:
    case PictureType::Emf:
    case PictureType::Other:
        return {};
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    // The size in the header says what decoding would take, before it is spent.
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() * 4 > m_pictureBudget)
        return {};
    const QImage image = reader.read();
    m_pictureBudget -= image.sizeInBytes();
    return image;
}

QImage DocumentBuilder::frame(const QSizeF &size)
{
    const int w = std::clamp(qRound(size.width()), 1, kMaxFramePixels);
    const int h = std::clamp(qRound(size.height()), 1, kMaxFramePixels);
    const quint64 key = quint64(w) << 32 | quint64(h);
    const auto known = m_frames.find(key);
    if (known != m_frames.end())
        return known->second;
    QImage image = emptyFrame(w, h);
    if (image.sizeInBytes() > m_pictureBudget) {
        // Out of room: a blank the size of a pixel, stretched, keeps the place.
        image = QImage(1, 1, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
    }
    m_pictureBudget -= image.sizeInBytes();
    m_frames.emplace(key, image);
    return image;
}

void DocumentBuilder::picture(const Picture &picture, const CharFormat &)
{
    QImage image = decode(picture);
    QSizeF size(pixels(picture.displayWidthTwips()), pixels(picture.displayHeightTwips()));
    if (!image.isNull()) {
        // A side the file leaves open follows the picture's own proportions.
        const QSizeF own = image.size();
        if (size.width() <= 0 && size.height() <= 0)
            size = own;
        else if (size.width() <= 0)
            size.setWidth(size.height() * own.width() / own.height());
        else if (size.height() <= 0)
            size.setHeight(size.width() * own.height() / own.width());
    } else {
        if (size.width() <= 0 || size.height() <= 0)
            return; // nothing to show, and no size to keep free
        image = frame(size);
    }
    size = size.boundedTo(QSizeF(kMaxPicturePixels, kMaxPicturePixels));

    const QUrl name(QStringLiteral("tavrel-rtf:%1").arg(++m_pictureSerial));
    m_document->addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat format;
    format.setName(name.toString());
    format.setWidth(size.width());
    format.setHeight(size.height());
    if (m_runs.empty())
        useFormat(formatIndex(CharFormat{}));
    m_pictures.push_back({m_text.size(), format});
    m_text.append(QChar::ObjectReplacementCharacter);
}

void DocumentBuilder::documentEnd(const ParagraphFormat &format)
{
    m_paragraphs.push_back(paragraphIndex(format));
    build();
}

void DocumentBuilder::build()
{
    QTextCursor cursor(m_document);
    cursor.movePosition(QTextCursor::End);
    const int base = cursor.position();

    // Everything goes in at once in the commonest format, paragraphs in the
    // commonest paragraph format.
    int common = -1;
    for (std::size_t i = 0; i < m_formats.size(); ++i) {
        if (common < 0 || m_formats[i].length > m_formats[std::size_t(common)].length)
            common = int(i);
    }
    std::vector<int> uses(m_paragraphFormats.size(), 0);
    int commonParagraph = 0;
    for (const int p : m_paragraphs) {
        if (++uses[std::size_t(p)] > uses[std::size_t(commonParagraph)])
            commonParagraph = p;
    }
    const QTextBlockFormat commonBlock = toQt(m_paragraphFormats[std::size_t(commonParagraph)]);
    cursor.setBlockFormat(commonBlock);
    const QTextBlock first = cursor.block();
    if (!m_text.isEmpty())
        cursor.insertText(m_text, m_formats[std::size_t(common)].format);
    // Into an empty document the text goes as it stands.
    if (base == 0)
        m_firstText = m_text;

    // Then the runs in other formats.
    for (std::size_t i = 0; i < m_runs.size(); ++i) {
        const Run &run = m_runs[i];
        if (run.format == common)
            continue;
        const qsizetype end = i + 1 < m_runs.size() ? m_runs[i + 1].start : m_text.size();
        cursor.setPosition(base + int(run.start));
        cursor.setPosition(base + int(end), QTextCursor::KeepAnchor);
        cursor.setCharFormat(m_formats[std::size_t(run.format)].format);
    }
    for (const PicturePlace &picture : m_pictures) {
        cursor.setPosition(base + int(picture.position));
        cursor.setPosition(base + int(picture.position) + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }

    // And the paragraphs in other formats.
    QTextBlock block = first;
    for (const int p : m_paragraphs) {
        if (!block.isValid())
            break;
        if (p != commonParagraph)
            QTextCursor(block).setBlockFormat(toQt(m_paragraphFormats[std::size_t(p)]));
        block = block.next();
    }

    m_text.clear();
    m_runs.clear();
    m_pictures.clear();
    m_paragraphs.clear();
}

} // namespace Rtf
