// The RTF writer: what it writes reads back as the same document, run by run, for
// files of real word processors and for documents made in the pad.

#include "rtftestfiles.h"

#include "platform/richtextpad.h"
#include "platform/rtf/rtfreader.h"
#include "platform/rtf/rtfwriter.h"

#include <QCryptographicHash>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

namespace {

using RtfTestFiles::folder;
using RtfTestFiles::readAll;

// What the reader hands on, one line an event; text in one format is one line
// however many pieces the reader handed it in.
class Recorder : public Rtf::Handler
{
public:
    QStringList events;

    void text(std::u16string_view text, const Rtf::CharFormat &f) override
    {
        const QString key = describe(f);
        const QString piece = QString::fromStdU16String(std::u16string(text));
        if (key == m_lastKey && !events.isEmpty()) {
            events.last() += piece;
            return;
        }
        m_lastKey = key;
        events << key + QStringLiteral(" | ") + piece;
    }
    void paragraphEnd(const Rtf::ParagraphFormat &p) override
    {
        m_lastKey.clear();
        events << QStringLiteral("paragraph ") + describe(p);
    }
    void picture(const Rtf::Picture &p, const Rtf::CharFormat &) override
    {
        m_lastKey.clear();
        // A picture of a kind RTF has no keyword for cannot be written back.
        if (p.type == Rtf::PictureType::Other)
            return;
        const QByteArray data(reinterpret_cast<const char *>(p.data.data()),
                              qsizetype(p.data.size()));
        events << QStringLiteral("picture %1 %2x%3 %4x%5 %6%% %7%% %8")
                      .arg(int(p.type))
                      .arg(p.width)
                      .arg(p.height)
                      .arg(p.goalWidth)
                      .arg(p.goalHeight)
                      .arg(p.scaleX)
                      .arg(p.scaleY)
                      .arg(QString::fromLatin1(
                          QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex()));
    }
    void documentEnd(const Rtf::ParagraphFormat &p) override
    {
        events << QStringLiteral("end ") + describe(p);
    }

private:
    static QString describe(const Rtf::CharFormat &f)
    {
        const auto rgb = [](bool given, Rtf::Color c) {
            return given ? QStringLiteral("%1,%2,%3").arg(c.red).arg(c.green).arg(c.blue)
                         : QStringLiteral("auto");
        };
        return QStringLiteral("[%1] %2 b%3 i%4 s%5 u%6 fg %7 bg %8 v%9 up%10")
            .arg(QString::fromStdU16String(std::u16string(f.fontFamily)))
            .arg(f.halfPoints)
            .arg(f.bold)
            .arg(f.italic)
            .arg(f.strike)
            .arg(int(f.underline))
            .arg(rgb(f.hasColor, f.color), rgb(f.hasBackground, f.background))
            .arg(int(f.vertical))
            .arg(f.offsetHalfPoints);
    }
    static QString describe(const Rtf::ParagraphFormat &p)
    {
        return QStringLiteral("q%1 li%2 ri%3 fi%4 sb%5 sa%6")
            .arg(int(p.alignment))
            .arg(p.leftIndent)
            .arg(p.rightIndent)
            .arg(p.firstLineIndent)
            .arg(p.spaceBefore)
            .arg(p.spaceAfter);
    }

    QString m_lastKey;
};

QString alignmentName(Qt::Alignment a)
{
    if (a & Qt::AlignJustify)
        return QStringLiteral("justified");
    if (a & Qt::AlignHCenter)
        return QStringLiteral("centred");
    if (a & Qt::AlignRight)
        return QStringLiteral("right");
    return QStringLiteral("left");
}

QString brushName(const QTextCharFormat &f, QTextFormat::Property property)
{
    if (!f.hasProperty(property) || f.brushProperty(property).style() == Qt::NoBrush)
        return QStringLiteral("auto");
    return f.brushProperty(property).color().name();
}

double halfPoints(const QFont &font)
{
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    return qRound(points * 2);
}

int twips(double pixels)
{
    return qRound(pixels * 15);
}

// The document as the user sees it: per paragraph its alignment and indents, per
// run of one look its text with the font family, size, styles, colours and raise
// (in half-points, as RTF keeps it) the pad reports, per picture its shown size
// and its pixels.
QStringList describe(RichTextPad &pad)
{
    QTextDocument *document = pad.document();
    const QFont base = document->defaultFont();
    QStringList out;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat b = block.blockFormat();
        out << QStringLiteral("paragraph %1 left %2 first %3 above %4 below %5 right %6")
                   .arg(alignmentName(b.alignment()))
                   .arg(twips(b.leftMargin()))
                   .arg(twips(b.textIndent()))
                   .arg(twips(b.topMargin()))
                   .arg(twips(b.bottomMargin()))
                   .arg(twips(b.rightMargin()));
        QString key;
        QString text;
        const auto flush = [&] {
            if (!text.isEmpty())
                out << key + QStringLiteral(" | ") + text;
            text.clear();
            key.clear();
        };
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            if (f.isImageFormat()) {
                flush();
                const QTextImageFormat image = f.toImageFormat();
                const QImage pixels = document->resource(QTextDocument::ImageResource,
                                                         QUrl(image.name()))
                                          .value<QImage>()
                                          .convertToFormat(QImage::Format_ARGB32);
                const QSizeF shown = image.width() > 0 ? QSizeF(image.width(), image.height())
                                                       : QSizeF(pixels.size());
                const QByteArray bits(reinterpret_cast<const char *>(pixels.constBits()),
                                      pixels.sizeInBytes());
                out << QStringLiteral("picture %1x%2 twips, %3x%4 pixels %5")
                           .arg(twips(shown.width()))
                           .arg(twips(shown.height()))
                           .arg(pixels.width())
                           .arg(pixels.height())
                           .arg(QString::fromLatin1(
                               QCryptographicHash::hash(bits, QCryptographicHash::Sha1).toHex()));
                continue;
            }
            const QFont font = f.font().resolve(base);
            pad.setSelStart(fragment.position());
            pad.setSelLength(fragment.length());
            const int raise = qRound(pad.selCharOffset().value_or(99999) / 10.0);
            const int underline = f.hasProperty(QTextFormat::TextUnderlineStyle)
                                      ? int(f.underlineStyle())
                                      : int(font.underline());
            const QString look =
                QStringLiteral("%1 %2 bold %3 italic %4 underline %5 strike %6 colour %7 "
                               "background %8 vertical %9 raise %10")
                    .arg(font.family())
                    .arg(halfPoints(font))
                    .arg(font.bold())
                    .arg(font.italic())
                    .arg(underline)
                    .arg(font.strikeOut())
                    .arg(brushName(f, QTextFormat::ForegroundBrush),
                         brushName(f, QTextFormat::BackgroundBrush))
                    .arg(int(f.verticalAlignment()))
                    .arg(raise);
            if (look != key)
                flush();
            key = look;
            text += fragment.text();
        }
        flush();
    }
    return out;
}

// Where two descriptions first differ.
QString difference(const QStringList &actual, const QStringList &expected)
{
    const qsizetype n = qMin(actual.size(), expected.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (actual.at(i) != expected.at(i)) {
            return QStringLiteral("line %1:\n  got      %2\n  expected %3")
                .arg(i)
                .arg(actual.at(i), expected.at(i));
        }
    }
    if (actual.size() != expected.size())
        return QStringLiteral("%1 lines, expected %2").arg(actual.size()).arg(expected.size());
    return {};
}

// Saves the pad's document as RTF and opens it in a second pad, as a user would.
bool reopen(const RichTextPad &pad, RichTextPad &into, QByteArray *written = nullptr)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.rtf"));
    const QByteArray rtf = pad.toRtf();
    if (written)
        *written = rtf;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size())
        return false;
    file.close();
    return into.loadFile(path);
}

QImage testPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height, QColor(200, 30, 40));
    painter.fillRect(width / 2, height / 3, width / 2, height / 3, QColor(20, 90, 200, 128));
    return image;
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void readerEventsSurviveAWrite_data();
    void readerEventsSurviveAWrite();
    void realFilesSurviveASaveInThePad_data();
    void realFilesSurviveASaveInThePad();
    void whatTheUserMadeSurvivesASave();
    void textIsEscapedAndSevenBit();
    void tablesBecomeRtfTables();
};

void TestRtfWriter::readerEventsSurviveAWrite_data()
{
    RtfTestFiles::addEveryFile();
    // What the files above lack: every underline and paragraph value, a raise
    // with superscript, a font whose name holds RTF's own characters, bytes
    // Windows-1252 leaves unassigned, surrogates, cells and pictures of each kind.
    QTest::newRow("every value")
        << QStringLiteral(
               "{\\rtf1\\ansi{\\fonttbl{\\f0 Plain;}{\\f1 Odd\\u59?\\{\\}\\\\\\u9?name;}"
               "{\\f2 \\u26126?\\u26397?;}}{\\colortbl;\\red1\\green2\\blue3;\\red0\\green0"
               "\\blue0;}\\f1\\fs21 a{\\uldb b}{\\uld c}{\\uldash d}{\\uldashd e}{\\uldashdd f}"
               "{\\ulwave g}{\\striked h}{\\super\\up4 i}{\\sub\\dn3 j}{\\cf2\\highlight1 k}"
               "\\'81\\'7f\\u-10179?\\u-8704?\\par\\pard\\qj\\li-300\\ri200\\fi-100\\sb20\\sa40"
               "\\f2 l\\cell m\\cell\\row{\\pict\\jpegblip\\picw2\\pich3\\picscalex50 ffd8}"
               "{\\pict\\dibitmap0\\picwgoal100 2800}{\\pict\\wmetafile8\\picw100 0100}"
               "{\\pict\\emfblip\\pich9 01}\\par\\pard\\qr\\tab end}");
}

void TestRtfWriter::readerEventsSurviveAWrite()
{
    QFETCH(QString, name);
    const QByteArray input = name.startsWith(QLatin1Char('{'))
                                 ? name.toLatin1()
                                 : readAll(folder() + QLatin1Char('/') + name);
    QVERIFY(!input.isEmpty());
    Recorder first;
    Rtf::Reader(first).read(input.toStdString());
    Rtf::Writer writer;
    Rtf::Reader(writer).read(input.toStdString());
    const std::string rtf = writer.take();
    Recorder second;
    Rtf::Reader(second).read(rtf);
    const QString diff = difference(second.events, first.events);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestRtfWriter::realFilesSurviveASaveInThePad_data()
{
    RtfTestFiles::addEveryFile();
}

void TestRtfWriter::realFilesSurviveASaveInThePad()
{
    QFETCH(QString, name);
    RichTextPad original;
    QVERIFY(original.loadFile(folder() + QLatin1Char('/') + name));
    RichTextPad reopened;
    QByteArray written;
    QVERIFY(reopen(original, reopened, &written));
    const QString diff = difference(describe(reopened), describe(original));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    // Saved again, the document gives the same file: nothing drifts from save to save.
    QCOMPARE(reopened.toRtf(), written);
}

void TestRtfWriter::whatTheUserMadeSurvivesASave()
{
    RichTextPad pad;
    pad.resize(600, 400);
    auto type = [&pad](const QString &text) { QTest::keyClicks(&pad, text); };
    auto selectBack = [&pad](int length) {
        pad.setSelStart(pad.selStart() - length);
        pad.setSelLength(length);
    };
    auto caretToEnd = [&pad] { pad.setSelStart(pad.document()->characterCount()); };

    type(QStringLiteral("Typed text, "));
    pad.setSelBold(true);
    type(QStringLiteral("bold"));
    pad.setSelBold(false);
    pad.setSelItalic(true);
    type(QStringLiteral(" italic"));
    pad.setSelItalic(false);
    pad.setSelUnderline(true);
    type(QStringLiteral(" underlined"));
    pad.setSelUnderline(false);
    pad.setSelStrikeThru(true);
    type(QStringLiteral(" struck"));
    pad.setSelStrikeThru(false);
    QTest::keyClick(&pad, Qt::Key_Return);
    pad.setSelAlignment(RichTextPad::AlignCenter);
    pad.setSelText(QStringLiteral("Liberation Serif 20, blue on yellow"));
    selectBack(35);
    pad.setSelFontName(QStringLiteral("Liberation Serif"));
    pad.setSelFontSize(20);
    pad.setSelColor(QColor(0, 0, 255));
    QTextCharFormat highlight;
    highlight.setBackground(QColor(255, 255, 0));
    pad.textCursor().mergeCharFormat(highlight);
    caretToEnd();
    QTest::keyClick(&pad, Qt::Key_Return);
    pad.setSelAlignment(RichTextPad::AlignRight);
    // Script as the toolbar sets it: raised 55 twips, lowered 50, at 7 points.
    type(QStringLiteral("E=mc"));
    pad.setSelCharOffset(55);
    pad.setSelFontSize(7);
    type(QStringLiteral("2"));
    pad.setSelCharOffset(0);
    pad.setSelFontSize(12);
    type(QStringLiteral(" H"));
    pad.setSelCharOffset(-50);
    pad.setSelFontSize(7);
    type(QStringLiteral("2"));
    pad.setSelCharOffset(0);
    pad.setSelFontSize(12);
    type(QStringLiteral("O"));
    QTest::keyClick(&pad, Qt::Key_Return);
    pad.setSelAlignment(RichTextPad::AlignLeft);
    // Text beyond Windows-1252, RTF's own characters, a tab and a line break.
    pad.setSelText(QStringLiteral("Ελληνικά 中文 😀 caf\u00e9 \u20ac {braces} back\\slash\tand"
                                  "\u2028tab"));
    // A symbol: a Unicode character in a symbol font.
    pad.setSelFontName(QStringLiteral("Symbol"));
    pad.setSelText(QStringLiteral(" \u03b1\u2211"));
    pad.setSelFontName(QStringLiteral("DejaVu Sans"));
    QTest::keyClick(&pad, Qt::Key_Return);
    // Pictures: one at its own size, one at a size of its own.
    pad.insertPicture(testPicture(24, 16));
    pad.insertPicture(testPicture(30, 30), QSizeF(45, 22.5));
    type(QStringLiteral(" after"));
    pad.setBackColor(QColor(0, 128, 128));

    RichTextPad reopened;
    QByteArray written;
    QVERIFY(reopen(pad, reopened, &written));
    const QStringList before = describe(pad);
    const QString diff = difference(describe(reopened), before);
    QVERIFY2(diff.isEmpty(), qPrintable(diff + QLatin1Char('\n') + QString::fromLatin1(written)));
    QCOMPARE(reopened.text(), pad.text());
    // The description did see what was made.
    const QString all = before.join(QLatin1Char('\n'));
    for (const char *seen : {"right", "centred", "Liberation Serif 40 ", "raise 6", "raise -5",
                             "#0000ff background #ffff00", "Symbol ", "picture 360x240 twips",
                             "picture 675x338 twips, 30x30 pixels"}) {
        QVERIFY2(all.contains(QLatin1String(seen)), seen);
    }
    // RTF raises in half-points: 55 twips go out as 6, 50 as 5.
    QVERIFY(written.contains("\\up6 ") && written.contains("\\dn5 "));
}

void TestRtfWriter::textIsEscapedAndSevenBit()
{
    RichTextPad pad;
    pad.setText(QStringLiteral("{a}\\b\tc \u00e9\u20ac\u03b1\u4e2d\U0001F600"));
    const QByteArray rtf = pad.toRtf();
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"));
    for (const char c : rtf)
        QVERIFY2(uchar(c) < 0x80, rtf.constData());
    // Windows-1252 as \'hh; anything else as \uN, signed, with "?" for old readers.
    QVERIFY2(rtf.contains(" \\{a\\}\\\\b\\tab c \\'e9\\'80\\u945?\\u20013?\\u-10179?\\u-8704?}"),
             rtf.constData());
}

void TestRtfWriter::tablesBecomeRtfTables()
{
    RichTextPad pad;
    QTextCursor cursor(pad.document());
    cursor.insertText(QStringLiteral("Before"));
    QTextTableFormat format;
    format.setBorder(1);
    format.setWidth(QTextLength(QTextLength::FixedLength, 600));
    QTextTable *table = cursor.insertTable(3, 3, format);
    table->mergeCells(0, 0, 2, 1); // a1 over the first cell of the second row
    table->mergeCells(2, 1, 1, 2); // b3 across the last column
    const struct {
        int row;
        int column;
        const char *text;
    } cells[] = {{0, 0, "a1"}, {0, 1, "b1\nsecond"}, {0, 2, "c1"}, {1, 1, "b2"},
                 {1, 2, "c2"}, {2, 0, "a3"}, {2, 1, "b3"}};
    for (const auto &cell : cells) {
        table->cellAt(cell.row, cell.column)
            .firstCursorPosition()
            .insertText(QString::fromLatin1(cell.text));
    }
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("After"));

    const QByteArray rtf = pad.toRtf();
    QCOMPARE(rtf.count("\\trowd"), 3);
    QCOMPARE(rtf.count("\\row"), 3);
    QCOMPARE(rtf.count("\\cell\n"), 8);
    QCOMPARE(rtf.count("\\clvmgf"), 1);
    QCOMPARE(rtf.count("\\clvmrg"), 1);
    QVERIFY(rtf.contains("\\pard\\intbl b1\\par\n\\pard\\intbl second\\cell"));
    // The last row has two cells, the second to the table's right edge: 600 pixels.
    const qsizetype lastRow = rtf.lastIndexOf("\\trowd");
    const QByteArray row = rtf.mid(lastRow, rtf.indexOf('\n', lastRow) - lastRow);
    QCOMPARE(row.count("\\cellx"), 2);
    QVERIFY2(row.endsWith("\\cellx9000"), row.constData());
    QVERIFY2(row.contains("\\brdrs\\brdrw15"), row.constData());

    // Read back, each row is a line of cells separated by tabs, the cell of two
    // paragraphs keeping both as lines.
    RichTextPad reopened;
    QVERIFY(reopen(pad, reopened));
    QCOMPARE(reopened.text(), QStringLiteral("Before\na1\tb1\nsecond\tc1\n\tb2\tc2\na3\tb3\n"
                                             "After"));
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
