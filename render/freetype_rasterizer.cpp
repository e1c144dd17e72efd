#include "render/freetype_rasterizer.h"
#include "render/strike_sizes.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace dotforge {

int pixelHeight(int pointSize)
{
    return int(std::lround(pointSize * 96.0 / 72.0));
}

const std::vector<std::pair<std::string, std::string>> &faceSubstitutions()
{
    static const std::vector<std::pair<std::string, std::string>> substitutions{
        {"宋体", "AR PL UMing CN"},
        {"SimSun", "AR PL UMing CN"},
    };
    return substitutions;
}

namespace {

// fontconfig's calls on the configuration the rasterisers share, one at a time.
std::mutex &fontconfigLock()
{
    static std::mutex lock;
    return lock;
}

// Face names compare without regard to ASCII case.
std::string folded(std::string name)
{
    for (char &c : name)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return name;
}

// The code points of UTF-8 text; a broken sequence is U+FFFD.
std::vector<char32_t> codePoints(const std::string &text)
{
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = extra >= 0 && i + std::size_t(extra) < text.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(text[i + std::size_t(k)]);
            ok = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        out.push_back(ok ? cp : U'\uFFFD');
        i += ok ? std::size_t(extra) + 1 : 1;
    }
    return out;
}

// One installed font as fontconfig lists it.
struct CatalogFont {
    std::string file;
    int index = 0;
    std::string family; // its first family name
    std::vector<std::string> names; // every family name, folded
    double weight = 400; // OpenType scale
    bool italic = false;
    int width = FC_WIDTH_NORMAL;
    bool scalable = true;
    double pixelSize = 0; // bitmap fonts: the one size they have
};

// A font opened at one pixel size, ready to draw.
struct SizedFace {
    FT_Face face = nullptr;
    FT_Size size = nullptr;
    int ascent = 0;
    FT_Int32 loadFlags = 0;
};

// The language a character's script asks the fallback list for: the scripts
// of GB2312 and GBK with a language of their own; "" for the Han ideographs and
// for the characters of every script (digits, punctuation, symbols), which
// take the default language.
const char *scriptLanguage(char32_t cp)
{
    const auto in = [cp](char32_t from, char32_t to) { return cp >= from && cp <= to; };
    if (in(U'A', U'Z') || in(U'a', U'z') || in(0xC0, 0x24F) || in(0x1E00, 0x1EFF) || in(0xFF21, 0xFF3A)
        || in(0xFF41, 0xFF5A))
        return cp == 0xD7 || cp == 0xF7 ? "" : "en";
    if (in(0x370, 0x3FF) || in(0x1F00, 0x1FFF))
        return cp == 0x37E || cp == 0x385 || cp == 0x387 ? "" : "el";
    if (in(0x400, 0x52F))
        return "ru";
    if (in(0x3041, 0x3096) || in(0x309D, 0x309F) || in(0x30A1, 0x30FA) || in(0x30FD, 0x30FF) || in(0x31F0, 0x31FF)
        || in(0xFF66, 0xFF6F) || in(0xFF71, 0xFF9D))
        return "ja";
    if (in(0x3105, 0x312F) || in(0x31A0, 0x31BF))
        return "zh-tw";
    if (in(0x1100, 0x11FF) || in(0x3131, 0x318E) || in(0xAC00, 0xD7A3))
        return "ko";
    return "";
}

struct FamilyMatch {
    FcCharSet *charset = nullptr;
    bool autohint = false;
};

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

} // namespace

struct FreeTypeRasterizer::Impl {
    FT_Library library = nullptr;
    FcConfig *config = nullptr;
    bool started = false;
    std::vector<CatalogFont> fonts;
    std::map<std::pair<std::string, int>, FT_Face> faces; // file and index; nullptr when it cannot be opened
    std::map<std::pair<const CatalogFont *, int>, SizedFace> sized; // font and pixel size
    std::map<std::string, std::string> families; // requested name -> family
    std::map<std::string, std::unique_ptr<CatalogFont>> files; // font file path -> its first face; nullptr
                                                               // when it cannot be opened

    // Font files named by path, and bitmap fonts the configuration rejects
    // (defined with the font-file section below).
    const CatalogFont *fileFont(const std::string &path);
    void addBitmapFontsConfigRejects();

    // The face last drawn with, so that a run of glyphs looks nothing up.
    std::string lastName;
    int lastPx = 0;
    std::string lastFamily;
    SizedFace *lastSized = nullptr;

    ~Impl()
    {
        for (auto &[key, face] : faces)
            if (face)
                FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
        if (config)
            FcConfigDestroy(config);
    }

    // Reads fontconfig's configuration and font list on first need, once for
    // the whole process: every rasteriser shares the configuration (its
    // fontconfig calls taken one at a time) and copies the catalog.
    void start()
    {
        if (started)
            return;
        started = true;
        if (FT_Init_FreeType(&library) != 0)
            library = nullptr;
        static std::once_flag once;
        static FcConfig *sharedConfig = nullptr;
        static std::vector<CatalogFont> sharedFonts;
        bool loaded = false;
        std::call_once(once, [this, &loaded] {
            loaded = true;
            load();
            sharedConfig = config ? FcConfigReference(config) : nullptr;
            sharedFonts = fonts;
        });
        if (!loaded) {
            config = sharedConfig ? FcConfigReference(sharedConfig) : nullptr;
            fonts = sharedFonts;
        }
    }

    // fontconfig's configuration, its font list and the bitmap fonts it rejects.
    void load()
    {
        config = FcInitLoadConfigAndFonts();
        if (!config)
            return;
        FcPattern *any = FcPatternCreate();
        FcObjectSet *objects = FcObjectSetBuild(
            FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_SCALABLE, FC_PIXEL_SIZE, nullptr);
        FcFontSet *set = FcFontList(config, any, objects);
        FcObjectSetDestroy(objects);
        FcPatternDestroy(any);
        if (!set)
            return;
        addToCatalog(set);
        FcFontSetDestroy(set);
        addBitmapFontsConfigRejects();
    }

    // The fonts of a fontconfig list, each with its family names.
    void addToCatalog(const FcFontSet *set)
    {
        fonts.reserve(fonts.size() + std::size_t(set->nfont));
        for (int i = 0; i < set->nfont; ++i) {
            FcPattern *p = set->fonts[i];
            FcChar8 *value = nullptr;
            if (FcPatternGetString(p, FC_FILE, 0, &value) != FcResultMatch)
                continue;
            CatalogFont font;
            font.file = reinterpret_cast<const char *>(value);
            for (int k = 0; FcPatternGetString(p, FC_FAMILY, k, &value) == FcResultMatch; ++k) {
                if (k == 0)
                    font.family = reinterpret_cast<const char *>(value);
                font.names.push_back(folded(reinterpret_cast<const char *>(value)));
            }
            if (font.family.empty())
                continue;
            FcPatternGetInteger(p, FC_INDEX, 0, &font.index);
            int weight = FC_WEIGHT_REGULAR;
            double weightValue = 0;
            if (FcPatternGetInteger(p, FC_WEIGHT, 0, &weight) == FcResultMatch)
                font.weight = FcWeightToOpenTypeDouble(weight);
            else if (FcPatternGetDouble(p, FC_WEIGHT, 0, &weightValue) == FcResultMatch)
                font.weight = FcWeightToOpenTypeDouble(weightValue);
            int slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(p, FC_SLANT, 0, &slant);
            font.italic = slant != FC_SLANT_ROMAN;
            FcPatternGetInteger(p, FC_WIDTH, 0, &font.width);
            FcBool scalable = FcTrue;
            FcPatternGetBool(p, FC_SCALABLE, 0, &scalable);
            font.scalable = scalable != FcFalse;
            FcPatternGetDouble(p, FC_PIXEL_SIZE, 0, &font.pixelSize);
            fonts.push_back(std::move(font));
        }
    }

    // The installed family a name stands for: a family's first name, then any
    // of its other (localized) names; "" when none.
    std::string installedFamily(const std::string &name) const
    {
        const std::string key = folded(name);
        for (const CatalogFont &font : fonts)
            if (font.names.front() == key)
                return font.family;
        for (const CatalogFont &font : fonts)
            for (const std::string &other : font.names)
                if (other == key)
                    return font.family;
        return {};
    }

    // The installed family of a face name, directly or by substitution.
    std::string installedOrSubstituted(const std::string &name)
    {
        start();
        std::string found = installedFamily(name);
        for (const auto &[from, to] : faceSubstitutions())
            if (found.empty() && folded(from) == folded(name))
                found = installedFamily(to);
        return found;
    }

    // The family drawn for a face name: installed, substituted, or else the
    // family fontconfig matches for the name.
    const std::string &family(const std::string &name)
    {
        const auto known = families.find(name);
        if (known != families.end())
            return known->second;
        std::string found = installedOrSubstituted(name);
        if (found.empty() && config) {
            const std::lock_guard lock(fontconfigLock());
            FcPattern *pattern = FcPatternCreate();
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.c_str()));
            FcConfigSubstitute(config, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            if (FcPattern *match = FcFontMatch(config, pattern, &result)) {
                FcChar8 *value = nullptr;
                if (FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch)
                    found = installedFamily(reinterpret_cast<const char *>(value));
                FcPatternDestroy(match);
            }
            FcPatternDestroy(pattern);
        }
        return families.emplace(name, found).first->second;
    }

    // The font of a family for regular text at a pixel size: upright before
    // italic, normal width before condensed or expanded, the weight nearest to
    // regular, and for bitmap fonts the tallest size not taller than the one
    // asked for.
    const CatalogFont *font(const std::string &family, int px) const
    {
        const CatalogFont *best = nullptr;
        double bestScore = 0;
        for (const CatalogFont &font : fonts) {
            if (font.family != family)
                continue;
            double score = (font.italic ? 1e7 : 0.0) + std::abs(font.width - FC_WIDTH_NORMAL) * 1e4
                + std::abs(font.weight - 400) * 10;
            if (!font.scalable) {
                // Sizes taller than asked for come last: they draw nothing.
                const int size = int(std::lround(font.pixelSize));
                score += size <= px ? px - size : 1e8 + size - px;
            }
            if (!best || score < bestScore) {
                best = &font;
                bestScore = score;
            }
        }
        return best;
    }

    FT_Face openFace(const CatalogFont &font)
    {
        const auto key = std::make_pair(font.file, font.index);
        const auto known = faces.find(key);
        if (known != faces.end())
            return known->second;
        FT_Face face = nullptr;
        if (!library || FT_New_Face(library, font.file.c_str(), font.index, &face) != 0)
            face = nullptr;
        faces.emplace(key, face);
        return face;
    }

    // The font at a pixel size with its ascent and glyph load flags.
    SizedFace *open(const CatalogFont *font, int px)
    {
        if (!font)
            return nullptr;
        const auto key = std::make_pair(font, px);
        const auto known = sized.find(key);
        if (known != sized.end())
            return known->second.face ? &known->second : nullptr;
        SizedFace &s = sized[key];
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
        if (match(font->family).autohint)
            s.loadFlags |= FT_LOAD_FORCE_AUTOHINT;
        s.face = face;
        return &s;
    }

    // What fontconfig's best match for a family name holds: its characters and
    // whether the configuration asks for the autohinter.
    // Kept for the whole process, as the configuration is: the drawing threads
    // ask for the same families.
    const FamilyMatch &match(const std::string &family)
    {
        static std::map<std::string, FamilyMatch> matches;
        const std::lock_guard lock(fontconfigLock());
        const auto known = matches.find(family);
        if (known != matches.end())
            return known->second;
        FamilyMatch found;
        if (config) {
            FcPattern *pattern = FcPatternCreate();
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.c_str()));
            FcConfigSubstitute(config, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            if (FcPattern *best = FcFontMatch(config, pattern, &result)) {
                FcBool autohint = FcFalse;
                FcPatternGetBool(best, FC_AUTOHINT, 0, &autohint);
                found.autohint = autohint != FcFalse;
                FcCharSet *charset = nullptr;
                if (FcPatternGetCharSet(best, FC_CHARSET, 0, &charset) == FcResultMatch)
                    found.charset = FcCharSetCopy(charset);
                FcPatternDestroy(best);
            }
            FcPatternDestroy(pattern);
        }
        return matches.emplace(family, found).first->second;
    }

    // fontconfig's sorted list for the family (upright, in the language of the
    // script, else the default language), each installed family once, the
    // family itself left out.
    // Kept for the whole process, as match() keeps its answers.
    const std::vector<std::string> &fallbackFamilies(const std::string &family, const std::string &language)
    {
        // family and language -> fallback families in order
        static std::map<std::pair<std::string, std::string>, std::vector<std::string>> fallbacks;
        const std::lock_guard lock(fontconfigLock());
        const auto key = std::make_pair(family, language);
        const auto known = fallbacks.find(key);
        if (known != fallbacks.end())
            return known->second;
        std::vector<std::string> list;
        if (config) {
            FcPattern *pattern = FcPatternCreate();
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.c_str()));
            FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
            if (!language.empty()) {
                FcLangSet *languages = FcLangSetCreate();
                FcLangSetAdd(languages, reinterpret_cast<const FcChar8 *>(language.c_str()));
                FcPatternAddLangSet(pattern, FC_LANG, languages);
                FcLangSetDestroy(languages);
            } else {
                FcPattern *defaults = FcPatternCreate();
                FcDefaultSubstitute(defaults);
                FcChar8 *lang = nullptr;
                if (FcPatternGetString(defaults, FC_LANG, 0, &lang) == FcResultMatch)
                    FcPatternAddString(pattern, FC_LANG, lang);
                FcPatternDestroy(defaults);
            }
            FcConfigSubstitute(config, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            FcFontSet *set = FcFontSort(config, pattern, FcFalse, nullptr, &result);
            FcPatternDestroy(pattern);
            std::vector<std::string> seen{folded(family)};
            for (int i = 0; set && i < set->nfont; ++i) {
                FcChar8 *value = nullptr;
                if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &value) != FcResultMatch)
                    continue;
                const std::string name = reinterpret_cast<const char *>(value);
                if (std::find(seen.begin(), seen.end(), folded(name)) != seen.end())
                    continue;
                seen.push_back(folded(name));
                const std::string installed = installedFamily(name);
                if (!installed.empty())
                    list.push_back(installed);
            }
            if (set)
                FcFontSetDestroy(set);
        }
        return fallbacks.emplace(key, std::move(list)).first->second;
    }

    // The first fallback font at the size that has the character: among the
    // families whose best match lists it, the first whose font at the size has
    // a glyph for it.
    SizedFace *fallbackFor(const std::string &family, int px, char32_t cp, FT_UInt &glyph)
    {
        for (const std::string &other : fallbackFamilies(family, scriptLanguage(cp))) {
            const FcCharSet *charset = match(other).charset;
            if (!charset || !FcCharSetHasChar(charset, cp))
                continue;
            SizedFace *s = open(font(other, px), px);
            if (s && (glyph = FT_Get_Char_Index(s->face, cp)) != 0)
                return s;
        }
        return nullptr;
    }

    SizedFace *primary(const std::string &name, int px)
    {
        if (lastSized && px == lastPx && name == lastName)
            return lastSized;
        lastName = name;
        lastPx = px;
        lastFamily = family(name);
        lastSized = open(font(lastFamily, px), px);
        return lastSized;
    }
};

FreeTypeRasterizer::FreeTypeRasterizer()
    : d(std::make_unique<Impl>())
{
}

FreeTypeRasterizer::~FreeTypeRasterizer() = default;

namespace {

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

void FreeTypeRasterizer::drawText(
    Surface40 &surface, const std::string &text, const std::string &face, int pointSize, int x, int y)
{
    const int px = pixelHeight(pointSize);
    // A font file draws its own characters only: no fallback face fills in.
    const bool fromFile = isFontFilePath(face);
    SizedFace *primary = fromFile ? d->open(d->fileFont(face), px) : d->primary(face, px);
    if (!primary)
        return;
    const std::int64_t baseline = std::int64_t(y) + primary->ascent;
    std::int64_t pen = x;
    for (const char32_t cp : codePoints(text)) {
        const SizedFace *s = primary;
        FT_UInt glyph = FT_Get_Char_Index(primary->face, cp);
        if (glyph == 0 && fromFile)
            continue; // not in the font file: nothing is drawn
        if (glyph == 0) {
            if (SizedFace *fallback = d->fallbackFor(d->lastFamily, px, cp, glyph))
                s = fallback;
        }
        if (!renderGlyph(*s, glyph))
            continue;
        const FT_GlyphSlot slot = s->face->glyph;
        inkBitmap(surface, slot->bitmap, pen + slot->bitmap_left, baseline - slot->bitmap_top);
        pen += (slot->advance.x + 32) >> 6;
    }
}

int FreeTypeRasterizer::ascent(const std::string &face, int pointSize)
{
    const int px = pixelHeight(pointSize);
    const SizedFace *s = isFontFilePath(face) ? d->open(d->fileFont(face), px) : d->primary(face, px);
    return s ? s->ascent : 0;
}

std::string FreeTypeRasterizer::fontFile(const std::string &face)
{
    if (isFontFilePath(face))
        return d->fileFont(face) ? face : std::string();
    const std::string &family = d->family(face);
    const CatalogFont *font = family.empty() ? nullptr : d->font(family, pixelHeight(12));
    return font ? font->file : std::string();
}

bool FreeTypeRasterizer::hasFace(const std::string &face)
{
    if (isFontFilePath(face))
        return d->fileFont(face) != nullptr;
    const std::string family = d->installedOrSubstituted(face);
    if (family.empty())
        return false;
    for (const CatalogFont &font : d->fonts)
        if (font.family == family && font.scalable)
            return true;
    return false;
}

} // namespace dotforge

// ---- Font files and bitmap strikes ------------------------------------------

namespace dotforge {

bool isFontFilePath(const std::string &face)
{
    return face.starts_with('/');
}

int pointSizeOfPixels(int px)
{
    for (int pt = std::max(1, px * 3 / 4 - 1); pt <= px * 3 / 4 + 1; ++pt)
        if (pixelHeight(pt) == px)
            return pt;
    return 0;
}

// The first face of a font file (FreeType reads TrueType, OpenType, collections,
// BDF, PCF and gzipped PCF), opened once; nullptr when it cannot be opened.
const CatalogFont *FreeTypeRasterizer::Impl::fileFont(const std::string &path)
{
    const auto known = files.find(path);
    if (known != files.end())
        return known->second.get();
    start();
    std::unique_ptr<CatalogFont> font;
    FT_Face face = nullptr;
    if (library && FT_New_Face(library, path.c_str(), 0, &face) == 0) {
        font = std::make_unique<CatalogFont>();
        font->file = path;
        font->family = face->family_name ? face->family_name : path;
        font->names.push_back(folded(font->family));
        font->scalable = FT_IS_SCALABLE(face);
        if (!font->scalable && face->num_fixed_sizes > 0)
            font->pixelSize = face->available_sizes[0].y_ppem / 64.0;
        faces.emplace(std::make_pair(path, 0), face);
    }
    return files.emplace(path, std::move(font)).first->second.get();
}

// Bitmap fonts (PCF, BDF, OpenType bitmap) in fontconfig's font folders that
// its configuration leaves out of the list (Debian rejects bitmap fonts unless
// a font's own configuration accepts it): they are installed all the same and
// join the catalog, for the font dialog and for drawing by family name.
void FreeTypeRasterizer::Impl::addBitmapFontsConfigRejects()
{
    static const char *const kBitmapEndings[] = {".pcf", ".pcf.gz", ".bdf", ".bdf.gz", ".otb"};
    std::set<std::string> listed;
    for (const CatalogFont &font : fonts)
        listed.insert(font.file);
    FcFontSet *found = FcFontSetCreate();
    FcStrList *dirs = FcConfigGetFontDirs(config);
    while (const FcChar8 *dir = dirs ? FcStrListNext(dirs) : nullptr) {
        // The folder's cache, when it is up to date, holds every font of the
        // folder as a query of the file gives it, rejected ones included:
        // reading it spares opening (and inflating) each bitmap font.
        FcCache *cache = nullptr;
        FcFontSet *cached = nullptr;
        std::map<std::string, const FcPattern *> firstFaces; // file -> its face 0 in the cache
        std::error_code ec;
        for (const auto &entry : std::filesystem::directory_iterator(reinterpret_cast<const char *>(dir), ec)) {
            const std::string file = entry.path().string();
            const bool bitmap = std::any_of(std::begin(kBitmapEndings), std::end(kBitmapEndings),
                [&file](const char *ending) { return file.ends_with(ending); });
            if (!bitmap || listed.count(file) || !entry.is_regular_file(ec))
                continue;
            if (!cache && (cache = FcDirCacheLoad(dir, config, nullptr)) && (cached = FcCacheCopySet(cache))) {
                for (int i = 0; i < cached->nfont; ++i) {
                    FcChar8 *path = nullptr;
                    int index = -1;
                    if (FcPatternGetString(cached->fonts[i], FC_FILE, 0, &path) == FcResultMatch
                        && FcPatternGetInteger(cached->fonts[i], FC_INDEX, 0, &index) == FcResultMatch && index == 0)
                        firstFaces.emplace(reinterpret_cast<const char *>(path), cached->fonts[i]);
                }
            }
            const auto inCache = firstFaces.find(file);
            FcPattern *pattern = nullptr;
            if (inCache != firstFaces.end()) {
                pattern = FcPatternDuplicate(inCache->second);
            } else {
                int count = 0;
                pattern = FcFreeTypeQuery(reinterpret_cast<const FcChar8 *>(file.c_str()), 0, nullptr, &count);
            }
            if (pattern && !FcFontSetAdd(found, pattern))
                FcPatternDestroy(pattern);
        }
        if (cached)
            FcFontSetDestroy(cached);
        if (cache)
            FcDirCacheUnload(cache);
    }
    if (dirs)
        FcStrListDone(dirs);
    addToCatalog(found);
    FcFontSetDestroy(found);
}

FaceStrikes FreeTypeRasterizer::strikes(const std::string &face)
{
    FaceStrikes found;
    if (isFontFilePath(face)) {
        const CatalogFont *font = d->fileFont(face);
        if (!font)
            return found;
        found.found = true;
        found.family = font->family;
        found.scalable = font->scalable;
        const FT_Face ft = d->openFace(*font);
        for (int i = 0; !found.scalable && ft && i < ft->num_fixed_sizes; ++i)
            found.pixelSizes.push_back(int((ft->available_sizes[i].y_ppem + 32) >> 6));
    } else {
        found.family = d->installedOrSubstituted(face);
        found.found = !found.family.empty();
        for (const CatalogFont &font : d->fonts) {
            if (font.family != found.family)
                continue;
            if (font.scalable)
                found.scalable = true;
            else
                found.pixelSizes.push_back(int(std::lround(font.pixelSize)));
        }
    }
    std::sort(found.pixelSizes.begin(), found.pixelSizes.end());
    found.pixelSizes.erase(std::unique(found.pixelSizes.begin(), found.pixelSizes.end()), found.pixelSizes.end());
    return found;
}

std::optional<int> FreeTypeRasterizer::pointSizeForDots(const std::string &face, int pointSize, int dots)
{
    FaceStrikes found = strikes(face);
    if (!found.found || found.scalable || found.pixelSizes.empty())
        return pointSize;
    std::erase_if(found.pixelSizes, [dots](int px) { return px > dots; });
    return strikePointSize(found.pixelSizes, std::nullopt, pointSize);
}

std::vector<FaceStrikes> FreeTypeRasterizer::bitmapFaces()
{
    d->start();
    std::vector<std::string> families;
    for (const CatalogFont &font : d->fonts)
        if (!font.scalable && std::find(families.begin(), families.end(), font.family) == families.end())
            families.push_back(font.family);
    std::vector<FaceStrikes> out;
    for (const std::string &family : families) {
        FaceStrikes face = strikes(family);
        if (!face.scalable && !face.pixelSizes.empty())
            out.push_back(std::move(face));
    }
    std::sort(out.begin(), out.end(), [](const FaceStrikes &a, const FaceStrikes &b) { return a.family < b.family; });
    return out;
}

} // namespace dotforge
