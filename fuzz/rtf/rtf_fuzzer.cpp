// libFuzzer entry for the RTF reader's plain C++ core. Besides crashes and the
// sanitizers' findings it traps on broken promises of the reader: text that is not
// valid UTF-16 or holds control characters or noncharacters, output larger than
// the input, values outside their clamps, events after the end, and a reader that
// carries anything over from one document to the next.

#include "platform/rtf/rtfreader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

class CheckingHandler : public Rtf::Handler
{
public:
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
    }
    void paragraphEnd(const Rtf::ParagraphFormat &) override
    {
        require(!m_ended);
        ++m_output;
    }
    void picture(const Rtf::Picture &picture, const Rtf::CharFormat &format) override
    {
        require(!m_ended);
        checkFormat(format);
        require(picture.displayWidthTwips() >= 0 && picture.displayHeightTwips() >= 0);
        m_pictureBytes += picture.data.size();
        ++m_output;
    }
    void documentEnd(const Rtf::ParagraphFormat &) override
    {
        require(!m_ended);
        m_ended = true;
    }

    void reset()
    {
        *this = CheckingHandler();
    }

    const std::u16string &collectedText() const { return m_text; }

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
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    CheckingHandler handler;
    Rtf::Reader reader(handler);
    reader.read(input);
    handler.checkAgainst(size);
    // Read again, the reader starts afresh: nothing of the first document shows.
    handler.reset();
    reader.read(std::string_view("{\\rtf1 x\\par}"));
    handler.checkAgainst(12);
    require(handler.collectedText() == u"x");
    return 0;
}
