// libFuzzer entry for the RTF reader's plain C++ core. Besides crashes and the
// sanitizers' findings it traps on the broken promises CheckingHandler knows, on a
// reader that carries anything over from one document to the next, and on a writer
// whose RTF reads back as another document than the one read.

#include "fuzzsupport.h"
#include "roundtrip.h"

#include "platform/rtf/rtfreader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using Fuzz::require;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::keepCodePagesLoaded();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    Fuzz::CheckingHandler handler;
    Rtf::Reader reader(handler);
    reader.read(input);
    handler.checkAgainst(size);
    // Read again, the reader starts afresh: nothing of the first document shows.
    handler.reset();
    reader.read(std::string_view("{\\rtf1 x\\par}"));
    handler.checkAgainst(12);
    require(handler.collectedText() == u"x");
    RoundTrip::check(input);
    return 0;
}
