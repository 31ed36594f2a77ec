#pragma once

// What the RTF fuzz targets share.

#include "platform/rtf/rtfcodepage.h"
#include "platform/rtf/rtfhandler.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace Fuzz {

inline void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// The C library loads a code page's converter when it is first opened and unloads
// it once nothing holds it open. A decoder that lives as long as the process holds
// every code page the reader knows, so that inputs do not pay for loading them anew.
inline void keepCodePagesLoaded()
{
    static Rtf::CodePageDecoder keeper;
    std::u16string out;
    for (int codePage = 0; codePage <= 65535; ++codePage) {
        if (Rtf::CodePageDecoder::isKnown(codePage))
            keeper.decode(codePage, "a", out);
    }
}

// A reader's handler that traps on broken promises of the RTF reader: text that is
// not valid UTF-16 or holds control characters or noncharacters, output larger
// than the input, values outside their clamps, and events after the end. It keeps
// what it was handed as a document's raw text: paragraphs end in U+2029 and each
// picture stands as U+FFFC.
class CheckingHandler : public Rtf::Handler
{
public:
    static constexpr char16_t kParagraphEnd = 0x2029;
    static constexpr char16_t kPicture = 0xFFFC;

    void text(std::u16string_view text, const Rtf::CharFormat &format) override
    {
        require(!m_ended);
        require(!text.empty());
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            require(c >= 0x20 || c == u'\t');
            require(!(c >= 0xFDD0 && c <= 0xFDEF) && c < 0xFFFE);
            if (c >= 0xD800 && c <= 0xDBFF) {
                require(i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF);
                ++i;
            } else {
                require(!(c >= 0xDC00 && c <= 0xDFFF));
            }
        }
        checkFormat(format);
        m_output += text.size();
        m_text.append(text);
        m_document.append(text);
    }
    void paragraphEnd(const Rtf::ParagraphFormat &) override
    {
        require(!m_ended);
        ++m_output;
        m_document.push_back(kParagraphEnd);
    }
    void picture(const Rtf::Picture &picture, const Rtf::CharFormat &format) override
    {
        require(!m_ended);
        checkFormat(format);
        require(picture.displayWidthTwips() >= 0 && picture.displayHeightTwips() >= 0);
        m_pictureBytes += picture.data.size();
        ++m_output;
        m_document.push_back(kPicture);
    }
    void documentEnd(const Rtf::ParagraphFormat &) override
    {
        require(!m_ended);
        m_ended = true;
    }

    void reset() { *this = CheckingHandler(); }

    // The text runs alone, without paragraph ends and pictures.
    const std::u16string &collectedText() const { return m_text; }
    const std::u16string &documentText() const { return m_document; }

    void checkAgainst(std::size_t inputSize) const
    {
        require(m_ended);
        // Every character, paragraph and picture is paid for by input bytes.
        require(m_output <= inputSize + 1);
        require(m_pictureBytes <= inputSize);
    }

private:
    static void checkFormat(const Rtf::CharFormat &format)
    {
        require(format.halfPoints >= 0 && format.halfPoints <= 3276);
        require(format.offsetHalfPoints >= -3276 && format.offsetHalfPoints <= 3276);
    }

    bool m_ended = false;
    std::size_t m_output = 0;
    std::size_t m_pictureBytes = 0;
    std::u16string m_text;
    std::u16string m_document;
};

} // namespace Fuzz
