#pragma once

#include <cstdint>
#include <string_view>

namespace Rtf {

// The value of one hexadecimal digit, or -1 for any other character.
constexpr int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

struct Token
{
    enum Type : std::uint8_t {
        End,
        GroupStart,
        GroupEnd,
        ControlWord,   // name in text, parameter if hasParameter
        ControlSymbol, // the character in symbol
        HexByte,       // \'hh, the value in byte
        Text,          // a run of plain bytes in text
    };

    Type type = End;
    bool hasParameter = false;
    char symbol = 0;
    std::uint8_t byte = 0;
    std::int32_t parameter = 0;
    std::string_view text;
};

// Splits RTF into tokens. Never reads past the input; numeric parameters are
// clamped to +/- kMaxParameter. Carriage returns and line feeds in the text are
// dropped, as RTF wants; a backslash before one of them reads as \par.
class Tokenizer
{
public:
    static constexpr std::int32_t kMaxParameter = 1'000'000'000;

    explicit Tokenizer(std::string_view input) : m_input(input) {}

    Token next();

    // The raw bytes after \binN: count of them, or fewer at the end of the input.
    std::string_view takeBinary(std::int64_t count);

    // Passes over the rest of the group that is open, its nested groups included,
    // and the brace that closes it.
    void skipGroup();

    std::size_t position() const { return m_pos; }

private:
    Token readControl();

    std::string_view m_input;
    std::size_t m_pos = 0;
};

} // namespace Rtf
