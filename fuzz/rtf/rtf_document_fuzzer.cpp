// libFuzzer entry for the whole load of an RTF file into a QTextDocument, as the
// pad does it: the reader, the document builder and the layout, on the offscreen
// platform. Each input passes through the stages below in turn; each traps on a
// broken promise.

#include "fuzzsupport.h"

#include "platform/rtf/rtfdocumentwriter.h"
#include "platform/rtf/rtfloader.h"
#include "platform/rtf/rtfreader.h"

#include <QByteArrayView>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

using Fuzz::require;

namespace {

// The pad's width at its designed size, so that lines wrap as they do there.
constexpr double kPadWidth = 545;
// What the builder promises about the pictures it places, in pixels.
constexpr double kMaxPictureSide = 10000;

QTextDocument *g_document = nullptr;

void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &)
{
    // Warnings about odd fonts are expected by the thousand; a fatal one is a finding.
    if (type == QtFatalMsg)
        std::abort();
}

// Stage 1: the reader alone, against the promises every handler relies on. Gives
// the document's raw text as the reader handed it on.
std::u16string readChecked(std::string_view input)
{
    Fuzz::CheckingHandler handler;
    Rtf::Reader reader(handler);
    reader.read(input);
    handler.checkAgainst(input.size());
    return handler.documentText();
}

std::u16string withoutPictures(std::u16string text)
{
    std::erase(text, Fuzz::CheckingHandler::kPicture);
    return text;
}

// Stage 2: the load into the document. All of the reader's text is there, in its
// order; a picture may be left out when it neither decodes nor has a size.
void loadChecked(std::string_view input, const std::u16string &readText,
                 QTextDocument &document)
{
    require(Rtf::loadDocument(QByteArrayView(input.data(), qsizetype(input.size())),
                              &document));
    const QString raw = document.toRawText();
    const std::u16string loaded(reinterpret_cast<const char16_t *>(raw.utf16()),
                                std::size_t(raw.size()));
    require(withoutPictures(loaded) == withoutPictures(readText));

    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            require(format.fontPointSize() >= 0 && format.fontPointSize() <= 1638);
            if (format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                require(image.width() > 0 && image.width() <= kMaxPictureSide);
                require(image.height() > 0 && image.height() <= kMaxPictureSide);
                require(!document.resource(QTextDocument::ImageResource,
                                           QUrl(image.name())).isNull());
            }
        }
    }
}

// Stage 3: the layout the pad would make of it.
void layOut(QTextDocument &document)
{
    const QSizeF size = document.size();
    require(std::isfinite(size.width()) && std::isfinite(size.height()));
}

// Word processors write a symbol font's characters as U+F020 to U+F0FF, and the
// reader takes those for the Symbol font's own characters in most fonts. Such a
// character first read from bytes of another code page (UTF-8, say) therefore comes
// back as the Symbol font's character: the one known difference of a round trip.
QString symbolsAsReadBack(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() >= 0xF020 && c.unicode() <= 0xF0FF)
            c = QChar(Rtf::CodePageDecoder::symbolCharacter(std::uint8_t(c.unicode() - 0xF000)));
    }
    return text;
}

// Stage 4: the document written as RTF, as a save under an .rtf name writes it,
// loads again as the same text, pictures included.
void writtenReadsBack(const QTextDocument &document)
{
    const QByteArray written = Rtf::writeDocument(document);
    require(Rtf::looksLikeRtf(std::string_view(written.constData(), written.size())));
    QTextDocument again;
    require(Rtf::loadDocument(written, &again));
    require(symbolsAsReadBack(again.toRawText()) == symbolsAsReadBack(document.toRawText()));
}

// Stage 5: a document loaded next keeps nothing of this one.
void checkFreshStart(QTextDocument &document)
{
    require(Rtf::loadDocument(QByteArrayView("{\\rtf1 x\\par}"), &document));
    require(document.toRawText() == QStringLiteral("x\u2029"));
    require(document.resource(QTextDocument::ImageResource,
                              QUrl(QStringLiteral("tavrel-rtf:1"))).isNull());
}

} // namespace

// The font configuration library keeps its caches to the end of the process, and
// frees only part of them there: that is no leak of the load.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Qt must not see libFuzzer's arguments.
    static int argc = 1;
    static char name[] = "rtf_document_fuzzer";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    Fuzz::keepCodePagesLoaded();
    static QGuiApplication app(argc, argv);
    // One document for every input, as the pad keeps one.
    static QTextDocument document;
    document.setTextWidth(kPadWidth);
    g_document = &document;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    // Anything else loads as plain text, without the reader.
    if (!Rtf::looksLikeRtf(input))
        return -1;
    const std::u16string readText = readChecked(input);
    loadChecked(input, readText, *g_document);
    layOut(*g_document);
    writtenReadsBack(*g_document);
    checkFreshStart(*g_document);
    return 0;
}
