// The RTF reader on its own: what it hands on for given RTF, and that broken input
// ends in bounded time and memory.

#include "platform/rtf/rtfreader.h"
#include "platform/rtf/rtftokenizer.h"

#include <QtTest>

using namespace Rtf;

namespace {

struct Run
{
    QString text;
    QString family;
    CharFormat format; // fontFamily left empty: see family
};

struct PictureRecord
{
    PictureType type;
    QByteArray data;
    int widthTwips;
    int heightTwips;
};

class Recorder : public Handler
{
public:
    void text(std::u16string_view text, const CharFormat &format) override
    {
        Run run{QString::fromStdU16String(std::u16string(text)),
                QString::fromStdU16String(std::u16string(format.fontFamily)), format};
        run.format.fontFamily = {};
        plain += run.text;
        runs.append(run);
    }
    void paragraphEnd(const ParagraphFormat &format) override
    {
        plain += QLatin1Char('\n');
        paragraphs.append(format);
    }
    void picture(const Picture &picture, const CharFormat &) override
    {
        plain += QChar(0xFFFC);
        pictures.append({picture.type,
                         QByteArray(reinterpret_cast<const char *>(picture.data.data()),
                                    qsizetype(picture.data.size())),
                         picture.displayWidthTwips(), picture.displayHeightTwips()});
    }
    void documentEnd(const ParagraphFormat &format) override
    {
        ++ends;
        lastParagraph = format;
    }

    // The run holding the given text.
    Run runWith(const QString &needle) const
    {
        for (const Run &run : runs) {
            if (run.text.contains(needle))
                return run;
        }
        qWarning() << "no run holds" << needle << "in" << plain;
        return {};
    }

    QString plain;
    QList<Run> runs;
    QList<ParagraphFormat> paragraphs;
    QList<PictureRecord> pictures;
    ParagraphFormat lastParagraph;
    int ends = 0;
};

std::unique_ptr<Recorder> read(const QByteArray &rtf)
{
    auto recorder = std::make_unique<Recorder>();
    Reader reader(*recorder);
    reader.read(std::string_view(rtf.constData(), std::size_t(rtf.size())));
    return recorder;
}

QString u(const char16_t *text)
{
    return QString::fromUtf16(text);
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void detection_data();
    void detection();
    void characterFormatFollowsGroups();
    void underlineKindsAndScript();
    void colours();
    void destinationsThatAreNotTextArePassedOver();
    void unicodeEscapesAndTheirFallbacks();
    void codePages_data();
    void codePages();
    void doubleByteRunsDecodeTogether();
    void paragraphsAndAlignment();
    void specialCharacters();
    void tablesAsText();
    void pictures();
    void documentEndsWithItsOutermostGroup();
    void textBeyondTheDepthLimitKeepsTheDeepestFormat();
    void brokenInputEndsAndStaysBounded_data();
    void brokenInputEndsAndStaysBounded();
    void tokenizerClampsParameters();
};

void TestRtfReader::detection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("rtf");
    QTest::newRow("plain") << QByteArray("{\\rtf1 x}") << true;
    QTest::newRow("blanks first") << QByteArray(" \r\n\t{\\rtf1 x}") << true;
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF{\\rtf1}") << true;
    QTest::newRow("text") << QByteArray("Hello {\\rtf1}") << false;
    QTest::newRow("other group") << QByteArray("{\\foo}") << false;
    QTest::newRow("cut short") << QByteArray("{\\rt") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestRtfReader::detection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, rtf);
    QCOMPARE(looksLikeRtf(std::string_view(bytes.constData(), std::size_t(bytes.size()))), rtf);
}

void TestRtfReader::characterFormatFollowsGroups()
{
    const auto r = read("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman "
                        "Times New Roman;}}"
                        "\\f0\\fs20 plain {\\b bold {\\i both}} after \\b0\\plain reset "
                        "\\strike struck\\strike0  {\\f7 nofont} {\\fs tall}}");
    QCOMPARE(r->plain, QStringLiteral("plain bold both after reset struck nofont tall"));

    const Run plain = r->runWith("plain");
    QCOMPARE(plain.family, QStringLiteral("Arial"));
    QCOMPARE(plain.format.halfPoints, 20);
    QVERIFY(!plain.format.bold);

    const Run bold = r->runWith("bold");
    QVERIFY(bold.format.bold);
    QVERIFY(!bold.format.italic);
    const Run both = r->runWith("both");
    QVERIFY(both.format.bold && both.format.italic);
    const Run after = r->runWith("after");
    QVERIFY(!after.format.bold && !after.format.italic);
    QCOMPARE(after.family, QStringLiteral("Arial"));

    // \plain goes back to the default font (\deff1) and no given size.
    const Run reset = r->runWith("reset");
    QCOMPARE(reset.family, QStringLiteral("Times New Roman"));
    QCOMPARE(reset.format.halfPoints, 0);
    QVERIFY(r->runWith("struck").format.strike);
    QVERIFY(!r->runWith("nofont").format.strike);
    QVERIFY(r->runWith("nofont").family.isEmpty());
    // \fs alone is the RTF default of 12 points.
    QCOMPARE(r->runWith("tall").format.halfPoints, 24);
    QCOMPARE(r->ends, 1);
}

void TestRtfReader::underlineKindsAndScript()
{
    const auto r = read("{\\rtf1 {\\ul single}{\\uldb double}{\\uld dotted}{\\uldash dash}"
                        "{\\ulwave wave}{\\ul\\ulnone none}{\\ul\\ul0 zero}{\\ulc3 colouronly}"
                        "{\\super sup}{\\sub sub}{\\super\\nosupersub back}"
                        "{\\up6 raised}{\\dn4 lowered}{\\up none2}}");
    QCOMPARE(r->runWith("single").format.underline, Underline::Single);
    QCOMPARE(r->runWith("double").format.underline, Underline::Double);
    QCOMPARE(r->runWith("dotted").format.underline, Underline::Dotted);
    QCOMPARE(r->runWith("dash").format.underline, Underline::Dashed);
    QCOMPARE(r->runWith("wave").format.underline, Underline::Wave);
    QCOMPARE(r->runWith("none").format.underline, Underline::None);
    QCOMPARE(r->runWith("zero").format.underline, Underline::None);
    QCOMPARE(r->runWith("colouronly").format.underline, Underline::None);
    QCOMPARE(r->runWith("sup").format.vertical, VerticalPosition::Superscript);
    QCOMPARE(r->runWith("sub").format.vertical, VerticalPosition::Subscript);
    QCOMPARE(r->runWith("back").format.vertical, VerticalPosition::Normal);
    QCOMPARE(r->runWith("raised").format.offsetHalfPoints, 6);
    QCOMPARE(r->runWith("lowered").format.offsetHalfPoints, -4);
    QCOMPARE(r->runWith("none2").format.offsetHalfPoints, 6);
}

void TestRtfReader::colours()
{
    const auto r = read("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;;\\red0\\green0\\blue255;}"
                        "{\\cf1 red}{\\cf0 auto}{\\cf2 empty}{\\cf9 beyond}"
                        "{\\cf3\\highlight1 blueonred}{\\cb3 backblue}{\\highlight0 nohigh}}");
    const Run red = r->runWith("red");
    QVERIFY(red.format.hasColor);
    QCOMPARE(red.format.color, (Color{255, 0, 0}));
    QVERIFY(!r->runWith("auto").format.hasColor);
    QVERIFY(!r->runWith("empty").format.hasColor);
    QVERIFY(!r->runWith("beyond").format.hasColor);
    const Run blue = r->runWith("blueonred");
    QCOMPARE(blue.format.color, (Color{0, 0, 255}));
    QVERIFY(blue.format.hasBackground);
    QCOMPARE(blue.format.background, (Color{255, 0, 0}));
    QCOMPARE(r->runWith("backblue").format.background, (Color{0, 0, 255}));
    QVERIFY(!r->runWith("nohigh").format.hasBackground);

    // Entry 0 is automatic even when the table gives it a colour.
    const auto black = read("{\\rtf1{\\colortbl\\red9\\green9\\blue9;\\red1\\green2\\blue3;}"
                            "{\\cf0 zero}{\\cf1 one}}");
    QVERIFY(!black->runWith("zero").format.hasColor);
    QCOMPARE(black->runWith("one").format.color, (Color{1, 2, 3}));
}

void TestRtfReader::destinationsThatAreNotTextArePassedOver()
{
    const auto r = read(
        "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green1\\blue1;}"
        "{\\stylesheet{\\s1 Heading;}}{\\info{\\title T}{\\author A}}"
        "{\\header head}{\\footerl foot}{\\*\\generator gen}{\\*\\unknownthing x{y}z}"
        "{\\listtable{\\list{\\leveltext\\'01\\'95;}}}"
        "one{\\footnote note}"
        " {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}"
        " {\\field{\\fldinst PAGE}{\\fldrslt 7}}"
        " {\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict\\wmetafile8 00}}"
        " {\\*\\bkmkstart mark}two\\'7b\\{\\}\\\\}");
    QCOMPARE(r->plain, u(u"one link 7 \uFFFC two{{}\\"));
    QCOMPARE(r->pictures.size(), 1);
    QCOMPARE(r->pictures.first().type, PictureType::Png);
}

void TestRtfReader::unicodeEscapesAndTheirFallbacks()
{
    // \uc1 is the default: one fallback byte follows.
    QCOMPARE(read("{\\rtf1 \\u1055?\\u1088?x}")->plain, u(u"\u041F\u0440x"));
    // Negative values stand for the upper half of the 16-bit range.
    QCOMPARE(read("{\\rtf1 \\u-24?}")->plain, u(u"\uFFE8"));
    // Symbol font characters written in the private use area become the characters
    // the Symbol font draws, except in the dingbat fonts, which have no such match.
    QCOMPARE(read("{\\rtf1 \\u-3913?\\u61537?}")->plain, u(u"\u2022\u03B1"));
    QCOMPARE(read("{\\rtf1{\\fonttbl{\\f1\\fcharset2 Wingdings;}}\\f1\\u-3913?}")->plain,
             u(u"\uF0B7"));
    // A fallback written as \'hh or as a control word is skipped as well.
    QCOMPARE(read("{\\rtf1 \\u8212\\'97 \\u8220\\ldblquote x}")->plain, u(u"\u2014 \u201Cx"));
    // \uc2: two fallback characters; \uc0: none.
    QCOMPARE(read("{\\rtf1\\uc2 \\u20320\\'c4\\'e3!\\uc0 \\u22909 ok}")->plain,
             u(u"\u4F60!\u597Dok"));
    // Skipping ends with the group.
    QCOMPARE(read("{\\rtf1\\uc3 {\\u1055}ab}")->plain, u(u"\u041Fab"));
    // \uc belongs to the group.
    QCOMPARE(read("{\\rtf1 {\\uc0 \\u1055}\\u1055??}")->plain, u(u"\u041F\u041F?"));
    // Surrogate halves are joined; a lone half is no character.
    QCOMPARE(read("{\\rtf1 \\u55357?\\u56832?.\\uc0 \\u55357\\uc1 \\u56832\\'3f}")->plain,
             u(u"\U0001F600.\U0001F600"));
    QCOMPARE(read("{\\rtf1 a\\u55357?b\\u56832?c}")->plain, u(u"a\uFFFDb\uFFFDc"));
    // So in a font's name, also when text was read while its entry was still open.
    QCOMPARE(read("{{\\fonttbl\\f1\\u55357?\\ftncn}\\f1 t{\\fonttbl}4}")->runWith("4").family,
             u(u"\uFFFD"));
    // Values out of range and noncharacters are no character either; control
    // characters are dropped.
    QCOMPARE(read("{\\rtf1 \\u99999?\\u7?x\\u64976?\\u-2?}")->plain, u(u"\uFFFDx\uFFFD\uFFFD"));
    QCOMPARE(read("{\\rtf1\\ansicpg65001 \\'ef\\'b7\\'90.}")->plain, u(u"\uFFFD."));
}

void TestRtfReader::codePages_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("ansi is windows-1252")
        << QByteArray("{\\rtf1\\ansi caf\\'e9 \\'80 \\'93q\\'94}")
        << u(u"caf\u00E9 \u20AC \u201Cq\u201D");
    QTest::newRow("raw 8-bit bytes")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \xc0\xe1}") << u(u"\u0410\u0431");
    QTest::newRow("ansicpg1251")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1\\'e2}")
        << u(u"\u0410\u0431\u0432");
    QTest::newRow("font charset wins")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset238 A;}"
                      "{\\f1\\fcharset161 B;}{\\f2\\fcharset0 C;}}"
                      "\\f0\\'b9{\\f1\\'e1}{\\f2\\'b9}}")
        << u(u"\u0105\u03B1\u00B9");
    QTest::newRow("default charset takes the document's")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fcharset1 A;}}\\'b9}")
        << u(u"\u0105");
    QTest::newRow("font cpg")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\cpg1253 A;}}\\f0\\'e1}") << u(u"\u03B1");
    QTest::newRow("mac") << QByteArray("{\\rtf1\\mac caf\\'8e}") << u(u"caf\u00E9");
    QTest::newRow("pc") << QByteArray("{\\rtf1\\pc caf\\'82}") << u(u"caf\u00E9");
    QTest::newRow("pca") << QByteArray("{\\rtf1\\pca \\'d5}") << u(u"\u0131");
    QTest::newRow("symbol font")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset2 Symbol;}{\\f1\\fcharset2 Other;}}"
                      "\\f0 a\\'b7{\\f1 a\\'b7}}")
        << u(u"\u03B1\u2022a\u00B7");
    QTest::newRow("unknown code page reads as 1252")
        << QByteArray("{\\rtf1\\ansi\\ansicpg4242 \\'e9}") << u(u"\u00E9");
    QTest::newRow("control bytes dropped")
        << QByteArray("{\\rtf1 a\\'00\\'0d\\'09b\x01}") << u(u"a\tb");
}

void TestRtfReader::codePages()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(read(rtf)->plain, text);
}

void TestRtfReader::doubleByteRunsDecodeTogether()
{
    // GBK: two bytes a character, written as \'hh pairs and split over tokens.
    const auto gbk = read("{\\rtf1\\ansi\\ansicpg936{\\fonttbl\\f0\\fnil\\fcharset134 SongTi;}"
                          "\\f0 \\'d3\\'a1\\'cb\\'a2 x\\'c7\\'e9}");
    QCOMPARE(gbk->plain, u(u"\u5370\u5237 x\u60C5"));
    // Shift JIS with a raw second byte that is a plain ASCII letter.
    const auto sjis = read("{\\rtf1\\ansi\\ansicpg932 \\'83A\\'83\\'43}");
    QCOMPARE(sjis->plain, u(u"\u30A2\u30A4"));
    // A lead byte with nothing after it is no character.
    QCOMPARE(read("{\\rtf1\\ansi\\ansicpg932 a\\'83}")->plain, u(u"a\uFFFD"));
    // A font name in a double-byte code page.
    const auto named = read("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72;}}"
                            "\\f0 x}");
    QCOMPARE(named->runWith("x").family, u(u"\uFF2D\uFF33"));
}

void TestRtfReader::paragraphsAndAlignment()
{
    const auto r = read("{\\rtf1 \\qc centre\\par right\\qr\\par\\pard plain\\par"
                        "{\\pard\\qj\\li720\\ri360\\fi-360\\sb120\\sa240 grouped\\par}"
                        "\\qc last}");
    QCOMPARE(r->plain, QStringLiteral("centre\nright\nplain\ngrouped\nlast"));
    QCOMPARE(r->paragraphs.size(), 4);
    QCOMPARE(r->paragraphs[0].alignment, Alignment::Center);
    // Paragraph formatting in force at \par counts.
    QCOMPARE(r->paragraphs[1].alignment, Alignment::Right);
    QCOMPARE(r->paragraphs[2], ParagraphFormat{});
    const ParagraphFormat grouped = r->paragraphs[3];
    QCOMPARE(grouped.alignment, Alignment::Justify);
    QCOMPARE(grouped.leftIndent, 720);
    QCOMPARE(grouped.rightIndent, 360);
    QCOMPARE(grouped.firstLineIndent, -360);
    QCOMPARE(grouped.spaceBefore, 120);
    QCOMPARE(grouped.spaceAfter, 240);
    // The last paragraph has no \par; it keeps what was in force at the end,
    // though the outermost group has closed.
    QCOMPARE(r->lastParagraph.alignment, Alignment::Center);

    // A backslash before a line end is a paragraph mark.
    QCOMPARE(read("{\\rtf1 A\\\nB\\\r\nC}")->plain, QStringLiteral("A\nB\nC"));
    // Line ends in the file are no text.
    QCOMPARE(read("{\\rtf1 A\r\nB}")->plain, QStringLiteral("AB"));
}

void TestRtfReader::specialCharacters()
{
    const auto r = read("{\\rtf1 a\\~b\\-c\\_d\\tab e\\line f\\emdash\\endash\\bullet"
                        "\\lquote\\rquote\\ldblquote\\rdblquote\\emspace\\enspace\\qmspace"
                        "\\zwj\\zwnj\\ltrmark\\rtlmark\\|\\:g\\page h{\\v hidden}\\v0 i}");
    QCOMPARE(r->plain, u(u"a\u00A0b\u00ADc\u2011d\te\u2028f\u2014\u2013\u2022\u2018\u2019"
                         u"\u201C\u201D\u2003\u2002\u2005\u200D\u200C\u200E\u200Fg\nhi"));
}

void TestRtfReader::tablesAsText()
{
    const auto r = read("{\\rtf1 before\\par"
                        "\\trowd\\cellx100\\cellx200\\cellx300"
                        "\\pard\\intbl a1\\cell b1\\par more\\cell c1\\cell\\row"
                        "\\trowd\\pard\\intbl \\cell b2\\cell\\cell\\row"
                        "\\pard after\\par}");
    QCOMPARE(r->plain, u(u"before\na1\tb1\u2028more\tc1\n\tb2\nafter\n"));
}

void TestRtfReader::pictures()
{
    const auto r = read("{\\rtf1 a{\\pict\\pngblip\\picw8\\pich4\\picwgoal160\\pichgoal80"
                        "\\picscalex50\\picscaley200 89504e47\r\n0d0a1a0a}"
                        "b{\\pict\\jpegblip\\picw10\\pich20 \\bin4 {}\\\\}"
                        "c{\\pict\\wmetafile8\\picw2540\\pich1270 0100}"
                        "d{\\pict\\emfblip{\\*\\blipuid 0123}ab c}"
                        "{\\v{\\pict\\pngblip 00}}e}");
    QCOMPARE(r->plain, u(u"a\uFFFCb\uFFFCc\uFFFCd\uFFFCe"));
    QCOMPARE(r->pictures.size(), 4);
    QCOMPARE(r->pictures[0].type, PictureType::Png);
    QCOMPARE(r->pictures[0].data, QByteArray("\x89PNG\r\n\x1a\n"));
    QCOMPARE(r->pictures[0].widthTwips, 80);
    QCOMPARE(r->pictures[0].heightTwips, 160);
    // Raw binary data may hold braces and backslashes; bitmaps without a goal size
    // are shown at their own pixels.
    QCOMPARE(r->pictures[1].type, PictureType::Jpeg);
    QCOMPARE(r->pictures[1].data, QByteArray("{}\\\\"));
    QCOMPARE(r->pictures[1].widthTwips, 150);
    QCOMPARE(r->pictures[1].heightTwips, 300);
    // Metafile sizes are hundredths of a millimetre: 2540 is one inch.
    QCOMPARE(r->pictures[2].type, PictureType::Wmf);
    QCOMPARE(r->pictures[2].widthTwips, 1440);
    QCOMPARE(r->pictures[2].heightTwips, 720);
    // Hex digits of a nested group are not picture data; an odd digit is dropped.
    QCOMPARE(r->pictures[3].type, PictureType::Emf);
    QCOMPARE(r->pictures[3].data, QByteArray("\xab"));
}

void TestRtfReader::documentEndsWithItsOutermostGroup()
{
    // A second document pasted after the first, and a signature line: neither shows,
    // and the last paragraph keeps the formatting the document gave it.
    auto r = read("{\\rtf1 {\\b one}\\par\\qc two}{\\rtf1 again\\par}\r\n-- \r\nsigned\\par");
    QCOMPARE(r->plain, QStringLiteral("one\ntwo"));
    QCOMPARE(r->lastParagraph.alignment, Alignment::Center);
    QCOMPARE(r->ends, 1);
    // A destination that is passed over ends no more than its own group.
    r = read("{\\rtf1 a{\\*\\unknown x}{\\info{\\title t}}b}c");
    QCOMPARE(r->plain, QStringLiteral("ab"));
}

void TestRtfReader::textBeyondTheDepthLimitKeepsTheDeepestFormat()
{
    // 255 groups inside the document's own: the text beyond the limit stays, in the
    // formatting of the deepest group kept; words deeper down change nothing, and
    // the formatting outside comes back after the groups close.
    const int kept = int(Reader::kMaxDepth) - 1;
    QByteArray rtf = "{\\rtf1 A";
    rtf += QByteArray(kept - 1, '{') + "{\\b\\ul ";
    rtf += QByteArray(255 - kept, '{') + "\\i\\b0\\fs60\\qc deep\\tab{\\pict\\pngblip 00}"
        + "{\\*\\nonsense x}{\\fonttbl{\\f0 F;}}" + QByteArray(255 - kept, '}');
    rtf += " kept}" + QByteArray(kept - 1, '}') + " Z}";
    const auto r = read(rtf);
    QCOMPARE(r->plain, QStringLiteral("Adeep\t kept Z"));
    const Run deep = r->runWith("deep");
    QVERIFY(deep.format.bold && !deep.format.italic);
    QCOMPARE(deep.format.underline, Underline::Single);
    QCOMPARE(deep.format.halfPoints, 0);
    QVERIFY(deep.family.isEmpty());
    QVERIFY(r->runWith("kept").format.bold);
    QVERIFY(!r->runWith("Z").format.bold);
    QCOMPARE(r->lastParagraph.alignment, Alignment::Left);
    QVERIFY(r->pictures.isEmpty());
}

void TestRtfReader::brokenInputEndsAndStaysBounded_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("cut short in a group") << QByteArray("{\\rtf1 abc{\\b de") << u(u"abcde");
    QTest::newRow("closing braces too many") << QByteArray("}}{\\rtf1 a}b") << u(u"a");
    QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 a\\") << u(u"a");
    QTest::newRow("hex cut short") << QByteArray("{\\rtf1 a\\'4") << u(u"a4");
    QTest::newRow("hex not hex") << QByteArray("{\\rtf1 a\\'zzb}") << u(u"azzb");
    QTest::newRow("bin beyond the end") << QByteArray("{\\rtf1 a\\bin999999999 xyz") << u(u"a");
    QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << u(u"ab");
    QTest::newRow("huge parameter")
        << QByteArray("{\\rtf1\\fs99999999999999999999 a\\uc99999999 \\u65 b}") << u(u"aA");
    QTest::newRow("picture cut short")
        << QByteArray("{\\rtf1 a{\\pict\\pngblip 8950") << u(u"a\uFFFC");
    QTest::newRow("skipped group cut short")
        << QByteArray("{\\rtf1 a{\\*\\foo {\\bin3 }}}") << u(u"a");
    QTest::newRow("star at the very end") << QByteArray("{\\rtf1 a\\*") << u(u"a");
    QTest::newRow("destination outside any group") << QByteArray("\\info a") << u(u"a");
    QTest::newRow("star before a group") << QByteArray("{\\rtf1 a{\\*{x}y}b}") << u(u"ab");

    // Nesting far deeper than any writer produces.
    QByteArray deep = "{\\rtf1 start";
    deep += QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + "end}";
    QTest::newRow("deep nesting") << deep << u(u"startdeepend");

    QByteArray open = "{\\rtf1 x";
    open += QByteArray(1000000, '{');
    QTest::newRow("never closed") << open << u(u"x");
}

void TestRtfReader::brokenInputEndsAndStaysBounded()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    const auto r = read(rtf);
    QCOMPARE(r->plain, text);
    QCOMPARE(r->ends, 1);
}

void TestRtfReader::tokenizerClampsParameters()
{
    Tokenizer tokens("\\fs-99999999999999 \\u-32768\\b1x\\'41\\{");
    Token t = tokens.next();
    QCOMPARE(t.type, Token::ControlWord);
    QCOMPARE(t.parameter, -Tokenizer::kMaxParameter);
    t = tokens.next();
    QCOMPARE(t.parameter, -32768);
    t = tokens.next();
    QCOMPARE(QByteArray(t.text.data(), qsizetype(t.text.size())), QByteArray("b"));
    QCOMPARE(t.parameter, 1);
    t = tokens.next();
    QCOMPARE(t.type, Token::Text);
    QCOMPARE(QByteArray(t.text.data(), qsizetype(t.text.size())), QByteArray("x"));
    t = tokens.next();
    QCOMPARE(t.type, Token::HexByte);
    QCOMPARE(t.byte, std::uint8_t(0x41));
    t = tokens.next();
    QCOMPARE(t.type, Token::ControlSymbol);
    QCOMPARE(t.symbol, '{');
    QCOMPARE(tokens.next().type, Token::End);
}

QTEST_APPLESS_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
