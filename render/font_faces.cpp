#include "render/font_faces.h"

#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace dotforge {

namespace {

bool hasSfntTable(FT_Face face, FT_ULong tag, FT_ULong *length = nullptr)
{
    FT_ULong len = 0;
    if (!FT_IS_SFNT(face) || FT_Load_Sfnt_Table(face, tag, 0, nullptr, &len) != 0)
        return false;
    if (length)
        *length = len;
    return true;
}

// 26.6 fixed point of units x pixels / units per em, rounded.
long scaledUnits(long units, int px, FT_UShort unitsPerEm)
{
    return std::lround(double(units) * px / unitsPerEm * 64);
}

// The ascent in pixels: the size's own metrics (from the bitmap strike of
// exactly this size where the face has one); a face without embedded bitmaps
// takes it from its "hhea" table, overridden by its "OS/2" table (typographic
// ascender where the face asks for it, Windows ascender otherwise).
int faceAscent(FT_Face face, int px)
{
    FT_Pos ascender = face->size->metrics.ascender;
    if (FT_IS_SCALABLE(face)) {
        for (int i = 0; i < face->num_fixed_sizes; ++i) {
            if (face->available_sizes[i].x_ppem != px * 64 || face->available_sizes[i].y_ppem != px * 64)
                continue;
            // The strike's own ascent lives in its bitmap tables: only a face
            // taken as a bitmap face reports it.
            face->face_flags &= ~FT_FACE_FLAG_SCALABLE;
            FT_Select_Size(face, i);
            if (face->size->metrics.ascender + face->size->metrics.descender > 0)
                ascender = face->size->metrics.ascender;
            FT_Set_Char_Size(face, px * 64, px * 64, 0, 0);
            face->face_flags |= FT_FACE_FLAG_SCALABLE;
            break;
        }
    }
    const bool embeddedBitmaps
        = hasSfntTable(face, TTAG_EBLC) || hasSfntTable(face, TTAG_CBLC) || hasSfntTable(face, TTAG_bdat);
    if (FT_IS_SCALABLE(face) && !embeddedBitmaps && face->units_per_EM) {
        const auto *hhea = static_cast<const TT_HoriHeader *>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
        if (hhea && (hhea->Ascender != 0 || hhea->Descender != 0))
            ascender = scaledUnits(hhea->Ascender, px, face->units_per_EM);
        FT_ULong os2Length = 0;
        const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && hasSfntTable(face, TTAG_OS2, &os2Length) && os2Length >= 78) {
            constexpr FT_UShort kUseTypoMetrics = 0x80;
            if (os2->fsSelection & kUseTypoMetrics) {
                if (os2->sTypoAscender != 0 || os2->sTypoDescender != 0)
                    ascender = scaledUnits(os2->sTypoAscender, px, face->units_per_EM);
            } else if (os2->usWinAscent != 0 || os2->usWinDescent != 0) {
                ascender = scaledUnits(os2->usWinAscent, px, face->units_per_EM);
            }
        }
    }
    return int((ascender + 32) >> 6);
}

// Loads a glyph as 1-bit pixels; broken hinting instructions fall back to the
// autohinter.
bool renderGlyph(const SizedFace &s, FT_UInt glyph)
{
    if (s.face->size != s.size)
        FT_Activate_Size(s.size);
    FT_Error error = FT_Load_Glyph(s.face, glyph, s.loadFlags);
    if (error == FT_Err_Too_Few_Arguments || error == FT_Err_Execution_Too_Long)
        error = FT_Load_Glyph(s.face, glyph, s.loadFlags | FT_LOAD_FORCE_AUTOHINT);
    if (error != 0)
        return false;
    if (s.face->glyph->format != FT_GLYPH_FORMAT_BITMAP)
        return FT_Render_Glyph(s.face->glyph, FT_RENDER_MODE_MONO) == 0;
    return true;
}

// How a pixel mode lays its samples out: bits per sample, and samples per
// pixel across and down (the three sub-pixels of the LCD modes).
struct SampleLayout {
    int bits = 0;
    int across = 1;
    int down = 1;
};

// The layout of each pixel mode FreeType hands out; nullopt for one it does
// not define, whose glyph draws nothing.
std::optional<SampleLayout> sampleLayout(unsigned char pixelMode)
{
    switch (pixelMode) {
    case FT_PIXEL_MODE_MONO:
        return SampleLayout{1};
    case FT_PIXEL_MODE_GRAY2:
        return SampleLayout{2};
    case FT_PIXEL_MODE_GRAY4:
        return SampleLayout{4};
    case FT_PIXEL_MODE_GRAY:
        return SampleLayout{8};
    case FT_PIXEL_MODE_LCD:
        return SampleLayout{8, 3, 1};
    case FT_PIXEL_MODE_LCD_V:
        return SampleLayout{8, 1, 3};
    case FT_PIXEL_MODE_BGRA:
        return SampleLayout{32};
    default:
        return std::nullopt;
    }
}

// Whether sample s of a row holds any coverage: a level other than 0 (for
// BGRA its alpha, the text being black).
bool sampleInked(const unsigned char *row, std::int64_t s, int bits)
{
    if (bits == 32)
        return row[4 * s + 3] != 0;
    if (bits == 8)
        return row[s] != 0;
    const std::int64_t bit = s * bits;
    const unsigned mask = (1u << bits) - 1;
    return ((row[bit >> 3] >> (8 - bits - (bit & 7))) & mask) != 0;
}

// Sets the inked pixels of the glyph's bitmap, its top-left corner at (left,
// top), to black; what falls outside the surface is lost. The bitmap is read
// by its pixel mode (1, 2, 4 or 8 bits of coverage per pixel, LCD sub-pixels,
// BGRA): any coverage is ink, as an anti-aliased edge pixel is. Nothing is read
// past the rows and the pitch the bitmap has; one without pixels (a BDF glyph
// with a BBX but no BITMAP) draws nothing.
void inkBitmap(Surface40 &surface, const FT_Bitmap &bitmap, std::int64_t left, std::int64_t top)
{
    const std::optional<SampleLayout> layout = sampleLayout(bitmap.pixel_mode);
    if (!bitmap.buffer || bitmap.rows == 0 || bitmap.width == 0 || bitmap.pitch == 0 || !layout)
        return;
    const std::int64_t pitch = std::abs(std::int64_t(bitmap.pitch));
    const std::int64_t sampleRows = bitmap.rows;
    // Samples a row's bytes hold, whatever the width claims.
    const std::int64_t samples = std::min<std::int64_t>(bitmap.width, pitch * 8 / layout->bits);
    const std::int64_t width = samples / layout->across;
    const std::int64_t height = sampleRows / layout->down;
    // A negative pitch stores the rows bottom first.
    const auto sampleRow
        = [&](std::int64_t r) { return bitmap.buffer + (bitmap.pitch > 0 ? r : sampleRows - 1 - r) * pitch; };
    const std::int64_t from = std::clamp<std::int64_t>(-left, 0, width);
    const std::int64_t to = std::clamp<std::int64_t>(Surface40::kSize - left, from, width);
    const std::int64_t firstRow = std::clamp<std::int64_t>(-top, 0, height);
    const std::int64_t endRow = std::clamp<std::int64_t>(Surface40::kSize - top, firstRow, height);
    for (std::int64_t r = firstRow; r < endRow; ++r) {
        std::uint32_t *out = surface.pixels.data() + std::size_t(top + r) * Surface40::kSize;
        if (layout->bits == 1) {
            // 1-bit rows: only the set bits of each byte are visited.
            const unsigned char *row = sampleRow(r);
            for (std::int64_t k = from >> 3; k < (to + 7) >> 3; ++k) {
                for (unsigned bits = row[k]; bits != 0;) {
                    const int bit = __builtin_clz(bits) - 24; // 0 is the byte's leftmost pixel
                    bits &= ~(0x80u >> bit);
                    const std::int64_t c = 8 * k + bit;
                    if (c >= from && c < to)
                        out[left + c] = 0x000000;
                }
            }
            continue;
        }
        for (std::int64_t c = from; c < to; ++c) {
            bool inked = false;
            for (int j = 0; j < layout->down && !inked; ++j) {
                const unsigned char *row = sampleRow(r * layout->down + j);
                for (int i = 0; i < layout->across && !inked; ++i)
                    inked = sampleInked(row, c * layout->across + i, layout->bits);
            }
            if (inked)
                out[left + c] = 0x000000;
        }
    }
}

} // namespace

std::optional<std::int64_t> SizedFace::drawGlyph(
    Surface40 &surface, FT_UInt glyph, std::int64_t penX, std::int64_t baseline) const
{
    if (!renderGlyph(*this, glyph))
        return std::nullopt;
    const FT_GlyphSlot slot = face->glyph;
    inkBitmap(surface, slot->bitmap, penX + slot->bitmap_left, baseline - slot->bitmap_top);
    return (slot->advance.x + 32) >> 6;
}

FontFaces::FontFaces(std::function<bool(const std::string &family)> forcesAutohint)
    : m_forcesAutohint(std::move(forcesAutohint))
{
}

FontFaces::~FontFaces()
{
    for (auto &[key, face] : m_faces)
        if (face)
            FT_Done_Face(face);
    if (m_library)
        FT_Done_FreeType(m_library);
}

FT_Library FontFaces::library()
{
    if (!m_started) {
        m_started = true;
        if (FT_Init_FreeType(&m_library) != 0) {
            m_library = nullptr;
        } else {
            // CFF outlines (Noto Sans CJK and other OpenType/CFF faces) are
            // drawn with their stems darkened at small sizes, as Qt's font
            // engine draws them: FreeType leaves that off unless asked.
            FT_Bool noStemDarkening = false;
            FT_Property_Set(m_library, "cff", "no-stem-darkening", &noStemDarkening);
        }
    }
    return m_library;
}

const CatalogFont *FontFaces::fileFont(const std::string &path)
{
    const auto known = m_files.find(path);
    if (known != m_files.end())
        return known->second.get();
    std::unique_ptr<CatalogFont> font;
    FT_Face face = nullptr;
    if (library() && FT_New_Face(m_library, path.c_str(), 0, &face) == 0) {
        font = std::make_unique<CatalogFont>();
        font->file = path;
        font->family = face->family_name ? face->family_name : path;
        font->names.push_back(foldedFaceName(font->family));
        font->scalable = FT_IS_SCALABLE(face);
        if (!font->scalable && face->num_fixed_sizes > 0)
            font->pixelSize = face->available_sizes[0].y_ppem / 64.0;
        m_faces.emplace(std::make_pair(path, 0), face);
    }
    return m_files.emplace(path, std::move(font)).first->second.get();
}

std::vector<int> FontFaces::strikePixelSizes(const CatalogFont &font)
{
    std::vector<int> sizes;
    const FT_Face face = openFace(font);
    for (int i = 0; face && i < face->num_fixed_sizes; ++i)
        sizes.push_back(int((face->available_sizes[i].y_ppem + 32) >> 6));
    return sizes;
}

FT_Face FontFaces::openFace(const CatalogFont &font)
{
    const auto key = std::make_pair(font.file, font.index);
    const auto known = m_faces.find(key);
    if (known != m_faces.end())
        return known->second;
    FT_Face face = nullptr;
    if (!library() || FT_New_Face(m_library, font.file.c_str(), font.index, &face) != 0)
        face = nullptr;
    m_faces.emplace(key, face);
    return face;
}

SizedFace *FontFaces::open(const CatalogFont *font, int px)
{
    if (!font)
        return nullptr;
    const auto key = std::make_pair(font, px);
    const auto known = m_sized.find(key);
    if (known != m_sized.end())
        return known->second.face ? &known->second : nullptr;
    SizedFace &s = m_sized[key];
    FT_Face face = openFace(*font);
    if (!face || FT_New_Size(face, &s.size) != 0)
        return nullptr;
    FT_Activate_Size(s.size);
    if (FT_IS_SCALABLE(face)) {
        FT_Set_Char_Size(face, px * 64, px * 64, 0, 0);
    } else {
        // The tallest strike no taller than the size asked for: a taller
        // one would be cut by the square without a word, so a face with
        // none draws nothing.
        int best = -1;
        const FT_Pos want = FT_Pos(px) * 64;
        for (int i = 0; i < face->num_fixed_sizes; ++i) {
            const FT_Bitmap_Size &size = face->available_sizes[i];
            if (int((size.y_ppem + 32) >> 6) > px)
                continue;
            if (best < 0 || size.y_ppem > face->available_sizes[best].y_ppem
                || (size.y_ppem == face->available_sizes[best].y_ppem
                    && std::labs(want - size.x_ppem) < std::labs(want - face->available_sizes[best].x_ppem)))
                best = i;
        }
        if (best < 0 || FT_Select_Size(face, best) != 0) {
            FT_Done_Size(s.size);
            s.size = nullptr;
            return nullptr;
        }
    }
    s.ascent = faceAscent(face, px);
    s.loadFlags = FT_LOAD_DEFAULT | FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH | FT_LOAD_TARGET_MONO;
    if (m_forcesAutohint(font->family))
        s.loadFlags |= FT_LOAD_FORCE_AUTOHINT;
    s.face = face;
    return &s;
}

} // namespace dotforge
