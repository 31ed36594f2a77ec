#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Rtf {

// Decodes the 8-bit text of RTF files, given by Windows code page number, into
// UTF-16 through the C library's iconv. Single-byte code pages go through a table
// built once per code page; multi-byte ones (Japanese, Chinese, Korean, UTF-8)
// must be handed whole runs of bytes so that a character's two bytes meet.
// Control characters other than the tab are dropped; bytes that are no character
// of the code page, and Unicode's noncharacters, become U+FFFD. Unknown code pages
// read as Windows-1252.
class CodePageDecoder
{
public:
    // Not a Windows code page: the Symbol font's own layout.
    static constexpr int kSymbolCodePage = 42;

    CodePageDecoder();
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder &) = delete;
    CodePageDecoder &operator=(const CodePageDecoder &) = delete;

    static bool isMultiByte(int codePage);
    // Whether the number is a code page this decoder reads as itself.
    static bool isKnown(int codePage);
    // The character the Symbol font draws for a byte.
    static char16_t symbolCharacter(std::uint8_t byte);
    // The Windows code page of an RTF \fcharset value, or 0 when the value says
    // "use the document's code page".
    static int codePageOfCharset(int charset);

    void decode(int codePage, std::string_view bytes, std::u16string &out);

private:
    struct Converter;
    Converter &converter(int codePage);
    void decodeMultiByte(Converter &converter, std::string_view bytes, std::u16string &out);

    std::vector<std::unique_ptr<Converter>> m_converters;
    Converter *m_last = nullptr;
};

} // namespace Rtf
