#include "platform/rtf/rtfdocumentwriter.h"

#include "platform/rtf/rtfwriter.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace Rtf {

namespace {

// Lengths of the document are in pixels at 96 dots per inch, as the reader makes
// them: 15 twips a pixel.
constexpr double kTwipsPerPixel = 15.0;
constexpr double kPointsPerPixel = 0.75;
// A table whose document has no width of its own spans a page of text: 6.5 inches.
constexpr double kPageTextPixels = 624.0;
constexpr int kMaxTwips = 144000;
constexpr int kMaxHalfPoints = 3276;

int twips(double pixels)
{
    return int(std::clamp<long>(std::lround(pixels * kTwipsPerPixel), -kMaxTwips, kMaxTwips));
}

std::u16string_view viewOf(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size())};
}

Color colorOf(const QColor &color)
{
    return {std::uint8_t(color.red()), std::uint8_t(color.green()), std::uint8_t(color.blue())};
}

bool hasBrush(const QTextCharFormat &format, QTextFormat::Property property)
{
    return format.hasProperty(property) && format.brushProperty(property).style() != Qt::NoBrush;
}

Underline underlineOf(const QTextCharFormat &format, const QFont &font)
{
    if (!format.hasProperty(QTextFormat::TextUnderlineStyle))
        return font.underline() ? Underline::Single : Underline::None;
    switch (format.underlineStyle()) {
    case QTextCharFormat::SingleUnderline: return Underline::Single;
    case QTextCharFormat::DashUnderline: return Underline::Dashed;
    case QTextCharFormat::DotLine: return Underline::Dotted;
    case QTextCharFormat::DashDotLine: return Underline::DashDot;
    case QTextCharFormat::DashDotDotLine: return Underline::DashDotDot;
    case QTextCharFormat::WaveUnderline: return Underline::Wave;
    default: return Underline::None; // a spell checker's line is no formatting
    }
}

class DocumentWriter
{
public:
    DocumentWriter(const QTextDocument &document, const BaselineOffset &offset)
        : m_document(document)
        , m_offset(offset)
        , m_baseFont(document.defaultFont())
    {
    }

    QByteArray write()
    {
        m_writer.setDefaultFont(viewOf(m_baseFont.family()));
        writeFrame(*m_document.rootFrame());
        const std::string rtf = m_writer.take();
        return QByteArray(rtf.data(), qsizetype(rtf.size()));
    }

private:
    struct Converted
    {
        CharFormat format; // its fontFamily views family
        std::u16string family;
        bool image = false;
    };
    struct Encoded
    {
        QByteArray png;
        QSize pixels;
        QSizeF own; // in device-independent pixels
    };

    void writeFrame(const QTextFrame &frame)
    {
        for (auto it = frame.begin(); !it.atEnd(); ++it) {
            if (const QTextFrame *child = it.currentFrame()) {
                if (const auto *table = qobject_cast<const QTextTable *>(child))
                    writeTable(*table);
                else
                    writeFrame(*child);
            } else if (const QTextBlock block = it.currentBlock(); block.isValid()) {
                writeRuns(block);
                if (block == m_document.lastBlock())
                    m_writer.documentEnd(paragraphFormat(block));
                else
                    m_writer.paragraphEnd(paragraphFormat(block));
            }
        }
    }

    static void collectBlocks(QTextFrame::iterator it, std::vector<QTextBlock> &blocks)
    {
        for (; !it.atEnd(); ++it) {
            if (const QTextFrame *child = it.currentFrame())
                collectBlocks(child->begin(), blocks);
            else if (it.currentBlock().isValid())
                blocks.push_back(it.currentBlock());
        }
    }

    std::vector<int> columnEdges(const QTextTable &table) const
    {
        const QTextTableFormat format = table.format();
        const int columns = table.columns();
        const double available =
            m_document.textWidth() > 0 ? m_document.textWidth() : kPageTextPixels;
        const double width = format.width().type() == QTextLength::VariableLength
                                 ? available
                                 : format.width().value(available);
        const QList<QTextLength> constraints = format.columnWidthConstraints();
        std::vector<double> widths(std::size_t(columns), -1.0);
        double fixed = 0;
        int variable = 0;
        for (int c = 0; c < columns; ++c) {
            if (c < constraints.size()
                && constraints.at(c).type() != QTextLength::VariableLength) {
                widths[std::size_t(c)] = constraints.at(c).value(width);
                fixed += widths[std::size_t(c)];
            } else {
                ++variable;
            }
        }
        const double share = variable > 0 ? std::max(0.0, width - fixed) / variable : 0;
        std::vector<int> edges;
        int edge = 0;
        for (const double w : widths) {
            // Every cell keeps some width: an edge that does not move on merges cells.
            edge += std::max(twips(w < 0 ? share : w), 15);
            edges.push_back(std::min(edge, kMaxTwips));
        }
        return edges;
    }

    void writeTable(const QTextTable &table)
    {
        const std::vector<int> edges = columnEdges(table);
        const double border = table.format().border();
        const int borderTwips = border > 0 ? std::max(1, twips(border)) : 0;
        const int columns = table.columns();
        for (int r = 0; r < table.rows(); ++r) {
            std::vector<TableCell> cells;
            std::vector<QTextTableCell> contents;
            for (int c = 0; c < columns;) {
                const QTextTableCell cell = table.cellAt(r, c);
                if (!cell.isValid()) {
                    ++c;
                    continue;
                }
                const int next = std::clamp(cell.column() + cell.columnSpan(), c + 1, columns);
                TableCell out;
                out.rightEdge = edges[std::size_t(next - 1)];
                out.mergedFromAbove = cell.row() != r;
                out.mergesDown = !out.mergedFromAbove && cell.rowSpan() > 1;
                out.borderTwips = borderTwips;
                cells.push_back(out);
                contents.push_back(out.mergedFromAbove ? QTextTableCell() : cell);
                c = next;
            }
            if (cells.empty())
                continue;
            m_writer.beginRow(cells);
            for (const QTextTableCell &cell : contents)
                writeCell(cell);
            m_writer.endRow();
        }
    }

    // A table inside the cell gives the cell its paragraphs.
    void writeCell(const QTextTableCell &cell)
    {
        std::vector<QTextBlock> blocks;
        if (cell.isValid())
            collectBlocks(cell.begin(), blocks);
        if (blocks.empty()) {
            m_writer.cellEnd(ParagraphFormat{});
            return;
        }
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            writeRuns(blocks[i]);
            if (i + 1 < blocks.size())
                m_writer.paragraphEnd(paragraphFormat(blocks[i]));
            else
                m_writer.cellEnd(paragraphFormat(blocks[i]));
        }
    }

    void writeRuns(const QTextBlock &block)
    {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const Converted &run = converted(fragment);
            const QString text = fragment.text();
            if (run.image) {
                const QTextImageFormat image = fragment.charFormat().toImageFormat();
                for (qsizetype i = 0; i < text.size(); ++i)
                    writePicture(image, run.format);
                continue;
            }
            // An object Qt knows no picture for has no text.
            qsizetype from = 0;
            while (from < text.size()) {
                qsizetype to = text.indexOf(QChar::ObjectReplacementCharacter, from);
                if (to < 0)
                    to = text.size();
                m_writer.text(viewOf(text).substr(std::size_t(from), std::size_t(to - from)),
                              run.format);
                from = to + 1;
            }
        }
    }

    const Converted &converted(const QTextFragment &fragment)
    {
        const int index = fragment.charFormatIndex();
        if (index >= 0 && std::size_t(index) < m_formats.size() && m_formats[std::size_t(index)])
            return *m_formats[std::size_t(index)];
        auto run = std::make_unique<Converted>();
        convert(fragment.charFormat(), *run);
        if (index < 0)
            return *(m_uncached = std::move(run));
        if (std::size_t(index) >= m_formats.size())
            m_formats.resize(std::size_t(index) + 1);
        m_formats[std::size_t(index)] = std::move(run);
        return *m_formats[std::size_t(index)];
    }

    void convert(const QTextCharFormat &f, Converted &out) const
    {
        const QFont font = f.font().resolve(m_baseFont);
        CharFormat &c = out.format;
        out.image = f.isImageFormat();
        out.family = font.family().toStdU16String();
        c.fontFamily = out.family;
        double points = font.pointSizeF();
        if (points <= 0 && font.pixelSize() > 0)
            points = font.pixelSize() * kPointsPerPixel;
        if (points > 0)
            c.halfPoints = int(std::clamp<long>(std::lround(points * 2), 1, kMaxHalfPoints));
        c.bold = font.bold();
        c.italic = font.italic();
        c.strike = font.strikeOut();
        c.underline = underlineOf(f, font);
        if (hasBrush(f, QTextFormat::ForegroundBrush)) {
            c.hasColor = true;
            c.color = colorOf(f.foreground().color());
        }
        if (hasBrush(f, QTextFormat::BackgroundBrush)) {
            c.hasBackground = true;
            c.background = colorOf(f.background().color());
        }
        switch (f.verticalAlignment()) {
        case QTextCharFormat::AlignSuperScript:
            c.vertical = VerticalPosition::Superscript;
            break;
        case QTextCharFormat::AlignSubScript:
            c.vertical = VerticalPosition::Subscript;
            break;
        default: {
            // RTF raises text in half-points: ten twips.
            const int raise = m_offset ? m_offset(f) : offsetFromShare(f, font);
            c.offsetHalfPoints = int(std::clamp<long>(std::lround(raise / 10.0),
                                                      -kMaxHalfPoints, kMaxHalfPoints));
            break;
        }
        }
    }

    static int offsetFromShare(const QTextCharFormat &format, const QFont &font)
    {
        if (format.baselineOffset() == 0)
            return 0;
        const QFontMetricsF metrics(font);
        const double height = metrics.ascent() + metrics.descent();
        return twips(format.baselineOffset() / 100.0 * height);
    }

    ParagraphFormat paragraphFormat(const QTextBlock &block) const
    {
        const QTextBlockFormat f = block.blockFormat();
        ParagraphFormat p;
        const Qt::Alignment horizontal = f.alignment() & Qt::AlignHorizontal_Mask;
        if (horizontal & Qt::AlignJustify)
            p.alignment = Alignment::Justify;
        else if (horizontal & Qt::AlignHCenter)
            p.alignment = Alignment::Center;
        else if (horizontal & (Qt::AlignRight | Qt::AlignTrailing))
            p.alignment = Alignment::Right;
        p.leftIndent = twips(f.leftMargin() + f.indent() * m_document.indentWidth());
        p.rightIndent = twips(f.rightMargin());
        p.firstLineIndent = twips(f.textIndent());
        p.spaceBefore = std::max(0, twips(f.topMargin()));
        p.spaceAfter = std::max(0, twips(f.bottomMargin()));
        return p;
    }

    const Encoded &encoded(const QString &name)
    {
        const auto known = m_pictures.constFind(name);
        if (known != m_pictures.constEnd())
            return *known;
        Encoded e;
        const QVariant resource = m_document.resource(QTextDocument::ImageResource, QUrl(name));
        QImage image;
        switch (resource.typeId()) {
        case QMetaType::QImage: image = resource.value<QImage>(); break;
        case QMetaType::QPixmap: image = resource.value<QPixmap>().toImage(); break;
        case QMetaType::QByteArray: image.loadFromData(resource.toByteArray()); break;
        default: break;
        }
        if (!image.isNull()) {
            QBuffer buffer(&e.png);
            buffer.open(QIODevice::WriteOnly);
            if (!image.save(&buffer, "PNG"))
                e.png.clear();
            e.pixels = image.size();
            e.own = image.deviceIndependentSize();
        }
        return *m_pictures.insert(name, e);
    }

    // The size the picture is shown at: a side the format leaves open follows the
    // picture's own proportions, as Qt lays it out.
    static QSizeF shownSize(const QTextImageFormat &format, const QSizeF &own)
    {
        double w = format.width();
        double h = format.height();
        if (w > 0 && h <= 0 && own.width() > 0)
            h = w * own.height() / own.width();
        else if (h > 0 && w <= 0 && own.height() > 0)
            w = h * own.width() / own.height();
        else if (w <= 0 && h <= 0)
            return own;
        return {w, h};
    }

    void writePicture(const QTextImageFormat &format, const CharFormat &charFormat)
    {
        const Encoded &e = encoded(format.name());
        if (e.png.isEmpty())
            return;
        const QSizeF shown = shownSize(format, e.own);
        Picture picture;
        picture.type = PictureType::Png;
        picture.data = {reinterpret_cast<const std::uint8_t *>(e.png.constData()),
                        std::size_t(e.png.size())};
        picture.width = e.pixels.width();
        picture.height = e.pixels.height();
        picture.goalWidth = std::max(0, twips(shown.width()));
        picture.goalHeight = std::max(0, twips(shown.height()));
        m_writer.picture(picture, charFormat);
    }

    const QTextDocument &m_document;
    const BaselineOffset &m_offset;
    const QFont m_baseFont;
    Writer m_writer;
    // Converted formats by the document's format index: a large document has few
    // formats and many runs.
    std::vector<std::unique_ptr<Converted>> m_formats;
    std::unique_ptr<Converted> m_uncached;
    QHash<QString, Encoded> m_pictures;
};

} // namespace

QByteArray writeDocument(const QTextDocument &document, const BaselineOffset &offset)
{
    return DocumentWriter(document, offset).write();
}

} // namespace Rtf
