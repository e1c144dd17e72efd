#include "formats/grid.h"

#include "core/glyph.h"
#include "formats/c_source.h"
#include "formats/code_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace dotforge {

namespace {

// The 94 x 94 sets and the rows of their rom grid.
constexpr std::uint32_t kCells = 94;
constexpr std::uint32_t kRomSymbolSlots = 9 * kCells; // rows 1 to 9, hi A1..A9
constexpr std::uint32_t kRomHanziRows = 0xF7 - 0xB0 + 1; // rows 16 to 87
// GBK: lead 81..FE, trail 40..7E and 80..FE.
constexpr std::uint32_t kGbkRows = 0xFE - 0x81 + 1;
constexpr std::uint32_t kGbkCells = (0x7E - 0x40 + 1) + (0xFE - 0x80 + 1);

bool euc94(CharSet set)
{
    return set == CharSet::Gb2312 || set == CharSet::Gbt12345 || set == CharSet::Jisx0208 || set == CharSet::Ksx1001;
}

bool eucByte(std::uint32_t b)
{
    return b >= 0xA1 && b <= 0xFE;
}

// The numbers the header gives the form, the set and the mode.
std::uint8_t formNumber(GridForm form)
{
    return form == GridForm::Rom ? 1 : 0;
}

std::uint8_t setNumber(CharSet set)
{
    switch (set) {
    case CharSet::Gb2312:
        return 0;
    case CharSet::Gbk:
        return 1;
    case CharSet::Gbt12345:
        return 2;
    case CharSet::Jisx0208:
        return 3;
    case CharSet::Ksx1001:
        return 4;
    case CharSet::Unicode:
        break;
    }
    return 0xFF;
}

std::uint8_t modeNumber(Mode mode)
{
    return std::uint8_t(modeLetter(mode) - 'A');
}

void put16(char *at, std::uint32_t value)
{
    at[0] = char(value & 0xFF);
    at[1] = char((value >> 8) & 0xFF);
}

void put32(char *at, std::uint32_t value)
{
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

// CRC-32 eight bytes at a time: table k gives the CRC of a byte followed by k
// zero bytes, so that the eight lookups of a step can go side by side.
constexpr std::array<std::array<std::uint32_t, 256>, 8> kCrcTables = [] {
    std::array<std::array<std::uint32_t, 256>, 8> tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][i] = c;
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (std::size_t i = 0; i < 256; ++i)
            tables[k][i] = (tables[k - 1][i] >> 8) ^ tables[0][tables[k - 1][i] & 0xFF];
    return tables;
}();

std::uint32_t le32(const unsigned char *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// The lines of NAME_offset between the byte split and the return, by grid:
// they leave the slot in `slot` or return NAME_NO_SLOT.
std::string slotLines(GridForm form, CharSet set, const std::string &prefix)
{
    const std::string none = "        return " + prefix + "_NO_SLOT;\n";
    if (set == CharSet::Gbk)
        return "    if (hi < 0x81u || hi > 0xFEu || lo < 0x40u || lo == 0x7Fu || lo > 0xFEu)\n" + none
            + "    slot = (hi - 0x81u) * 190u + (lo - 0x40u) - (lo > 0x7Fu ? 1u : 0u);\n";
    std::string out = "    if (lo < 0xA1u || lo > 0xFEu)\n" + none;
    if (form == GridForm::Full)
        return out + "    if (hi < 0xA1u || hi > 0xFEu)\n" + none + "    slot = (hi - 0xA1u) * 94u + (lo - 0xA1u);\n";
    return out
        + "    if (hi >= 0xA1u && hi <= 0xA9u)\n"
          "        slot = (hi - 0xA1u) * 94u + (lo - 0xA1u);\n"
          "    else if (hi >= 0xB0u && hi <= 0xF7u)\n"
          "        slot = (hi - 0xB0u) * 94u + (lo - 0xA1u) + 846u;\n"
          "    else\n"
        + none;
}

// How the comment names the grid.
std::string gridTitle(GridForm form, CharSet set)
{
    const std::string title(charSetTitle(set));
    if (set == CharSet::Gbk)
        return "GBK, lead bytes 81..FE by trail bytes 40..7E and 80..FE";
    if (form == GridForm::Rom)
        return title + " without rows 10 to 15: A1A1..A9FE, then B0A1..F7FE";
    return title + ", 94 x 94 from A1A1";
}

} // namespace

std::optional<GridForm> gridFormNamed(std::string_view name)
{
    if (name == "full")
        return GridForm::Full;
    if (name == "rom")
        return GridForm::Rom;
    return std::nullopt;
}

std::string_view gridFormName(GridForm form)
{
    return form == GridForm::Rom ? "rom" : "full";
}

bool gridFits(GridForm form, CharSet set)
{
    if (form == GridForm::Rom)
        return set == CharSet::Gb2312 || set == CharSet::Gbt12345;
    return set == CharSet::Gbk || euc94(set);
}

std::uint32_t gridSlotCount(GridForm form, CharSet set)
{
    if (!gridFits(form, set))
        return 0;
    if (set == CharSet::Gbk)
        return kGbkRows * kGbkCells;
    return form == GridForm::Rom ? kRomSymbolSlots + kRomHanziRows * kCells : kCells * kCells;
}

std::optional<std::uint32_t> gridSlot(GridForm form, CharSet set, std::string_view code)
{
    if (code.size() != 2 || !gridFits(form, set))
        return std::nullopt;
    const std::uint32_t hi = std::uint8_t(code[0]);
    const std::uint32_t lo = std::uint8_t(code[1]);
    if (set == CharSet::Gbk) {
        if (hi < 0x81 || hi > 0xFE || lo < 0x40 || lo == 0x7F || lo > 0xFE)
            return std::nullopt;
        return (hi - 0x81) * kGbkCells + (lo - 0x40) - (lo > 0x7F ? 1 : 0);
    }
    if (!eucByte(hi) || !eucByte(lo))
        return std::nullopt;
    if (form == GridForm::Full)
        return (hi - 0xA1) * kCells + (lo - 0xA1);
    if (hi <= 0xA9)
        return (hi - 0xA1) * kCells + (lo - 0xA1);
    if (hi >= 0xB0 && hi <= 0xF7)
        return (hi - 0xB0) * kCells + (lo - 0xA1) + kRomSymbolSlots;
    return std::nullopt;
}

std::string gridCode(GridForm form, CharSet set, std::uint32_t slot)
{
    if (slot >= gridSlotCount(form, set))
        return {};
    std::uint32_t hi = 0;
    std::uint32_t lo = 0;
    if (set == CharSet::Gbk) {
        hi = 0x81 + slot / kGbkCells;
        lo = 0x40 + slot % kGbkCells;
        if (lo >= 0x7F)
            ++lo;
    } else {
        const bool hanzi = form == GridForm::Rom && slot >= kRomSymbolSlots;
        const std::uint32_t index = hanzi ? slot - kRomSymbolSlots : slot;
        hi = (hanzi ? 0xB0 : 0xA1) + index / kCells;
        lo = 0xA1 + index % kCells;
    }
    return std::string{char(hi), char(lo)};
}

std::optional<std::string> gridProblem(const GridSpec &spec)
{
    if (!isDotSize(spec.n))
        return "the dot size is " + std::to_string(spec.n) + ", not 16, 24 or 32";
    if (spec.set == CharSet::Unicode)
        return std::string("Unicode code points have no grid; a grid image takes GB2312, GBK, GB/T 12345, JIS X "
                           "0208 or KS X 1001");
    if (!gridFits(spec.form, spec.set))
        return "the rom grid holds GB2312 and GB/T 12345 only, not " + std::string(charSetTitle(spec.set))
            + (spec.set == CharSet::Gbk ? " (GBK has the full grid only)" : "");
    return std::nullopt;
}

GridGeometry gridGeometry(const GridSpec &spec)
{
    GridGeometry g;
    if (gridProblem(spec))
        return g;
    g.headerBytes = spec.header ? kGridHeaderBytes : 0;
    g.slotBytes = std::size_t(glyphBytes(spec.n));
    g.slotCount = gridSlotCount(spec.form, spec.set);
    g.latinOffset = g.headerBytes + g.slotCount * g.slotBytes;
    g.latinSlots = spec.latin ? kGridLatinSlots : 0;
    g.latinSlotBytes = spec.latin ? std::size_t(halfGlyphBytes(spec.n)) : 0;
    g.imageBytes = g.latinOffset + std::size_t(g.latinSlots) * g.latinSlotBytes;
    return g;
}

std::uint32_t gridCrc32(std::string_view bytes, std::uint32_t crc)
{
    const auto &t = kCrcTables;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    std::size_t left = bytes.size();
    crc = ~crc;
    for (; left >= 8; p += 8, left -= 8) {
        const std::uint32_t a = crc ^ le32(p);
        const std::uint32_t b = le32(p + 4);
        crc = t[7][a & 0xFF] ^ t[6][(a >> 8) & 0xFF] ^ t[5][(a >> 16) & 0xFF] ^ t[4][a >> 24] ^ t[3][b & 0xFF]
            ^ t[2][(b >> 8) & 0xFF] ^ t[1][(b >> 16) & 0xFF] ^ t[0][b >> 24];
    }
    for (; left > 0; ++p, --left)
        crc = t[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

GridImage gridImage(const GridSpec &spec, const std::vector<Sequence> &glyphs, const std::vector<std::string> &codes,
    const HalfGlyphs &half)
{
    GridImage image;
    if (gridProblem(spec))
        return image;
    const GridGeometry g = gridGeometry(spec);
    image.bytes.assign(g.imageBytes, '\0');
    char *const data = image.bytes.data() + g.headerBytes;
    const auto put = [](char *at, const Sequence &sequence, std::size_t size) {
        if (!sequence.empty())
            std::memcpy(at, sequence.data(), std::min(sequence.size(), size));
    };

    std::vector<bool> taken(g.slotCount, false);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const std::optional<std::uint32_t> slot
            = i < codes.size() ? gridSlot(spec.form, spec.set, codes[i]) : std::nullopt;
        if (!slot) {
            image.outside.push_back(i);
        } else if (taken[*slot]) {
            image.duplicates.push_back(i);
        } else {
            taken[*slot] = true;
            put(data + std::size_t(*slot) * g.slotBytes, glyphs[i], g.slotBytes);
        }
    }

    if (g.latinSlots > 0) {
        char *const latin = image.bytes.data() + g.latinOffset;
        std::array<bool, kGridLatinSlots> done{};
        for (std::size_t k = 0; k < half.characters.size() && k < half.glyphs.size(); ++k) {
            const int index = std::uint8_t(half.characters[k]) - kGridLatinFirst;
            if (index < 0 || index >= kGridLatinSlots || done[std::size_t(index)])
                continue;
            done[std::size_t(index)] = true;
            put(latin + std::size_t(index) * g.latinSlotBytes, half.glyphs[k], g.latinSlotBytes);
        }
    }

    if (g.headerBytes > 0) {
        char *const h = image.bytes.data();
        const std::string_view after(data, g.imageBytes - g.headerBytes);
        std::memcpy(h, "DFGR", 4);
        put16(h + 4, kGridVersion);
        put16(h + 6, std::uint32_t(kGridHeaderBytes));
        h[8] = char(spec.n);
        h[9] = char(modeNumber(spec.mode));
        h[10] = char(formNumber(spec.form));
        h[11] = char(setNumber(spec.set));
        put16(h + 12, std::uint32_t(g.slotBytes));
        put16(h + 14, std::uint32_t(g.latinSlots));
        put32(h + 16, g.slotCount);
        put16(h + 20, std::uint32_t(g.latinSlotBytes));
        put32(h + 24, std::uint32_t(after.size()));
        put32(h + 28, gridCrc32(after));
    }
    return image;
}

std::string gridHeader(const GridSpec &spec, const std::string &name, const std::string &writer)
{
    if (gridProblem(spec))
        return {};
    const GridGeometry g = gridGeometry(spec);
    const std::string prefix = cMacroPrefix(name);
    const std::string guard = prefix + "_H";
    const auto define = [&prefix](const std::string &macro, std::size_t value, const std::string &note) {
        return "#define " + prefix + "_" + macro + " " + std::to_string(value) + "u"
            + (note.empty() ? "" : " /* " + note + " */") + "\n";
    };

    std::string out = "/* Flash grid font image written by " + writer + ".\n * " + std::to_string(g.slotCount)
        + " slots of " + std::to_string(spec.n) + " x " + std::to_string(spec.n) + " dots, "
        + std::to_string(g.slotBytes) + " bytes each, byte layout mode " + modeLetter(spec.mode)
        + ", in code order\n * (" + std::string(gridFormName(spec.form)) + " grid of " + gridTitle(spec.form, spec.set)
        + ");\n * a code without a glyph leaves its slot zero bytes.";
    if (spec.header)
        out += "\n * The image opens with a header of " + std::to_string(kGridHeaderBytes)
            + " bytes, little-endian: magic \"DFGR\", version (2),\n"
              " * header size (2), dot size (1), mode 0-3 for A-D (1), form 0 full / 1 rom (1),\n"
              " * set 0 GB2312 / 1 GBK / 2 GB/T 12345 / 3 JIS X 0208 / 4 KS X 1001 (1),\n"
              " * slot size (2), Latin slots (2), slot count (4), Latin slot size (2),\n"
              " * reserved (2), data size (4), CRC-32 of the data after the header (4).";
    if (spec.latin)
        out += "\n * After the grid, " + std::to_string(kGridLatinSlots)
            + " half-width slots of printable ASCII 0x20..0x7E, " + std::to_string(g.latinSlotBytes) + " bytes each.";
    out += " */\n\n#ifndef " + guard + "\n#define " + guard + "\n\n#include <stdint.h>\n\n";
    out += define("DOTS", std::size_t(spec.n), "glyph width and height");
    out += define("GLYPH_BYTES", g.slotBytes, "bytes per glyph: the slot size");
    out += define("SLOTS", g.slotCount, "slots of the grid");
    out += define("HEADER_BYTES", g.headerBytes, "bytes before the first slot");
    if (spec.latin) {
        out += define("LATIN_OFFSET", g.latinOffset, "where the Latin block starts");
        out += define("LATIN_BYTES", g.latinSlotBytes, "bytes per half-width glyph");
        out += define("LATIN_SLOTS", std::size_t(g.latinSlots), "0x20 .. 0x7E");
    }
    out += define("IMAGE_BYTES", g.imageBytes, "the whole image");
    out += "#define " + prefix + "_NO_SLOT 0xFFFFFFFFu\n\n";

    out += "/* The byte offset in the image of the slot of a code (first byte x 256 +\n * second byte), or " + prefix
        + "_NO_SLOT for a code outside the grid. */\n";
    out += "static inline uint32_t " + name + "_offset(unsigned code)\n{\n    uint32_t c = code;\n"
        + "    uint32_t hi = c >> 8;\n    uint32_t lo = c & 0xFFu;\n    uint32_t slot;\n    if (c > 0xFFFFu)\n"
        + "        return " + prefix + "_NO_SLOT;\n" + slotLines(spec.form, spec.set, prefix) + "    return (uint32_t)"
        + prefix + "_HEADER_BYTES + slot * (uint32_t)" + prefix + "_GLYPH_BYTES;\n}\n";
    if (spec.latin) {
        out += "\n/* The byte offset in the image of the half-width glyph of a printable ASCII\n * character, or "
            + prefix + "_NO_SLOT for any other. */\n";
        out += "static inline uint32_t " + name + "_latin_offset(unsigned char c)\n{\n    uint32_t k = c;\n"
            + "    if (k < 0x20u || k > 0x7Eu)\n        return " + prefix + "_NO_SLOT;\n    return (uint32_t)" + prefix
            + "_LATIN_OFFSET + (k - 0x20u) * (uint32_t)" + prefix + "_LATIN_BYTES;\n}\n";
    }
    out += "\n#endif /* " + guard + " */\n";
    return out;
}

} // namespace dotforge
