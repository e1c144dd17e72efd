// The character sets against glibc's iconv and the Unihan file, for every code
// of every set: the expectations are made here, from the converters and the
// file, not taken from the module.

#include "core/charsets.h"
#include "tests/support/unihan_kgb1.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iconv.h>
#include <map>
#include <string>

using namespace dotforge;

namespace {

// The code point iconv gives a two-byte code of `encoding`; 0 for none.
char32_t iconvCharacter(iconv_t cd, std::uint32_t code)
{
    char in[2] = {char(code >> 8), char(code & 0xFF)};
    unsigned char out[8] = {};
    char *src = in;
    char *dst = reinterpret_cast<char *>(out);
    std::size_t srcLeft = 2;
    std::size_t dstLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == std::size_t(-1) || dstLeft != 4)
        return 0;
    return char32_t(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
}

// The two bytes iconv encodes a character as; 0 for none.
std::uint32_t iconvCode(iconv_t cd, char32_t c)
{
    char in[4] = {char(c), char(c >> 8), char(c >> 16), char(c >> 24)};
    unsigned char out[8] = {};
    char *src = in;
    char *dst = reinterpret_cast<char *>(out);
    std::size_t srcLeft = 4;
    std::size_t dstLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == std::size_t(-1) || dstLeft != sizeof out - 2)
        return 0;
    return std::uint32_t(out[0] << 8 | out[1]);
}

bool privateUse(char32_t c)
{
    return (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
}

} // namespace

// Every code in the lead and trail ranges of each EUC set has the character
// iconv gives it (none where iconv gives none, or a private-use one), every
// character the code iconv encodes it as, and the set counts the standard's
// characters.
TEST(CharSets, EveryCodeAsIconvReadsAndWritesIt)
{
    const struct {
        CharSet set;
        const char *encoding;
        int leadFirst;
        int trailFirst;
        std::size_t count;
    } sets[] = {
        {CharSet::Gb2312, "GB2312", 0xA1, 0xA1, 7445},
        {CharSet::Gbk, "GBK", 0x81, 0x40, 21791},
        {CharSet::Jisx0208, "EUC-JP", 0xA1, 0xA1, 6879},
        // KS X 1001:2002, with the euro sign, the registered sign and the
        // postal code mark its amendments added.
        {CharSet::Ksx1001, "EUC-KR", 0xA1, 0xA1, 8227},
    };
    for (const auto &s : sets) {
        iconv_t decoder = iconv_open("UTF-32LE", s.encoding);
        iconv_t encoder = iconv_open(s.encoding, "UTF-32LE");
        ASSERT_NE(decoder, iconv_t(-1));
        std::size_t count = 0;
        for (int lead = s.leadFirst; lead <= 0xFE; ++lead)
            for (int trail = s.trailFirst; trail <= 0xFE; ++trail) {
                const std::uint32_t code = std::uint32_t(lead << 8 | trail);
                char32_t expected = trail == 0x7F ? 0 : iconvCharacter(decoder, code);
                if (privateUse(expected))
                    expected = 0;
                const std::optional<char32_t> found = characterOf(s.set, code);
                ASSERT_EQ(found.value_or(0), expected) << charSetName(s.set) << " " << std::hex << code;
                if (expected == 0)
                    continue;
                ++count;
                ASSERT_EQ(codeOf(s.set, expected).value_or(0), iconvCode(encoder, expected))
                    << charSetName(s.set) << " " << std::hex << code;
            }
        EXPECT_EQ(count, s.count) << charSetName(s.set);
        EXPECT_EQ(codesOf(s.set).size(), s.count) << charSetName(s.set);
        iconv_close(decoder);
        iconv_close(encoder);
    }
}

// GB/T 12345: Unihan's traditional character at each position kGB1 names,
// GB 2312's own elsewhere.
TEST(CharSets, TraditionalSetIsUnihansKGb1OverGb2312)
{
    const std::map<std::uint32_t, char32_t> kGb1 = test::unihanKGb1();
    ASSERT_GT(kGb1.size(), 6000u) << "bzip2 -dc " UNIHAN_PATH;
    for (const auto &[code, c] : kGb1)
        ASSERT_EQ(characterOf(CharSet::Gbt12345, code).value_or(0), c) << std::hex << code;
    for (const std::uint32_t code : codesOf(CharSet::Gb2312)) {
        if (!kGb1.count(code)) {
            ASSERT_EQ(characterOf(CharSet::Gbt12345, code), characterOf(CharSet::Gb2312, code)) << std::hex << code;
        }
    }
    // 們 stands at 们's position, 柄's at its own.
    EXPECT_EQ(characterOf(CharSet::Gbt12345, 0xC3C7), U'們');
    EXPECT_EQ(codeOf(CharSet::Gbt12345, U'們'), 0xC3C7u);
}

TEST(CharSets, NamesAndUnicode)
{
    for (const char *name : {"gb2312", "gbk", "gbt12345", "jisx0208", "ksx1001", "unicode"})
        EXPECT_EQ(charSetName(charSetNamed(name).value()), name);
    EXPECT_FALSE(charSetNamed("GB2312"));
    EXPECT_EQ(characterOf(CharSet::Unicode, 0x1F600), char32_t(0x1F600));
    EXPECT_FALSE(characterOf(CharSet::Unicode, 0xD800));
    EXPECT_FALSE(characterOf(CharSet::Unicode, 0x110000));
    EXPECT_EQ(codeOf(CharSet::Unicode, U'柄'), 0x67C4u);
    EXPECT_TRUE(codesOf(CharSet::Unicode).empty());
    // JIS X 0208 row 42, cell 33 is 柄; KS X 1001's first hangul is 가.
    EXPECT_EQ(characterOf(CharSet::Jisx0208, 0xCAC1), U'柄');
    EXPECT_EQ(characterOf(CharSet::Ksx1001, 0xB0A1), U'가');
}
