#pragma once

// The writer under the fuzzer: whatever the reader makes of an input, written with
// the RTF writer and read again, gives the same runs of text in the same formats,
// the same paragraphs and the same pictures. Any difference traps.

#include "fuzzsupport.h"

#include "platform/rtf/rtfreader.h"
#include "platform/rtf/rtfwriter.h"

#include <string>
#include <string_view>
#include <vector>

namespace RoundTrip {

using Fuzz::require;

// What a reading gives, with adjacent text in one format joined: the reader may
// hand one run on in pieces.
class Collector : public Rtf::Handler
{
public:
    struct Event
    {
        enum Kind { Text, Paragraph, Picture, End } kind;
        std::u16string text;
        std::u16string family;
        Rtf::CharFormat format; // without its family, which is kept above
        Rtf::ParagraphFormat paragraph;
        std::vector<std::uint8_t> data;
        Rtf::Picture picture;

        bool operator==(const Event &other) const
        {
            const Rtf::Picture &p = picture;
            const Rtf::Picture &q = other.picture;
            return kind == other.kind && text == other.text && family == other.family
                   && format == other.format && paragraph == other.paragraph
                   && data == other.data
                   && p.type == q.type && p.width == q.width && p.height == q.height
                   && p.goalWidth == q.goalWidth && p.goalHeight == q.goalHeight
                   && p.scaleX == q.scaleX && p.scaleY == q.scaleY;
        }
    };

    std::vector<Event> events;

    void text(std::u16string_view text, const Rtf::CharFormat &format) override
    {
        if (!events.empty() && events.back().kind == Event::Text && sameFormat(format)) {
            events.back().text += text;
            return;
        }
        events.push_back({Event::Text, std::u16string(text), std::u16string(format.fontFamily),
                          withoutFamily(format), {}, {}, {}});
    }
    void paragraphEnd(const Rtf::ParagraphFormat &format) override
    {
        events.push_back({Event::Paragraph, {}, {}, {}, format, {}, {}});
    }
    void picture(const Rtf::Picture &picture, const Rtf::CharFormat &) override
    {
        // RTF has no keyword for the kinds the reader lumps together as Other.
        if (picture.type == Rtf::PictureType::Other)
            return;
        Event e{Event::Picture, {}, {}, {}, {}, {picture.data.begin(), picture.data.end()},
                picture};
        e.picture.data = {};
        events.push_back(std::move(e));
    }
    void documentEnd(const Rtf::ParagraphFormat &format) override
    {
        events.push_back({Event::End, {}, {}, {}, format, {}, {}});
    }

private:
    static Rtf::CharFormat withoutFamily(Rtf::CharFormat format)
    {
        format.fontFamily = {};
        return format;
    }
    bool sameFormat(const Rtf::CharFormat &format) const
    {
        const Event &last = events.back();
        return last.family == format.fontFamily && withoutFamily(format) == last.format;
    }
};

// Hands what one reading gives to two handlers.
class Tee : public Rtf::Handler
{
public:
    Tee(Rtf::Handler &first, Rtf::Handler &second) : m_first(first), m_second(second) {}
    void text(std::u16string_view t, const Rtf::CharFormat &f) override
    {
        m_first.text(t, f);
        m_second.text(t, f);
    }
    void paragraphEnd(const Rtf::ParagraphFormat &p) override
    {
        m_first.paragraphEnd(p);
        m_second.paragraphEnd(p);
    }
    void picture(const Rtf::Picture &p, const Rtf::CharFormat &f) override
    {
        m_first.picture(p, f);
        m_second.picture(p, f);
    }
    void documentEnd(const Rtf::ParagraphFormat &p) override
    {
        m_first.documentEnd(p);
        m_second.documentEnd(p);
    }

private:
    Rtf::Handler &m_first;
    Rtf::Handler &m_second;
};

inline bool startsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? char16_t(text[i] + 32) : text[i];
        if (c != prefix[i])
            return false;
    }
    return true;
}

// The one known difference. Word processors write the characters of symbol fonts as
// U+F020 to U+F0FF, and the reader takes those for the Symbol font's characters in
// every font but the dingbat ones. Such a character read from bytes of another code
// page (UTF-8, say) therefore comes back as the Symbol font's character.
inline void asReadBack(std::vector<Collector::Event> &events)
{
    for (Collector::Event &e : events) {
        const std::u16string_view family = e.family;
        if (e.kind != Collector::Event::Text || startsWithIgnoringCase(family, u"wingdings")
            || startsWithIgnoringCase(family, u"webdings")
            || startsWithIgnoringCase(family, u"zapf dingbats")) {
            continue;
        }
        for (char16_t &c : e.text) {
            if (c >= 0xF020 && c <= 0xF0FF)
                c = Rtf::CodePageDecoder::symbolCharacter(std::uint8_t(c - 0xF000));
        }
    }
}

inline void check(std::string_view input)
{
    Collector first;
    Rtf::Writer writer;
    Tee tee(first, writer);
    Rtf::Reader(tee).read(input);
    asReadBack(first.events);
    const std::string written = writer.take();
    require(Rtf::looksLikeRtf(written));
    Collector second;
    Rtf::Reader(second).read(written);
    require(second.events == first.events);
}

} // namespace RoundTrip
