#include "cli/charsets.h"

#include <algorithm>
#include <array>
#include <iconv.h>
#include <stdexcept>

namespace dotforge::cli {

namespace {

// Decodes one double-byte code of an iconv encoding to its code point; 0 when
// the bytes are no single character of that encoding.
class CodeDecoder {
public:
    explicit CodeDecoder(const char *encoding)
        : m_cd(iconv_open("UTF-32LE", encoding))
    {
        if (m_cd == iconv_t(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + encoding);
    }
    ~CodeDecoder() { iconv_close(m_cd); }
    CodeDecoder(const CodeDecoder &) = delete;
    CodeDecoder &operator=(const CodeDecoder &) = delete;

    char32_t decode(std::uint16_t code)
    {
        char in[2] = {char(code >> 8), char(code & 0xFF)};
        unsigned char out[8] = {};
        char *src = in;
        char *dst = reinterpret_cast<char *>(out);
        std::size_t srcLeft = sizeof in;
        std::size_t dstLeft = sizeof out;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) == std::size_t(-1) || srcLeft != 0 || dstLeft != sizeof out - 4)
            return 0;
        return char32_t(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    }

private:
    iconv_t m_cd;
};

bool privateUse(char32_t c)
{
    return (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
}

// Every two-byte code of an EUC-style encoding: lead bytes and trail bytes in
// the given ranges (0x7F is never a trail byte), kept when `keep` says so.
template <typename Keep>
std::vector<std::uint16_t> scan(const char *encoding, int leadFirst, int leadLast, int trailFirst, Keep keep)
{
    CodeDecoder decoder(encoding);
    std::vector<std::uint16_t> codes;
    for (int lead = leadFirst; lead <= leadLast; ++lead)
        for (int trail = trailFirst; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::uint16_t code = codeValue(std::uint8_t(lead), std::uint8_t(trail));
            const char32_t c = decoder.decode(code);
            if (c != 0 && keep(code, c))
                codes.push_back(code);
        }
    return codes;
}

std::vector<std::uint16_t> computeCodes(Charset set)
{
    switch (set) {
    case Charset::Gb2312:
        return scan("GB2312", 0xA1, 0xF7, 0xA1, [](std::uint16_t, char32_t) { return true; });
    case Charset::Gb2312Hanzi:
        // Rows 16 to 87: lead bytes 0xB0 to 0xF7.
        return scan("GB2312", 0xB0, 0xF7, 0xA1, [](std::uint16_t, char32_t) { return true; });
    case Charset::Gbk:
        return scan("GBK", 0x81, 0xFE, 0x40, [](std::uint16_t, char32_t c) { return !privateUse(c); });
    }
    return {};
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

std::string charsetTitle(Charset set)
{
    switch (set) {
    case Charset::Gb2312:
        return "GB2312";
    case Charset::Gb2312Hanzi:
        return "GB2312 hanzi";
    case Charset::Gbk:
        return "GBK";
    }
    return {};
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
