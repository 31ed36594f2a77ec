#include "platform/rtf/rtftokenizer.h"

#include <algorithm>
#include <array>

namespace Rtf {

namespace {

// Bytes that end a run of plain text.
constexpr std::array<bool, 256> kTextStop = [] {
    std::array<bool, 256> stop{};
    stop[std::uint8_t('\\')] = true;
    stop[std::uint8_t('{')] = true;
    stop[std::uint8_t('}')] = true;
    stop[std::uint8_t('\r')] = true;
    stop[std::uint8_t('\n')] = true;
    return stop;
}();

// Bytes that matter while a group is passed over.
constexpr std::array<bool, 256> kSkipStop = [] {
    std::array<bool, 256> stop{};
    stop[std::uint8_t('\\')] = true;
    stop[std::uint8_t('{')] = true;
    stop[std::uint8_t('}')] = true;
    return stop;
}();

constexpr std::array<bool, 256> kLetter = [] {
    std::array<bool, 256> letter{};
    for (int c = 'a'; c <= 'z'; ++c)
        letter[std::size_t(c)] = true;
    for (int c = 'A'; c <= 'Z'; ++c)
        letter[std::size_t(c)] = true;
    return letter;
}();

bool isLetter(char c)
{
    return kLetter[std::uint8_t(c)];
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

Token ofType(Token::Type type)
{
    Token token;
    token.type = type;
    return token;
}

} // namespace

Token Tokenizer::next()
{
    const char *p = m_input.data();
    const std::size_t n = m_input.size();
    while (m_pos < n) {
        switch (p[m_pos]) {
        case '{':
            ++m_pos;
            return ofType(Token::GroupStart);
        case '}':
            ++m_pos;
            return ofType(Token::GroupEnd);
        case '\r':
        case '\n':
            ++m_pos;
            continue;
        case '\\':
            return readControl();
        default: {
            const std::size_t start = m_pos++;
            while (m_pos < n && !kTextStop[std::uint8_t(p[m_pos])])
                ++m_pos;
            Token token = ofType(Token::Text);
            token.text = m_input.substr(start, m_pos - start);
            return token;
        }
        }
    }
    return ofType(Token::End);
}

Token Tokenizer::readControl()
{
    const char *p = m_input.data();
    const std::size_t n = m_input.size();
    // p[m_pos] is the backslash.
    if (m_pos + 1 >= n) {
        m_pos = n;
        return ofType(Token::End);
    }
    const char c = p[m_pos + 1];
    if (isLetter(c)) {
        const char *const begin = p + m_pos + 1;
        const char *const end = p + n;
        const char *q = begin + 1;
        while (q < end && isLetter(*q))
            ++q;
        Token token = ofType(Token::ControlWord);
        token.text = std::string_view(begin, std::size_t(q - begin));
        bool negative = false;
        if (q + 1 < end && *q == '-' && isDigit(q[1])) {
            negative = true;
            ++q;
        }
        if (q < end && isDigit(*q)) {
            std::int64_t value = 0;
            for (; q < end && isDigit(*q); ++q) {
                if (value <= kMaxParameter)
                    value = value * 10 + (*q - '0');
            }
            value = std::min<std::int64_t>(value, kMaxParameter);
            token.hasParameter = true;
            token.parameter = std::int32_t(negative ? -value : value);
        }
        if (q < end && *q == ' ')
            ++q;
        m_pos = std::size_t(q - p);
        return token;
    }
    if (c == '\'') {
        m_pos += 2;
        const int high = m_pos < n ? hexValue(p[m_pos]) : -1;
        const int low = m_pos + 1 < n ? hexValue(p[m_pos + 1]) : -1;
        if (high < 0 || low < 0) {
            // Not a byte: the escape stands for nothing.
            Token token = ofType(Token::ControlSymbol);
            token.symbol = '\'';
            return token;
        }
        m_pos += 2;
        Token token = ofType(Token::HexByte);
        token.byte = std::uint8_t(high * 16 + low);
        return token;
    }
    m_pos += 2;
    if (c == '\r' || c == '\n') {
        Token token = ofType(Token::ControlWord);
        token.text = "par";
        return token;
    }
    Token token = ofType(Token::ControlSymbol);
    token.symbol = c;
    return token;
}

std::string_view Tokenizer::takeBinary(std::int64_t count)
{
    const std::size_t available = m_input.size() - m_pos;
    const std::size_t take = count <= 0 ? 0 : std::min<std::size_t>(std::size_t(count), available);
    const std::string_view data = m_input.substr(m_pos, take);
    m_pos += take;
    return data;
}

void Tokenizer::skipGroup()
{
    const char *p = m_input.data();
    const std::size_t n = m_input.size();
    std::size_t depth = 1;
    while (m_pos < n) {
        while (m_pos < n && !kSkipStop[std::uint8_t(p[m_pos])])
            ++m_pos;
        if (m_pos >= n)
            break;
        const char c = p[m_pos];
        if (c == '{') {
            ++depth;
            ++m_pos;
        } else if (c == '}') {
            ++m_pos;
            if (--depth == 0)
                return;
        } else if (m_pos + 1 < n && isLetter(p[m_pos + 1])) {
            const Token word = readControl();
            // Binary data may hold braces and backslashes of its own.
            if (word.text == "bin" && word.hasParameter)
                takeBinary(word.parameter);
        } else {
            // An escaped character, \{ and \} included.
            m_pos = std::min(m_pos + 2, n);
        }
    }
    m_pos = n;
}

} // namespace Rtf
