#pragma once

#include "rtfformat.h"

#include <string_view>

namespace Rtf {

// Receives the content of an RTF document in reading order. Text arrives in runs
// of one character format; a run may hold tabs ('\t') and line breaks inside the
// paragraph (U+2028), but no other control character, no unpaired surrogate and
// no Unicode noncharacter. The views passed in are only valid during the call.
class Handler
{
public:
    virtual ~Handler() = default;

    virtual void text(std::u16string_view text, const CharFormat &format) = 0;
    // Ends the current paragraph, which has the given formatting.
    virtual void paragraphEnd(const ParagraphFormat &format) = 0;
    virtual void picture(const Picture &picture, const CharFormat &format) = 0;
    // The end of the input: the last paragraph, which has no paragraph mark of its
    // own, has the given formatting.
    virtual void documentEnd(const ParagraphFormat &format) = 0;
};

} // namespace Rtf
