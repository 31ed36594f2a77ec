// RTF into a QTextDocument and into the pad: files written by real word
// processors keep their words, lines and formatting.

#include "rtftestfiles.h"

#include "platform/richtextpad.h"
#include "platform/rtf/rtfdocumentbuilder.h"
#include "platform/rtf/rtfloader.h"

#include <QtTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>

namespace {

using RtfTestFiles::firstDifference;
using RtfTestFiles::readAll;
using RtfTestFiles::words;

QString rtfFolder()
{
    return RtfTestFiles::folder();
}

QList<QStringList> nonEmptyLines(const QString &text, QList<bool> *hasTab = nullptr)
{
    QList<QStringList> lines;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QStringList w = words(line);
        if (w.isEmpty())
            continue;
        lines.append(w);
        if (hasTab)
            hasTab->append(line.contains(QLatin1Char('\t')));
    }
    return lines;
}

// Each line read must be one line of the reference; a table row, which the reader
// writes as one line with tabs, may hold several of the reference's lines.
QString lineDifference(const QString &actual, const QString &expected)
{
    QList<bool> tabbed;
    const QList<QStringList> got = nonEmptyLines(actual, &tabbed);
    const QList<QStringList> want = nonEmptyLines(expected);
    qsizetype j = 0;
    for (qsizetype i = 0; i < got.size(); ++i) {
        QStringList joined;
        qsizetype k = j;
        while (k < want.size() && joined.size() < got.at(i).size()) {
            joined += want.at(k++);
            if (!tabbed.at(i))
                break;
        }
        if (joined != got.at(i)) {
            return QStringLiteral("line %1: got [%2] expected [%3]")
                .arg(i)
                .arg(got.at(i).join(QLatin1Char(' ')),
                     j < want.size() ? want.at(j).join(QLatin1Char(' ')) : QString());
        }
        j = k;
    }
    if (j != want.size())
        return QStringLiteral("%1 lines of the reference are missing").arg(want.size() - j);
    return {};
}

QString plainTextOf(const QTextDocument &document)
{
    QString text = document.toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

QString expectedText(const QString &rtfName)
{
    const QString base = QFileInfo(rtfName).completeBaseName();
    return QString::fromUtf8(readAll(rtfFolder() + QStringLiteral("/expected/") + base
                                     + QStringLiteral(".txt")));
}

std::unique_ptr<QTextDocument> load(const QByteArray &rtf)
{
    auto document = std::make_unique<QTextDocument>();
    if (!Rtf::loadDocument(rtf, document.get()))
        return nullptr;
    return document;
}

// The character format of the first character of the first match of needle.
QTextCharFormat formatOf(const QTextDocument &document, const QString &needle)
{
    const QTextCursor found = document.find(needle);
    if (found.isNull()) {
        qWarning() << needle << "is not in" << document.toPlainText();
        return {};
    }
    QTextCursor at(const_cast<QTextDocument *>(&document));
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

QTextBlockFormat blockOf(const QTextDocument &document, const QString &needle)
{
    return document.find(needle).block().blockFormat();
}

QList<QTextImageFormat> images(const QTextDocument &document)
{
    QList<QTextImageFormat> out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                out.append(format.toImageFormat());
        }
    }
    return out;
}

} // namespace

class TestRtfDocument : public QObject
{
    Q_OBJECT

private slots:
    void realFilesKeepTheirWordsAndLines_data();
    void realFilesKeepTheirWordsAndLines();
    void realFilesKeepTheirFormatting();
    void formattingBecomesCharFormats();
    void paragraphFormatsBecomeBlockFormats();
    void pictures();
    void notRtfLeavesTheDocumentAlone();
    void padLoadsRtfWithFormattingAndKeepsItsBaseFont();
    void padLoadsOtherFilesAsPlainText();
    void padLoadsWhatABrokenFileHolds();
};

void TestRtfDocument::realFilesKeepTheirWordsAndLines_data()
{
    RtfTestFiles::addEveryFile();
}

void TestRtfDocument::realFilesKeepTheirWordsAndLines()
{
    QFETCH(QString, name);
    const QString expected = expectedText(name);
    QVERIFY2(!expected.isEmpty(), qPrintable(name));
    const auto document = load(readAll(rtfFolder() + QLatin1Char('/') + name));
    QVERIFY(document);
    const QString actual = plainTextOf(*document);
    const QString wordDiff = firstDifference(words(actual), words(expected));
    QVERIFY2(wordDiff.isEmpty(), qPrintable(wordDiff));
    const QString lineDiff = lineDifference(actual, expected);
    QVERIFY2(lineDiff.isEmpty(), qPrintable(lineDiff));
}

void TestRtfDocument::realFilesKeepTheirFormatting()
{
    for (const char *name : {"office-from-odt.rtf", "office-from-docx.rtf"}) {
        const auto document = load(readAll(rtfFolder() + QLatin1Char('/') + QLatin1String(name)));
        QVERIFY(document);
        QCOMPARE(formatOf(*document, QStringLiteral("Bold")).fontWeight(), int(QFont::Bold));
        QVERIFY(formatOf(*document, QStringLiteral("italic")).fontItalic());
        QVERIFY(formatOf(*document, QStringLiteral("under")).fontUnderline());
        QVERIFY(formatOf(*document, QStringLiteral("strike")).fontStrikeOut());
        QCOMPARE(formatOf(*document, QStringLiteral("red")).foreground().color(),
                 QColor(192, 0, 0));
        QVERIFY(!formatOf(*document, QStringLiteral("Bold")).fontItalic());
        QCOMPARE(blockOf(*document, QStringLiteral("Centered")).alignment(),
                 Qt::Alignment(Qt::AlignHCenter));
        QCOMPARE(blockOf(*document, QStringLiteral("Right")).alignment(),
                 Qt::AlignRight | Qt::AlignAbsolute);
        QCOMPARE(blockOf(*document, QStringLiteral("Justified")).alignment(),
                 Qt::Alignment(Qt::AlignJustify));
        // The line break stays inside the right-aligned paragraph.
        QVERIFY(document->find(QStringLiteral("Right")).block().text().contains(
            QStringLiteral("second line after br")));
        // One picture: the PNG, not its metafile copy.
        const QList<QTextImageFormat> pictures = images(*document);
        QCOMPARE(pictures.size(), 1);
        const QImage image = document->resource(QTextDocument::ImageResource,
                                                QUrl(pictures.first().name())).value<QImage>();
        QCOMPARE(image.size(), QSize(8, 8));
    }

    const auto pandoc = load(readAll(rtfFolder() + QStringLiteral("/pandoc.rtf")));
    QVERIFY(pandoc);
    QCOMPARE(formatOf(*pandoc, QStringLiteral("Title")).fontPointSize(), 18.0);
    QCOMPARE(formatOf(*pandoc, QStringLiteral("Title")).fontFamilies().toStringList(),
             QStringList{QStringLiteral("Helvetica")});
    QCOMPARE(formatOf(*pandoc, QStringLiteral("2O")).verticalAlignment(),
             QTextCharFormat::AlignSubScript);
    QCOMPARE(formatOf(*pandoc, QStringLiteral("2 ")).verticalAlignment(),
             QTextCharFormat::AlignSuperScript);
    QVERIFY(formatOf(*pandoc, QStringLiteral("strike")).fontStrikeOut());
}

void TestRtfDocument::formattingBecomesCharFormats()
{
    const auto document = load(
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss DejaVu Sans;}}"
        "{\\colortbl;\\red0\\green128\\blue0;\\red255\\green255\\blue0;}"
        "\\f0\\fs30 sized {\\b bold}{\\i italic}{\\ul under}{\\uld dots}{\\ulwave wave}"
        "{\\strike struck}{\\cf1 green}{\\highlight2 marked}{\\super sup}{\\sub sub}"
        "{\\up6 raised}{\\dn3 lowered}\\plain plain}");
    QVERIFY(document);
    const QTextCharFormat sized = formatOf(*document, QStringLiteral("sized"));
    QCOMPARE(sized.fontFamilies().toStringList(), QStringList{QStringLiteral("DejaVu Sans")});
    QCOMPARE(sized.fontPointSize(), 15.0);
    QVERIFY(!sized.hasProperty(QTextFormat::FontWeight));
    QCOMPARE(formatOf(*document, QStringLiteral("bold")).fontWeight(), int(QFont::Bold));
    QVERIFY(formatOf(*document, QStringLiteral("italic")).fontItalic());
    QVERIFY(formatOf(*document, QStringLiteral("under")).fontUnderline());
    QCOMPARE(formatOf(*document, QStringLiteral("dots")).underlineStyle(),
             QTextCharFormat::DotLine);
    QCOMPARE(formatOf(*document, QStringLiteral("wave")).underlineStyle(),
             QTextCharFormat::WaveUnderline);
    QVERIFY(formatOf(*document, QStringLiteral("struck")).fontStrikeOut());
    QCOMPARE(formatOf(*document, QStringLiteral("green")).foreground().color(),
             QColor(0, 128, 0));
    QCOMPARE(formatOf(*document, QStringLiteral("marked")).background().color(),
             QColor(255, 255, 0));
    QCOMPARE(formatOf(*document, QStringLiteral("sup")).verticalAlignment(),
             QTextCharFormat::AlignSuperScript);
    QCOMPARE(formatOf(*document, QStringLiteral("sub")).verticalAlignment(),
             QTextCharFormat::AlignSubScript);
    QVERIFY(formatOf(*document, QStringLiteral("raised")).baselineOffset() > 0);
    QVERIFY(formatOf(*document, QStringLiteral("lowered")).baselineOffset() < 0);
    QCOMPARE(formatOf(*document, QStringLiteral("raised")).verticalAlignment(),
             QTextCharFormat::AlignNormal);
    const QTextCharFormat plain = formatOf(*document, QStringLiteral("plain"));
    QVERIFY(!plain.hasProperty(QTextFormat::FontPointSize));
    QVERIFY(!plain.hasProperty(QTextFormat::ForegroundBrush));
    QVERIFY(!plain.hasProperty(QTextFormat::FontFamilies));
    QVERIFY(!plain.fontUnderline());
}

void TestRtfDocument::paragraphFormatsBecomeBlockFormats()
{
    const auto document = load("{\\rtf1 \\qc centre\\par\\pard\\qr right\\line broken\\par"
                               "\\pard\\qj\\li1500\\fi-3000\\sb150\\sa300 justified\\par"
                               "\\pard left\\tab tab\\par}");
    QVERIFY(document);
    QCOMPARE(document->toPlainText(),
             QStringLiteral("centre\nright\nbroken\njustified\nleft\ttab\n"));
    QCOMPARE(document->blockCount(), 5);
    QCOMPARE(blockOf(*document, QStringLiteral("centre")).alignment(),
             Qt::Alignment(Qt::AlignHCenter));
    const QTextBlock right = document->find(QStringLiteral("right")).block();
    QCOMPARE(right.blockFormat().alignment(), Qt::AlignRight | Qt::AlignAbsolute);
    QCOMPARE(right.text(), QString::fromUtf16(u"right\u2028broken"));
    const QTextBlockFormat justified = blockOf(*document, QStringLiteral("justified"));
    QCOMPARE(justified.alignment(), Qt::Alignment(Qt::AlignJustify));
    QCOMPARE(justified.leftMargin(), 100.0);
    // A hanging first line stops at the page margin.
    QCOMPARE(justified.textIndent(), -100.0);
    QCOMPARE(justified.topMargin(), 10.0);
    QCOMPARE(justified.bottomMargin(), 20.0);
    // \pard goes back to the defaults.
    const QTextBlockFormat left = blockOf(*document, QStringLiteral("left"));
    QVERIFY(!left.hasProperty(QTextFormat::BlockAlignment));
    QCOMPARE(left.leftMargin(), 0.0);
}

void TestRtfDocument::pictures()
{
    // A 2x1 24-bit device-independent bitmap: a blue and a red pixel.
    QByteArray dib;
    const auto le = [&dib](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            dib.append(char((value >> (8 * i)) & 0xFF));
    };
    le(40, 4); // header size
    le(2, 4);  // width
    le(1, 4);  // height
    le(1, 2);  // planes
    le(24, 2); // bits per pixel
    le(0, 4);  // no compression
    le(8, 4);  // image bytes
    le(0, 4);
    le(0, 4);
    le(0, 4);  // no palette
    le(0, 4);
    dib += QByteArray::fromHex("ff00000000ff0000"); // blue, red, padding (BGR order)
    const QByteArray rtf = "{\\rtf1 a{\\pict\\dibitmap0\\picw2\\pich1\\picwgoal60\\pichgoal30 "
        + dib.toHex() + "}b{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal720\\pichgoal360 "
        "0100090000}c{\\pict\\pngblip\\picwgoal300\\pichgoal150 0102}"
        "d{\\pict\\emfblip 0100}e}";
    const auto document = load(rtf);
    QVERIFY(document);
    QCOMPARE(plainTextOf(*document), QStringLiteral("abcde"));
    const QList<QTextImageFormat> pictures = images(*document);
    // The EMF without any size has nothing to show and no place to keep.
    QCOMPARE(pictures.size(), 3);

    const QImage bitmap = document->resource(QTextDocument::ImageResource,
                                             QUrl(pictures[0].name())).value<QImage>();
    QCOMPARE(bitmap.size(), QSize(2, 1));
    QCOMPARE(bitmap.pixelColor(0, 0), QColor(Qt::blue));
    QCOMPARE(bitmap.pixelColor(1, 0), QColor(Qt::red));
    QCOMPARE(pictures[0].width(), 4.0);
    QCOMPARE(pictures[0].height(), 2.0);
    QVERIFY(pictures[0].name().startsWith(QStringLiteral("tavrel-rtf:")));

    // A metafile is an empty frame of the picture's size: half an inch by a quarter.
    const QImage frame = document->resource(QTextDocument::ImageResource,
                                            QUrl(pictures[1].name())).value<QImage>();
    QCOMPARE(pictures[1].width(), 48.0);
    QCOMPARE(pictures[1].height(), 24.0);
    QCOMPARE(frame.size(), QSize(48, 24));
    QCOMPARE(frame.pixelColor(24, 12).alpha(), 0);
    QVERIFY(frame.pixelColor(0, 0).alpha() > 0);
    // A PNG that does not decode keeps its place as a frame too.
    QCOMPARE(pictures[2].width(), 20.0);
    QCOMPARE(pictures[2].height(), 10.0);
    QVERIFY(!document->resource(QTextDocument::ImageResource, QUrl(pictures[2].name()))
                 .value<QImage>()
                 .isNull());

    // A picture whose header promises 20000 x 20000 pixels is not decoded: it would
    // take 1.6 GB. It keeps its place as a frame.
    const auto bomb = load("{\\rtf1 {\\pict\\pngblip\\picwgoal1500\\pichgoal1500 "
                           "89504e470d0a1a0a0000000d4948445200004e2000004e200806000000e3704639}}");
    QVERIFY(bomb);
    const QList<QTextImageFormat> bombs = images(*bomb);
    QCOMPARE(bombs.size(), 1);
    QCOMPARE(bombs.first().width(), 100.0);
    const QImage placeholder = bomb->resource(QTextDocument::ImageResource,
                                              QUrl(bombs.first().name())).value<QImage>();
    QVERIFY(!placeholder.isNull());
    QVERIFY(placeholder.width() <= 256 && placeholder.height() <= 256);

    QVERIFY(Rtf::DocumentBuilder::fromDib(std::span<const std::uint8_t>()).isNull());
    const QByteArray lying = QByteArray::fromHex("ffffff7f0200000001000000");
    QVERIFY(Rtf::DocumentBuilder::fromDib(
                std::span(reinterpret_cast<const std::uint8_t *>(lying.constData()),
                          std::size_t(lying.size())))
                .isNull());
}

void TestRtfDocument::notRtfLeavesTheDocumentAlone()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("kept"));
    QVERIFY(!Rtf::loadDocument("plain {\\rtf1 text}", &document));
    QCOMPARE(document.toPlainText(), QStringLiteral("kept"));
    QVERIFY(Rtf::loadDocument("\xEF\xBB\xBF \r\n{\\rtf1 new}", &document));
    QCOMPARE(document.toPlainText(), QStringLiteral("new"));
}

void TestRtfDocument::padLoadsRtfWithFormattingAndKeepsItsBaseFont()
{
    RichTextPad pad;
    pad.setBaseFontName(QStringLiteral("DejaVu Serif"));
    const QFont base = pad.document()->defaultFont();
    pad.setPlainText(QStringLiteral("old text"));
    pad.insertPicture(QImage(4, 4, QImage::Format_RGB32));

    const QString path = rtfFolder() + QStringLiteral("/office-from-docx.rtf");
    QVERIFY(pad.loadFile(path));
    QCOMPARE(pad.document()->defaultFont(), base);
    const QString expected = expectedText(path);
    const QString diff = firstDifference(words(pad.text()), words(expected));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY(!pad.text().contains(QStringLiteral("old text")));
    QCOMPARE(pad.selStart(), 0);

    QVERIFY(pad.find(QStringLiteral("Bold"), 0) >= 0);
    QCOMPARE(pad.selBold(), std::optional<bool>(true));
    QCOMPARE(pad.selItalic(), std::optional<bool>(false));
    QVERIFY(pad.find(QStringLiteral("red"), 0) >= 0);
    QCOMPARE(pad.selColor(), std::optional<QColor>(QColor(192, 0, 0)));

    // A file that names no font and no size shows in the pad's base font.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("bare.rtf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1\\ansi Bare {\\b words} {\\fs40\\up12 raised} {\\dn5 lowered}}");
    file.close();
    QVERIFY(pad.loadFile(file.fileName()));
    QCOMPARE(pad.text(), QStringLiteral("Bare words raised lowered"));
    QVERIFY(pad.find(QStringLiteral("Bare"), 0) >= 0);
    QCOMPARE(pad.selFontName(), std::optional<QString>(base.family()));
    QCOMPARE(pad.selFontSize(), std::optional<double>(base.pointSizeF()));
    QCOMPARE(pad.selBold(), std::optional<bool>(false));
    QCOMPARE(pad.selCharOffset(), std::optional<int>(0));
    // \up and \dn are in half-points: the pad reports them in twips.
    QVERIFY(pad.find(QStringLiteral("raised"), 0) >= 0);
    QVERIFY(qAbs(pad.selCharOffset().value_or(0) - 120) <= 1);
    QVERIFY(pad.find(QStringLiteral("lowered"), 0) >= 0);
    QVERIFY(qAbs(pad.selCharOffset().value_or(0) + 50) <= 1);
}

void TestRtfDocument::padLoadsOtherFilesAsPlainText()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(bytes);
        return file.fileName();
    };
    RichTextPad pad;
    // Not RTF: the markup is the text.
    QVERIFY(pad.loadFile(write(QStringLiteral("a.txt"), "x {\\rtf1 {\\b y}}")));
    QCOMPARE(pad.text(), QStringLiteral("x {\\rtf1 {\\b y}}"));
    // Blank lines before the header still make it RTF, whatever the extension.
    QVERIFY(pad.loadFile(write(QStringLiteral("b.txt"), "\r\n  {\\rtf1 {\\b y}}")));
    QCOMPARE(pad.text(), QStringLiteral("y"));
}

void TestRtfDocument::padLoadsWhatABrokenFileHolds()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("broken.rtf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray bytes = readAll(rtfFolder() + QStringLiteral("/hello.rtf"));
    const qsizetype cut = bytes.lastIndexOf("Hello") + 3;
    QVERIFY(cut > 3);
    bytes.truncate(cut);
    bytes += "\\'{\\*\\x{{{";
    file.write(bytes);
    file.close();
    RichTextPad pad;
    QVERIFY(pad.loadFile(file.fileName()));
    QCOMPARE(pad.text().trimmed(), QStringLiteral("Hel"));
}

QTEST_MAIN(TestRtfDocument)
#include "tst_rtfdocument.moc"
