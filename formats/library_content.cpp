#include "formats/library_content.h"

#include <cstdio>

namespace dotforge {

namespace {

std::string hexBytes(const std::string &bytes)
{
    std::string out;
    for (const char c : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", unsigned(static_cast<unsigned char>(c)));
        out += out.empty() ? hex : std::string(" ") + hex;
    }
    return out;
}

std::string describe(FormatError::Fault fault, std::int64_t number, int n, const std::string &code)
{
    const std::string entry = std::to_string(n * n / 8 + 2);
    switch (fault) {
    case FormatError::Fault::Text:
        return "a text file, no .ZMB file";
    case FormatError::Fault::Size:
        return std::to_string(number) + " bytes are no whole number of " + std::to_string(n)
            + "-dot glyphs with their codes (" + entry + " bytes each): no .ZMB file of " + std::to_string(n)
            + "-dot glyphs";
    case FormatError::Fault::Code:
        return "the code of glyph " + std::to_string(number + 1) + " is " + hexBytes(code)
            + ", no character code: no .ZMB file of " + std::to_string(n) + "-dot glyphs";
    case FormatError::Fault::NotText:
        return "line " + std::to_string(number) + " holds the byte " + hexBytes(code)
            + ", which no text holds: no .ASM file";
    }
    return {};
}

} // namespace

std::string FormatError::codeHex() const
{
    return hexBytes(m_code);
}

FormatError::FormatError(Fault fault, std::int64_t number, int n, std::string code)
    : std::runtime_error(describe(fault, number, n, code))
    , m_fault(fault)
    , m_number(number)
    , m_n(n)
    , m_code(std::move(code))
{
}

} // namespace dotforge
