#include "formats/lvgl.h"

#include "core/gbk.h"
#include "core/hex.h"
#include "formats/c_source.h"
#include "formats/code_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <deque>
#include <functional>
#include <stdexcept>
#include <utility>

namespace dotforge {

namespace {

// LVGL holds at most 511 character maps (a 9-bit count) and a range of at
// most 65535 code points (a 16-bit length).
constexpr std::size_t kMaxCmaps = 511;
constexpr std::uint32_t kMaxRange = 65535;
// Glyph bitmaps start below 1 MB unless LVGL is built with
// LV_FONT_FMT_TXT_LARGE (a 20-bit index).
constexpr std::size_t kSmallBitmapLimit = std::size_t(1) << 20;

int descent(int n)
{
    return n / 8;
}
int ascent(int n)
{
    return n - descent(n);
}

// The underline fills the lowest rows of the line: 1 pixel, 2 from 32 dots.
int underlineThickness(int n)
{
    return std::max(1, n / 16);
}
// The distance from the base line down to the underline's top row, negative.
int underlinePosition(int n)
{
    return -(descent(n) - underlineThickness(n));
}

// Row y of a plane as one word, column 0 in bit 31, the columns from `width`
// on cleared.
std::uint32_t rowWord(const GlyphPlane &plane, int y, int width)
{
    const std::uint32_t word = std::uint32_t(plane.at(y, 0)) << 24 | std::uint32_t(plane.at(y, 1)) << 16
        | std::uint32_t(plane.at(y, 2)) << 8 | plane.at(y, 3);
    return width >= 32 ? word : word & ~(~std::uint32_t(0) >> width);
}

// Calls emit(byte) for each byte of a box's bitmap.
template <typename Emit> void packBitmap(const GlyphPlane &plane, const LvglBox &box, Emit emit)
{
    if (box.width == 0)
        return;
    std::uint64_t pending = 0;
    int bits = 0;
    for (int y = box.y; y < box.y + box.height; ++y) {
        const std::uint32_t row = (rowWord(plane, y, 32) << box.x) >> (32 - box.width);
        pending = pending << box.width | row;
        bits += box.width;
        while (bits >= 8) {
            bits -= 8;
            emit(std::uint8_t(pending >> bits));
        }
    }
    if (bits > 0)
        emit(std::uint8_t(pending << (8 - bits)));
}

// The offset from the base line up to the bottom of a box, as LVGL places
// glyphs: 0 for a box whose last row lies just above the base line.
int boxOffsetY(const LvglBox &box, int n)
{
    return box.width == 0 ? 0 : ascent(n) - (box.y + box.height);
}

void checkIndex(const LvglIndex &index)
{
    if (!isDotSize(index.n))
        throw std::invalid_argument("LVGL font: no dot size " + std::to_string(index.n));
    if (!isCIdentifier(index.name))
        throw std::invalid_argument("LVGL font: \"" + index.name + "\" is no C identifier");
    if (index.characters.size() > kLvglMaxGlyphs)
        throw std::invalid_argument("LVGL font: more than " + std::to_string(kLvglMaxGlyphs) + " glyphs");
    char32_t last = 0;
    for (const LvglCharacter &c : index.characters) {
        if (c.codePoint <= last || c.codePoint > 0x10FFFF)
            throw std::invalid_argument("LVGL font: the code points do not ascend from U+0001 to U+10FFFF");
        if (c.width < 1 || c.width > index.n)
            throw std::invalid_argument("LVGL font: a glyph width of " + std::to_string(c.width));
        last = c.codePoint;
    }
}

std::vector<char32_t> codePointsOf(const LvglIndex &index)
{
    std::vector<char32_t> out(index.characters.size());
    for (std::size_t g = 0; g < out.size(); ++g)
        out[g] = index.characters[g].codePoint;
    return out;
}

std::vector<LvglBox> inkBoxes(const LvglFont &font)
{
    std::vector<LvglBox> boxes(font.glyphs.size());
    for (std::size_t g = 0; g < boxes.size(); ++g)
        boxes[g] = lvglInkBox(font.glyphs[g].plane, font.glyphs[g].width, font.n);
    return boxes;
}

// Whether the bitmap of some glyph cropped to `boxes` starts past what LVGL's
// glyph descriptors hold without LV_FONT_FMT_TXT_LARGE.
bool needsLargeFormat(const std::vector<LvglBox> &boxes)
{
    std::size_t start = 0;
    for (const LvglBox &box : boxes) {
        if (start >= kSmallBitmapLimit)
            return true;
        start += lvglBitmapBytes(box);
    }
    return false;
}

// The split of lvglCmaps for a map record of `header` bytes. best[i] is the
// cheapest split of the first i code points as (bytes, maps); it never falls
// as i grows, so a dense map ending at i best starts as early as it may, and
// a sparse one where best[j] - 2j is least in its window.
std::vector<LvglCmap> cheapestCmaps(const std::vector<char32_t> &cps, std::size_t header)
{
    struct Cost {
        std::size_t bytes = 0;
        std::size_t maps = 0;
        bool operator<(const Cost &o) const { return bytes != o.bytes ? bytes < o.bytes : maps < o.maps; }
    };
    const std::size_t count = cps.size();
    std::vector<Cost> best(count + 1);
    std::vector<std::size_t> from(count + 1);
    std::vector<bool> dense(count + 1);
    std::size_t runStart = 0; // the first of the consecutive code points ending at i - 1
    std::size_t window = 0; // the first j a sparse map [j, i) may start at
    std::deque<std::size_t> candidates; // j in the window with ascending sparseKey
    const auto sparseKey = [&best](std::size_t j) {
        return std::pair{static_cast<long long>(best[j].bytes) - 2 * static_cast<long long>(j), best[j].maps};
    };
    for (std::size_t i = 1; i <= count; ++i) {
        if (i > 1 && cps[i - 1] != cps[i - 2] + 1)
            runStart = i - 1;
        const std::size_t denseFrom = std::max(runStart, i > kMaxRange ? i - kMaxRange : 0);
        const Cost denseCost{best[denseFrom].bytes + header, best[denseFrom].maps + 1};

        const std::size_t j = i - 1;
        while (!candidates.empty() && !(sparseKey(candidates.back()) < sparseKey(j)))
            candidates.pop_back();
        candidates.push_back(j);
        while (cps[i - 1] - cps[window] + 1 > kMaxRange)
            ++window;
        while (candidates.front() < window)
            candidates.pop_front();
        const std::size_t s = candidates.front();
        const Cost sparseCost{best[s].bytes + header + 2 * (i - s), best[s].maps + 1};

        dense[i] = !(sparseCost < denseCost);
        best[i] = dense[i] ? denseCost : sparseCost;
        from[i] = dense[i] ? denseFrom : s;
    }
    std::vector<LvglCmap> maps;
    for (std::size_t i = count; i > 0; i = from[i]) {
        const std::size_t j = from[i];
        maps.push_back({cps[j], std::uint32_t(cps[i - 1] - cps[j] + 1), j, i - j,
            dense[i] ? LvglCmap::Type::Dense : LvglCmap::Type::Sparse});
    }
    std::reverse(maps.begin(), maps.end());
    return maps;
}

// Text of C source: numbers and bytes appended straight to a string.
class CText {
public:
    explicit CText(std::string &text)
        : out(text)
    {
    }
    std::string &out;

    CText &operator<<(std::string_view text)
    {
        out.append(text);
        return *this;
    }
    CText &operator<<(char c)
    {
        out.push_back(c);
        return *this;
    }
    CText &number(long long value)
    {
        char digits[24];
        char *end = digits + sizeof digits;
        char *p = end;
        const bool negative = value < 0;
        unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(value) : value;
        do {
            *--p = char('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude > 0);
        if (negative)
            *--p = '-';
        out.append(p, std::size_t(end - p));
        return *this;
    }
    // "0x" and the value in upper-case hexadecimal, at least `digits` digits.
    CText &hex(std::uint32_t value, int digits = 1)
    {
        int shown = 8;
        while (shown > digits && (value >> (4 * (shown - 1))) == 0)
            --shown;
        out += "0x";
        for (int d = shown - 1; d >= 0; --d)
            out += hexDigit(value >> (4 * d));
        return *this;
    }
    // "U+4E2D", four digits at least.
    CText &codePoint(char32_t cp)
    {
        out += "U+";
        for (int d = cp > 0xFFFF ? (cp > 0xFFFFF ? 5 : 4) : 3; d >= 0; --d)
            out += hexDigit(unsigned(cp >> (4 * d)));
        return *this;
    }
};

// "0xHH," of each byte value.
constexpr std::array<std::array<char, 5>, 256> kHexBytes = [] {
    std::array<std::array<char, 5>, 256> table{};
    for (unsigned b = 0; b < 256; ++b)
        table[b] = {'0', 'x', hexDigit(b >> 4), hexDigit(b), ','};
    return table;
}();

// Whether a glyph comment may show the character itself: it is visible and
// cannot disturb the comment or the line.
bool shownInComment(char32_t cp)
{
    return cp > 0x20 && cp != 0x7F && !invisibleControl(cp) && !(cp >= 0xD800 && cp <= 0xDFFF) && cp <= 0x10FFFF;
}

// Little-endian binary output.
class Bytes {
public:
    std::string out;

    void u8(unsigned v) { out += char(std::uint8_t(v)); }
    void u16(unsigned v)
    {
        u8(v);
        u8(v >> 8);
    }
    void u32(std::uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void i16(int v) { u16(unsigned(std::uint16_t(std::int16_t(v)))); }
    // A table: its length (the 8 bytes of length and label included), its
    // label and its body.
    void table(const char label[5], std::string body)
    {
        const std::size_t start = out.size();
        u32(0);
        out.append(label, 4);
        out += body;
        const auto length = std::uint32_t(out.size() - start);
        for (int k = 0; k < 4; ++k)
            out[start + std::size_t(k)] = char(std::uint8_t(length >> (8 * k)));
    }
};

// Appends bit fields, the first bit in bit 7 of a byte.
class Bits {
public:
    explicit Bits(std::string &out)
        : m_out(out)
    {
    }
    void put(std::uint32_t value, int bits)
    {
        for (int b = bits - 1; b >= 0; --b) {
            m_byte = std::uint8_t(m_byte << 1 | ((value >> b) & 1));
            if (++m_count == 8) {
                m_out += char(m_byte);
                m_count = 0;
                m_byte = 0;
            }
        }
    }

private:
    std::string &m_out;
    std::uint8_t m_byte = 0;
    int m_count = 0;
};

// Bits that hold 0 to `value`; and, signed, `low` to `high`. One at least.
int unsignedBits(unsigned value)
{
    return std::max(1, int(std::bit_width(value)));
}
int signedBits(int low, int high)
{
    int bits = 1;
    while (low < -(1 << (bits - 1)) || high > (1 << (bits - 1)) - 1)
        ++bits;
    return bits;
}

// The most text one glyph's bitmap takes: a comment line of at most 24
// bytes, 5 characters a byte and 5 more each 16 bytes.
std::size_t bitmapTextBound(int n)
{
    const auto most = std::size_t(glyphBytes(n));
    return 24 + most * 5 + (most / 16 + 1) * 5 + 1;
}

// Appends the bitmaps of glyphs [from, to) to `out` and their boxes to
// `boxes`, the text written straight into room made for it.
void appendBitmapText(std::string &out, std::vector<LvglBox> &boxes, const std::vector<LvglGlyph> &glyphs,
    std::size_t from, std::size_t to, int n)
{
    boxes.reserve(boxes.size() + (to - from));
    const std::size_t bound = bitmapTextBound(n);
    out.reserve(out.size() + (to - from) * bound);
    for (std::size_t g = from; g < to; ++g) {
        const LvglGlyph &glyph = glyphs[g];
        const LvglBox box = lvglInkBox(glyph.plane, glyph.width, n);
        boxes.push_back(box);
        const std::size_t start = out.size();
        out.resize(start + bound);
        char *p = out.data() + start;
        const auto put = [&p](const char *text, std::size_t length) {
            std::memcpy(p, text, length);
            p += length;
        };
        put("    /* U+", 9);
        const char32_t cp = glyph.codePoint;
        for (int d = cp > 0xFFFF ? (cp > 0xFFFFF ? 5 : 4) : 3; d >= 0; --d)
            *p++ = hexDigit(unsigned(cp >> (4 * d)));
        if (shownInComment(cp)) {
            const std::string character = ' ' + encodeUtf8(cp);
            put(character.data(), character.size());
        }
        put(" */", 3);
        std::size_t k = 0;
        packBitmap(glyph.plane, box, [&put, &k](std::uint8_t b) {
            if (k++ % 16 == 0)
                put("\n    ", 5);
            put(kHexBytes[b].data(), 5);
        });
        *p++ = '\n';
        out.resize(std::size_t(p - out.data()));
    }
}

// The opening comment, the include and the start of the bitmaps.
void appendOpening(std::string &out, const LvglIndex &index, const std::vector<std::string> &note)
{
    const int n = index.n;
    const std::string &name = index.name;
    std::size_t half = 0;
    for (const LvglCharacter &c : index.characters)
        half += c.width != n ? 1 : 0;
    CText open(out);
    open << "/* " << name << ": a font for LVGL 9 of " << std::to_string(index.characters.size()) << " glyph(s) of "
         << std::to_string(n) << " x " << std::to_string(n) << " dots";
    if (half > 0)
        open << " (" << std::to_string(half) << " of them " << std::to_string(halfWidth(n)) << " dots wide)";
    open << ", 1 bit per pixel.\n * Lines are " << std::to_string(n) << " pixels high, the base line "
         << std::to_string(descent(n)) << " above their bottom; no kerning." << commentLines(note) << " */\n\n";
    open << "#ifdef LV_LVGL_H_INCLUDE_SIMPLE\n#include \"lvgl.h\"\n#else\n#include \"lvgl/lvgl.h\"\n#endif\n\n";
    open << "#if LVGL_VERSION_MAJOR < 9\n#error \"" << name << " is a font for LVGL 9\"\n#endif\n";
    open << "\n#ifndef LV_ATTRIBUTE_LARGE_CONST\n#define LV_ATTRIBUTE_LARGE_CONST\n#endif\n\n";
    open << "/* Each glyph's dots within its ink box, row after row, 1 bit a dot, the\n"
            " * first in bit 7; the last byte of a glyph padded with 0. */\n";
    open << "static LV_ATTRIBUTE_LARGE_CONST const uint8_t " << name << "_bitmaps[] = {\n";
}

// The end of the bitmaps, the glyph descriptors, the maps and the font, for
// glyphs cropped to `boxes`. With `spill`, the text is handed to it in parts
// once it passes kSpillBytes, and `out` emptied.
constexpr std::size_t kSpillBytes = 64 * 1024;
void appendClosing(std::string &out, const LvglIndex &index, const std::vector<LvglBox> &boxes,
    const std::function<void(std::string &)> &spill = {})
{
    const int n = index.n;
    const std::string &name = index.name;
    const auto spilled = [&out, &spill] {
        if (spill && out.size() >= kSpillBytes) {
            spill(out);
            out.clear();
        }
    };
    std::vector<std::uint32_t> starts(boxes.size());
    std::size_t bitmapBytes = 0;
    for (std::size_t g = 0; g < boxes.size(); ++g) {
        starts[g] = std::uint32_t(bitmapBytes);
        bitmapBytes += lvglBitmapBytes(boxes[g]);
    }
    CText close(out);
    out.reserve(spill ? kSpillBytes + 4096 : out.size() + boxes.size() * 48 + 2048);
    if (bitmapBytes == 0)
        close << "    0x00, /* no glyph has ink */\n";
    close << "};\n\n";
    if (needsLargeFormat(boxes))
        close << "#if !LV_FONT_FMT_TXT_LARGE\n#error \"" << name
              << " needs LV_FONT_FMT_TXT_LARGE 1 in lv_conf.h: its bitmaps pass 1 MB\"\n#endif\n\n";
    close << "/* Per glyph: where its bitmap starts, its advance in 1/16 pixel, its ink box\n"
             " * and the box's offset from the pen, upwards from the base line to the box's\n"
             " * bottom. Glyph 0 stands for none. */\n";
    close << "static LV_ATTRIBUTE_LARGE_CONST const lv_font_fmt_txt_glyph_dsc_t " << name
          << "_glyphs[] = {\n    {0, 0, 0, 0, 0, 0},\n";
    for (std::size_t g = 0; g < boxes.size(); ++g) {
        const LvglBox &box = boxes[g];
        close << "    {";
        close.number(starts[g]) << ", ";
        close.number(index.characters[g].width * 16) << ", ";
        close.number(box.width) << ", ";
        close.number(box.height) << ", ";
        close.number(box.x) << ", ";
        close.number(boxOffsetY(box, n)) << "}, /* ";
        close.codePoint(index.characters[g].codePoint) << " */\n";
        spilled();
    }
    close << "};\n\n";

    const std::vector<char32_t> cps = codePointsOf(index);
    const std::vector<LvglCmap> cmaps = lvglCmaps(cps);
    for (std::size_t m = 0; m < cmaps.size(); ++m) {
        const LvglCmap &map = cmaps[m];
        if (map.type != LvglCmap::Type::Sparse)
            continue;
        close << "/* The code points of map " << std::to_string(m) << " less ";
        close.codePoint(map.rangeStart) << ". */\n";
        close << "static LV_ATTRIBUTE_LARGE_CONST const uint16_t " << name << "_list" << std::to_string(m) << "[] = {";
        for (std::size_t k = 0; k < map.count; ++k) {
            close << (k % 12 == 0 ? "\n    " : " ");
            close.hex(std::uint32_t(cps[map.firstGlyph + k] - map.rangeStart)) << ',';
            spilled();
        }
        close << "\n};\n\n";
    }
    if (!cmaps.empty()) {
        close << "static const lv_font_fmt_txt_cmap_t " << name << "_cmaps[] = {\n";
        for (std::size_t m = 0; m < cmaps.size(); ++m) {
            const LvglCmap &map = cmaps[m];
            const bool sparse = map.type == LvglCmap::Type::Sparse;
            close << "    {\n        .range_start = ";
            close.hex(map.rangeStart, 4) << ",\n        .range_length = ";
            close.number(map.rangeLength) << ",\n        .glyph_id_start = ";
            close.number(static_cast<long long>(map.firstGlyph + 1)) << ",\n        .unicode_list = ";
            close << (sparse ? name + "_list" + std::to_string(m) : std::string("NULL"))
                  << ",\n        .glyph_id_ofs_list = NULL,\n        .list_length = ";
            close.number(sparse ? static_cast<long long>(map.count) : 0)
                << (sparse ? ",\n        .type = LV_FONT_FMT_TXT_CMAP_SPARSE_TINY,\n    },\n"
                           : ",\n        .type = LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY,\n    },\n");
        }
        close << "};\n\n";
    }
    close << "static const lv_font_fmt_txt_dsc_t " << name << "_dsc = {\n";
    close << "    .glyph_bitmap = " << name << "_bitmaps,\n    .glyph_dsc = " << name << "_glyphs,\n";
    close << "    .cmaps = " << (cmaps.empty() ? std::string("NULL") : name + "_cmaps") << ",\n";
    close << "    .kern_dsc = NULL,\n    .kern_scale = 0,\n    .cmap_num = " << std::to_string(cmaps.size())
          << ",\n    .bpp = 1,\n    .kern_classes = 0,\n    .bitmap_format = LV_FONT_FMT_TXT_PLAIN,\n"
             "    .stride = 0,\n};\n\n";
    close << "const lv_font_t " << name << " = {\n";
    close << "    .get_glyph_dsc = lv_font_get_glyph_dsc_fmt_txt,\n"
             "    .get_glyph_bitmap = lv_font_get_bitmap_fmt_txt,\n    .release_glyph = NULL,\n";
    close << "    .line_height = " << std::to_string(n) << ",\n    .base_line = " << std::to_string(descent(n))
          << ",\n    .subpx = LV_FONT_SUBPX_NONE,\n    .kerning = LV_FONT_KERNING_NONE,\n";
    close << "    .static_bitmap = 0, /* the bitmaps are expanded to 8 bits for drawing */\n";
    close << "    .underline_position = " << std::to_string(underlinePosition(n))
          << ",\n    .underline_thickness = " << std::to_string(underlineThickness(n)) << ",\n";
    close << "    .dsc = &" << name << "_dsc,\n    .fallback = NULL,\n    .user_data = NULL,\n};\n";
}

} // namespace

LvglBox lvglInkBox(const GlyphPlane &plane, int width, int n)
{
    std::uint32_t columns = 0;
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < n; ++y) {
        const std::uint32_t row = rowWord(plane, y, width);
        if (row != 0) {
            top = top < 0 ? y : top;
            bottom = y;
            columns |= row;
        }
    }
    if (top < 0)
        return {};
    const int left = std::countl_zero(columns);
    const int right = 31 - std::countr_zero(columns);
    return {left, top, right - left + 1, bottom - top + 1};
}

std::size_t lvglBitmapBytes(const LvglBox &box)
{
    return (std::size_t(box.width) * std::size_t(box.height) + 7) / 8;
}

std::vector<LvglCmap> lvglCmaps(const std::vector<char32_t> &codePoints)
{
    // A map record counts more until LVGL holds the maps.
    std::size_t header = kLvglCmapBytes;
    std::vector<LvglCmap> maps = cheapestCmaps(codePoints, header);
    while (maps.size() > kMaxCmaps) {
        header *= 2;
        maps = cheapestCmaps(codePoints, header);
    }
    return maps;
}

LvglBitmapText lvglBitmapText(const std::vector<LvglGlyph> &glyphs, std::size_t from, std::size_t to, int n)
{
    LvglBitmapText piece;
    appendBitmapText(piece.text, piece.boxes, glyphs, from, to, n);
    return piece;
}

LvglIndex lvglIndex(const LvglFont &font)
{
    LvglIndex index{font.n, font.name, {}};
    index.characters.reserve(font.glyphs.size());
    for (const LvglGlyph &g : font.glyphs)
        index.characters.push_back({g.codePoint, g.width});
    return index;
}

std::string lvglOpening(const LvglIndex &index, const std::vector<std::string> &note)
{
    checkIndex(index);
    std::string out;
    appendOpening(out, index, note);
    return out;
}

void lvglClosing(const LvglIndex &index, const std::vector<LvglBitmapText> &pieces,
    const std::function<void(std::string_view)> &write)
{
    checkIndex(index);
    std::vector<LvglBox> boxes;
    boxes.reserve(index.characters.size());
    for (const LvglBitmapText &piece : pieces)
        boxes.insert(boxes.end(), piece.boxes.begin(), piece.boxes.end());
    if (boxes.size() != index.characters.size())
        throw std::invalid_argument("LVGL font: the pieces do not cover the glyphs");
    std::string out;
    appendClosing(out, index, boxes, [&write](std::string &part) { write(part); });
    write(out);
}

LvglSourceText lvglSourceText(
    const LvglFont &font, const std::vector<std::string> &note, const std::vector<LvglBitmapText> &pieces)
{
    const LvglIndex index = lvglIndex(font);
    LvglSourceText text;
    text.pieces = &pieces;
    text.opening = lvglOpening(index, note);
    lvglClosing(index, pieces, [&text](std::string_view part) { text.closing += part; });
    return text;
}

std::vector<std::string_view> LvglSourceText::parts() const
{
    std::vector<std::string_view> out{opening};
    if (pieces)
        for (const LvglBitmapText &piece : *pieces)
            out.emplace_back(piece.text);
    out.emplace_back(closing);
    return out;
}

std::string LvglSourceText::joined() const
{
    std::size_t size = 0;
    const std::vector<std::string_view> all = parts();
    for (const std::string_view part : all)
        size += part.size();
    std::string out;
    out.reserve(size);
    for (const std::string_view part : all)
        out.append(part);
    return out;
}

std::string lvglSource(const LvglFont &font, const std::vector<std::string> &note)
{
    const LvglIndex index = lvglIndex(font);
    checkIndex(index);
    // One string from the start: a font of thousands of glyphs is megabytes.
    std::string out;
    out.reserve(2048 + font.glyphs.size() * (bitmapTextBound(font.n) + 48));
    std::vector<LvglBox> boxes;
    appendOpening(out, index, note);
    appendBitmapText(out, boxes, font.glyphs, 0, font.glyphs.size(), font.n);
    appendClosing(out, index, boxes);
    return out;
}

bool lvglNeedsLargeFormat(const LvglFont &font)
{
    return needsLargeFormat(inkBoxes(font));
}

std::string lvglBinary(const LvglFont &font)
{
    const LvglIndex index = lvglIndex(font);
    checkIndex(index);
    const int n = font.n;
    const std::vector<LvglBox> boxes = inkBoxes(font);
    const std::vector<char32_t> cps = codePointsOf(index);
    const std::vector<LvglCmap> cmaps = lvglCmaps(cps);

    // The glyph records: advance (whole pixels), x and y offset, box width and
    // height as bit fields, then the bitmap from a whole byte on, so that LVGL
    // reads it as the same bytes as the C source's. The advance field takes
    // the bits that make the fields whole bytes.
    int xyLow = 0;
    int xyHigh = 0;
    int side = 0;
    for (const LvglBox &box : boxes) {
        xyLow = std::min({xyLow, box.x, boxOffsetY(box, n)});
        xyHigh = std::max({xyHigh, box.x, boxOffsetY(box, n)});
        side = std::max({side, box.width, box.height});
    }
    int widest = 0;
    for (const LvglGlyph &g : font.glyphs)
        widest = std::max(widest, g.width);
    const int xyBits = signedBits(xyLow, xyHigh);
    const int whBits = unsignedBits(unsigned(side));
    int advanceBits = unsignedBits(unsigned(widest));
    advanceBits += (8 - (advanceBits + 2 * xyBits + 2 * whBits) % 8) % 8;

    std::string glyf;
    std::vector<std::uint32_t> offsets;
    offsets.reserve(boxes.size() + 1);
    const auto record = [&](int advance, const LvglBox &box, const GlyphPlane *plane) {
        offsets.push_back(std::uint32_t(8 + glyf.size()));
        Bits bits(glyf);
        bits.put(std::uint32_t(advance), advanceBits);
        bits.put(std::uint32_t(box.x) & ((1u << xyBits) - 1), xyBits);
        bits.put(std::uint32_t(boxOffsetY(box, n)) & ((1u << xyBits) - 1), xyBits);
        bits.put(std::uint32_t(box.width), whBits);
        bits.put(std::uint32_t(box.height), whBits);
        if (plane)
            packBitmap(*plane, box, [&glyf](std::uint8_t b) { glyf += char(b); });
    };
    record(0, {}, nullptr); // glyph 0, none
    for (std::size_t g = 0; g < boxes.size(); ++g)
        record(font.glyphs[g].width, boxes[g], &font.glyphs[g].plane);
    const bool longOffsets = offsets.back() > 0xFFFF;

    Bytes head;
    head.u32(1); // version
    head.u16(3); // tables after this one: cmap, loca, glyf (no kern)
    head.u16(unsigned(n)); // font size
    head.u16(unsigned(ascent(n)));
    head.i16(-descent(n));
    head.u16(unsigned(ascent(n))); // typographic ascent, descent and line gap
    head.i16(-descent(n));
    head.u16(0);
    head.i16(-descent(n)); // lowest and highest row
    head.i16(ascent(n));
    head.u16(unsigned(n)); // default advance
    head.u16(0); // kerning scale
    head.u8(longOffsets ? 1 : 0);
    head.u8(boxes.size() + 1 > 256 ? 1 : 0); // glyph ids in 16 bits
    head.u8(0); // advances in whole pixels
    head.u8(1); // bits per pixel
    head.u8(unsigned(xyBits));
    head.u8(unsigned(whBits));
    head.u8(unsigned(advanceBits));
    head.u8(0); // not compressed
    head.u8(0); // no subpixels
    head.u8(0);
    head.i16(underlinePosition(n));
    head.u16(unsigned(underlineThickness(n)));

    // The map records, then the sparse maps' code points; each record says
    // where its data starts from the start of the table.
    Bytes cmap;
    cmap.u32(std::uint32_t(cmaps.size()));
    std::uint32_t data = std::uint32_t(8 + 4 + 16 * cmaps.size());
    for (const LvglCmap &map : cmaps) {
        const bool sparse = map.type == LvglCmap::Type::Sparse;
        cmap.u32(sparse ? data : 0);
        cmap.u32(std::uint32_t(map.rangeStart));
        cmap.u16(map.rangeLength);
        cmap.u16(unsigned(map.firstGlyph + 1));
        cmap.u16(sparse ? unsigned(map.count) : 0);
        cmap.u8(sparse ? 3 : 2); // LV_FONT_FMT_TXT_CMAP_SPARSE_TINY, _FORMAT0_TINY
        cmap.u8(0);
        data += sparse ? std::uint32_t(2 * map.count) : 0;
    }
    for (const LvglCmap &map : cmaps)
        if (map.type == LvglCmap::Type::Sparse)
            for (std::size_t k = 0; k < map.count; ++k)
                cmap.u16(unsigned(cps[map.firstGlyph + k] - map.rangeStart));

    Bytes loca;
    loca.u32(std::uint32_t(offsets.size()));
    for (const std::uint32_t offset : offsets)
        longOffsets ? loca.u32(offset) : loca.u16(offset);

    Bytes file;
    file.table("head", std::move(head.out));
    file.table("cmap", std::move(cmap.out));
    file.table("loca", std::move(loca.out));
    file.table("glyf", std::move(glyf));
    return std::move(file.out);
}

} // namespace dotforge
