// The FreeType rasteriser draws what Qt's text drawing draws: the whole 40 x 40
// surface, pixel for pixel, for every GB2312 character and for two letters side
// by side, in the faces the program is used with, at the default point sizes of
// the three dot sizes and at the largest one. Also the face look-up the batch
// tool relies on (the ascent against QFontMetrics is in rasterizer_test).

#include "core/gbk.h"
#include "render/freetype_rasterizer.h"
#include "tests/support/qt_rasterizer.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

using namespace dotforge;

namespace {

// Every character of GB2312 (7,445 two-byte codes), as UTF-8, with its code.
struct Character {
    unsigned code;
    std::string utf8;
};

std::vector<Character> gb2312Characters()
{
    std::vector<Character> out;
    iconv_t cv = iconv_open("UTF-8", "GB2312");
    if (cv == iconv_t(-1))
        return out;
    for (unsigned b0 = 0xA1; b0 <= 0xF7; ++b0) {
        for (unsigned b1 = 0xA1; b1 <= 0xFE; ++b1) {
            char in[2] = {char(b0), char(b1)};
            char buffer[8];
            char *from = in;
            char *to = buffer;
            std::size_t inLeft = 2;
            std::size_t outLeft = sizeof buffer;
            iconv(cv, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cv, &from, &inLeft, &to, &outLeft) != std::size_t(-1) && inLeft == 0)
                out.push_back({b0 << 8 | b1, std::string(buffer, std::size_t(to - buffer))});
        }
    }
    iconv_close(cv);
    return out;
}

// The surface as rows of '#' (any colour but white) and '.', the rows and
// columns both drawings leave white cut away.
std::string art(const Surface40 &a, const Surface40 &b)
{
    int top = Surface40::kSize, bottom = -1, left = Surface40::kSize, right = -1;
    for (int y = 0; y < Surface40::kSize; ++y)
        for (int x = 0; x < Surface40::kSize; ++x)
            if (a.pixel(x, y) != Surface40::kWhite || b.pixel(x, y) != Surface40::kWhite) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
    std::ostringstream out;
    out << "rows " << top << ".." << bottom << ", columns " << left << ".." << right << "\n  FreeType"
        << std::string(std::size_t(std::max(0, right - left - 6)), ' ') << "   Qt\n";
    for (int y = top; y <= bottom; ++y) {
        out << "  ";
        for (const Surface40 *s : {&a, &b}) {
            for (int x = left; x <= right; ++x)
                out << (s->pixel(x, y) == Surface40::kWhite ? '.' : '#');
            out << "   ";
        }
        out << '\n';
    }
    return out.str();
}

struct IdentityCase {
    const char *face;
    int points;
};

void PrintTo(const IdentityCase &c, std::ostream *os)
{
    *os << c.face << " " << c.points << " pt";
}

class SameAsQt : public testing::TestWithParam<IdentityCase> { };

TEST_P(SameAsQt, EveryGb2312CharacterAndTwoLetters)
{
    static const std::vector<Character> characters = gb2312Characters();
    ASSERT_EQ(characters.size(), 7445u) << "iconv has no GB2312";
    const IdentityCase &c = GetParam();
    FreeTypeRasterizer freetype;
    test::QtRasterizer qt;
    ASSERT_EQ(freetype.ascent(c.face, c.points), test::QtRasterizer::ascent(c.face, c.points));

    std::vector<Character> texts = characters;
    texts.push_back({'A' << 8 | 'B', "AB"});
    int differences = 0;
    int inked = 0;
    for (const Character &ch : texts) {
        Surface40 mine;
        Surface40 reference;
        freetype.drawText(mine, ch.utf8, c.face, c.points, 5, 5);
        qt.drawText(reference, ch.utf8, c.face, c.points, 5, 5);
        if (mine.pixels != reference.pixels) {
            if (++differences <= 5) {
                char code[8];
                std::snprintf(code, sizeof code, "%04X", ch.code);
                ADD_FAILURE() << code << " \"" << ch.utf8 << "\" differs, " << art(mine, reference);
            }
        } else if (mine.pixels != Surface40().pixels) {
            ++inked;
        }
    }
    EXPECT_EQ(differences, 0) << "characters drawn differently";
    // The comparison means something only where glyphs were drawn at all.
    EXPECT_GT(inked, 7000);
}

INSTANTIATE_TEST_SUITE_P(Faces, SameAsQt,
    testing::Values(IdentityCase{"宋体", 12}, IdentityCase{"宋体", 18}, IdentityCase{"宋体", 22},
        IdentityCase{"宋体", 28}, IdentityCase{"AR PL SungtiL GB", 12}, IdentityCase{"AR PL SungtiL GB", 18},
        IdentityCase{"AR PL SungtiL GB", 22}, IdentityCase{"AR PL SungtiL GB", 28}, IdentityCase{"Unifont", 12},
        IdentityCase{"Unifont", 18}, IdentityCase{"Unifont", 22}, IdentityCase{"Unifont", 28},
        IdentityCase{"文鼎ＰＬ简报宋", 12}, IdentityCase{"DejaVu Sans", 12}, IdentityCase{"DejaVu Sans", 22},
        IdentityCase{"Noto Sans CJK JP", 12}, IdentityCase{"Noto Sans CJK JP", 22}));

// What the batch tool accepts as a face, and the file it names.
TEST(FreeTypeRasterizer, FacesByNameLocalizedNameAndSubstitution)
{
    FreeTypeRasterizer freetype;
    struct {
        const char *face;
        bool installed;
        const char *file; // file name the face resolves to, "" for none
    } const cases[] = {
        {"AR PL SungtiL GB", true, "gbsn00lp.ttf"},
        {"ar pl sungtil gb", true, "gbsn00lp.ttf"},
        {"文鼎ＰＬ简报宋", true, "gbsn00lp.ttf"},
        {"宋体", true, "uming.ttc"},
        {"SimSun", true, "uming.ttc"},
        {"Unifont", true, "unifont.otf"},
        {"WenQuanYi Bitmap Song", false, nullptr}, // bitmap only
        {"No Such Face", false, nullptr},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(freetype.hasFace(c.face), c.installed) << c.face;
        if (c.file) {
            EXPECT_EQ(std::filesystem::path(freetype.fontFile(c.face)).filename(), c.file) << c.face;
        }
    }
}

} // namespace
