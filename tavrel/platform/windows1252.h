#pragma once

#include <cstdint>

// Windows-1252, the 8-bit code page of text files and RTF: bytes below 0x80 are
// ASCII and bytes from 0xA0 on are Latin-1, which leaves 0x80 to 0x9F. Plain C++,
// so that the RTF writer's core can share it.
namespace Windows1252 {

// The characters of the bytes 0x80 to 0x9F; the five bytes the code page leaves
// unassigned keep their own value, as Windows does.
inline constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte of a character, or 0 for a character the code page does not hold.
constexpr std::uint8_t byteOf(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return std::uint8_t(c);
    if (c > 0x2122) // the last of them, the trade mark sign
        return 0;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c)
            return std::uint8_t(0x80 + i);
    }
    return 0;
}

} // namespace Windows1252
