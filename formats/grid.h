#pragma once
// The flash grid image: a whole character set as one block of fixed slots in
// code order, for an SPI flash chip or a font ROM, so that firmware finds a
// glyph at an address it computes from the code. Every slot of the grid is
// written, blanks included: a code without a glyph in the library leaves its
// slot zero bytes. A slot holds the glyph's converted sequence, glyphBytes(n)
// bytes, as the library holds it (its byte layout mode and effects).
//
// The grids, for a code of first byte hi and second byte lo:
//
//   full   GB2312, GB/T 12345, JIS X 0208, KS X 1001: the 94 x 94 rows and
//          cells from A1A1, hi and lo A1..FE, 8,836 slots:
//              slot = (hi - 0xA1) * 94 + (lo - 0xA1)
//          GBK: its own grid, lead bytes 81..FE (126 rows) by trail bytes
//          40..7E and 80..FE (190 cells, 7F skipped), 23,940 slots:
//              slot = (hi - 0x81) * 190 + (lo - 0x40) - (lo > 0x7F ? 1 : 0)
//   rom    GB2312 and GB/T 12345 only, the font-ROM grid without the empty
//          rows 10 to 15: the symbols of rows 1 to 9 (hi A1..A9), then the
//          hanzi of rows 16 to 87 (hi B0..F7), lo A1..FE, 7,614 slots:
//              slot = (hi - 0xA1) * 94 + (lo - 0xA1)         hi A1..A9
//              slot = (hi - 0xB0) * 94 + (lo - 0xA1) + 846   hi B0..F7
//          GBK has no rom grid: its rows have no such gap, so the full grid
//          is the only one, and asking for rom is refused (gridProblem).
//
// Any other code (another length, a byte outside the ranges) has no slot.
//
// The image:
//
//   [header, kGridHeaderBytes, when asked for]
//   slots 0 .. S-1, glyphBytes(n) bytes each
//   [Latin block, when asked for: 95 slots, one per printable ASCII character
//    0x20 .. 0x7E in order, halfGlyphBytes(n) bytes each]
//
//   offset(code) = H + slot(code) * glyphBytes(n)
//   latin(c)     = H + S * glyphBytes(n) + (c - 0x20) * halfGlyphBytes(n)
//
// with H the header's size (0 without one) and S the grid's slot count.
//
// The header, 32 bytes, every number little-endian:
//
//   offset size  field
//     0     4    magic "DFGR" (44 46 47 52)
//     4     2    format version, 1
//     6     2    header size, 32
//     8     1    dot size n: 16, 24 or 32
//     9     1    byte layout mode: 0 to 3 for A to D
//    10     1    grid form: 0 full, 1 rom
//    11     1    character set: 0 GB2312, 1 GBK, 2 GB/T 12345, 3 JIS X 0208,
//                4 KS X 1001
//    12     2    slot size in bytes, glyphBytes(n)
//    14     2    Latin slot count: 95, or 0 without the Latin block
//    16     4    slot count S of the grid
//    20     2    Latin slot size in bytes, halfGlyphBytes(n) (0 without)
//    22     2    reserved, 0
//    24     4    data size: the bytes after the header (grid and Latin block)
//    28     4    CRC-32 of those bytes (gridCrc32)

#include "core/charsets.h"
#include "core/layout_modes.h"
#include "formats/library_content.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dotforge {

enum class GridForm { Full, Rom };

// The form of a name ("full", "rom"); nothing for any other.
std::optional<GridForm> gridFormNamed(std::string_view name);
std::string_view gridFormName(GridForm form);

// Whether the set has a grid of the form: full for every two-byte set, rom
// for GB2312 and GB/T 12345 only; Unicode has none.
bool gridFits(GridForm form, CharSet set);
// The slots of the set's grid of the form: 8,836, 7,614 or 23,940; 0 when
// gridFits says no.
std::uint32_t gridSlotCount(GridForm form, CharSet set);
// The slot of a code (its bytes, first byte first); nothing for a code
// outside the grid, or a set without that grid.
std::optional<std::uint32_t> gridSlot(GridForm form, CharSet set, std::string_view code);
// The inverse: the two code bytes of a slot; empty for a slot beyond the grid.
std::string gridCode(GridForm form, CharSet set, std::uint32_t slot);

constexpr std::size_t kGridHeaderBytes = 32;
constexpr std::uint16_t kGridVersion = 1;
constexpr int kGridLatinSlots = 95; // printable ASCII, 0x20 .. 0x7E
constexpr char kGridLatinFirst = 0x20;

// What an image is made of.
struct GridSpec {
    GridForm form = GridForm::Full;
    CharSet set = CharSet::Gb2312;
    int n = 16;
    Mode mode = Mode::A; // recorded in the header and the C header's comment only
    bool header = false;
    bool latin = false;
};

// Why a spec makes no image, in the batch tool's words ("the rom grid holds
// GB2312 and GB/T 12345 only, not GBK"); nothing when it makes one.
std::optional<std::string> gridProblem(const GridSpec &spec);

// Where the parts of an image stand, in bytes (all 0 for a spec with a problem).
struct GridGeometry {
    std::size_t headerBytes = 0; // kGridHeaderBytes or 0
    std::size_t slotBytes = 0; // glyphBytes(n)
    std::uint32_t slotCount = 0;
    std::size_t latinOffset = 0; // where the Latin block starts (the image's end without one)
    int latinSlots = 0; // kGridLatinSlots or 0
    std::size_t latinSlotBytes = 0; // halfGlyphBytes(n) or 0
    std::size_t imageBytes = 0;
};
GridGeometry gridGeometry(const GridSpec &spec);

// CRC-32 as zlib's crc32 computes it (IEEE 802.3, reflected, polynomial
// 0xEDB88320, starting from and ending with all bits inverted); `crc` is the
// value of the bytes before these, to go on from, 0 at the start.
std::uint32_t gridCrc32(std::string_view bytes, std::uint32_t crc = 0);

struct GridImage {
    std::string bytes; // the whole image, header included
    // Library indexes of the glyphs that are not in the image: their codes
    // have no slot in the grid, or an earlier glyph took the slot of the same
    // code (the first one of a code is written).
    std::vector<std::size_t> outside;
    std::vector<std::size_t> duplicates;
};

// The image of a library's glyphs (converted sequences, in any order) and
// their codes, one per glyph; a glyph without a code has no slot. A sequence
// shorter than glyphBytes(n) counts as padded with zero bytes, a longer one is
// cut. The half glyphs go to the Latin block when the spec asks for one (and
// are left out otherwise); a printable character they lack leaves its slot
// zero. Empty bytes for a spec with a problem.
GridImage gridImage(const GridSpec &spec, const std::vector<Sequence> &glyphs, const std::vector<std::string> &codes,
    const HalfGlyphs &half = {});

// The C header for firmware reading an image of the spec: NAME_DOTS,
// NAME_GLYPH_BYTES (the slot size), NAME_SLOTS, NAME_HEADER_BYTES,
// NAME_IMAGE_BYTES, with the Latin block NAME_LATIN_OFFSET, NAME_LATIN_BYTES
// and NAME_LATIN_SLOTS; NAME_NO_SLOT, and static inline functions
// NAME_offset(code), the byte offset in the image of the slot of a code
// (first byte x 256 + second byte) or NAME_NO_SLOT (0xFFFFFFFF) outside the
// grid, and with the Latin block NAME_latin_offset(c), the same of a
// printable ASCII character. `name` must be a C identifier (cIdentifier);
// `writer` is the program and version the opening comment names. Plain C99
// (and C++): every offset is computed in uint32_t. Empty for a spec with a
// problem.
std::string gridHeader(const GridSpec &spec, const std::string &name, const std::string &writer);

} // namespace dotforge
