#include "cli/charsets.h"
#include "core/charsets.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace dotforge::cli {

namespace {

std::vector<std::uint16_t> computeCodes(Charset set)
{
    const std::vector<std::uint32_t> &codes = codesOf(set == Charset::Gbk ? CharSet::Gbk : CharSet::Gb2312);
    std::vector<std::uint16_t> kept;
    for (const std::uint32_t code : codes)
        // The hanzi are rows 16 to 87: lead bytes 0xB0 to 0xF7.
        if (set != Charset::Gb2312Hanzi || code >= 0xB000)
            kept.push_back(std::uint16_t(code));
    return kept;
}

} // namespace

std::optional<Charset> charsetNamed(std::string_view name)
{
    if (name == "gb2312")
        return Charset::Gb2312;
    if (name == "gb2312-hanzi")
        return Charset::Gb2312Hanzi;
    if (name == "gbk")
        return Charset::Gbk;
    return std::nullopt;
}

std::uint16_t codeValue(std::string_view code)
{
    return codeValue(code.size() > 0 ? static_cast<unsigned char>(code[0]) : 0,
        code.size() > 1 ? static_cast<unsigned char>(code[1]) : 0);
}

std::string codeBytes(std::uint16_t value)
{
    return {char(value >> 8), char(value & 0xFF)};
}

const std::vector<std::uint16_t> &charsetCodes(Charset set)
{
    // Function-local statics: each table is computed once, also across threads.
    switch (set) {
    case Charset::Gb2312: {
        static const std::vector<std::uint16_t> codes = computeCodes(Charset::Gb2312);
        return codes;
    }
    case Charset::Gb2312Hanzi: {
        static const std::vector<std::uint16_t> codes = computeCodes(Charset::Gb2312Hanzi);
        return codes;
    }
    case Charset::Gbk:
        break;
    }
    static const std::vector<std::uint16_t> codes = computeCodes(Charset::Gbk);
    return codes;
}

bool inCharset(Charset set, std::uint16_t code)
{
    const auto &codes = charsetCodes(set);
    return std::binary_search(codes.begin(), codes.end(), code);
}

} // namespace dotforge::cli
