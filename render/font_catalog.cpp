#include "render/font_catalog.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>

namespace dotforge {

static_assert(CatalogFont::kNormalWidth == FC_WIDTH_NORMAL);

const std::vector<std::pair<std::string, std::string>> &faceSubstitutions()
{
    static const std::vector<std::pair<std::string, std::string>> substitutions{
        {"宋体", "AR PL UMing CN"},
        {"SimSun", "AR PL UMing CN"},
    };
    return substitutions;
}

std::string foldedFaceName(std::string name)
{
    for (char &c : name)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return name;
}

namespace {

// fontconfig's calls on the configuration the catalogs share, one at a time.
std::mutex &fontconfigLock()
{
    static std::mutex lock;
    return lock;
}

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

// The fonts of a fontconfig list, each with its family names, added to `fonts`.
void addToCatalog(const FcFontSet *set, std::vector<CatalogFont> &fonts)
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
            font.names.push_back(foldedFaceName(reinterpret_cast<const char *>(value)));
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

// The bitmap fonts (PCF, BDF, OpenType bitmap) of one of fontconfig's font
// folders that its configuration leaves out of the list (Debian rejects bitmap
// fonts unless a font's own configuration accepts it): they are installed all
// the same and join the catalog, for the font dialog and for drawing by family
// name. `listed` holds the files fontconfig lists already.
void addBitmapFontsConfigRejects(
    FcConfig *config, const FcChar8 *dir, const std::set<std::string> &listed, FcFontSet *found)
{
    static const char *const kBitmapEndings[] = {".pcf", ".pcf.gz", ".bdf", ".bdf.gz", ".otb"};
    // The folder's cache, when it is up to date, holds every font of the
    // folder as a query of the file gives it, rejected ones included: reading
    // it spares opening (and inflating) each bitmap font.
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

// fontconfig's configuration and its font list, then the bitmap fonts it
// rejects, folder by folder. The configuration is nullptr when it cannot be
// loaded.
FcConfig *loadCatalog(std::vector<CatalogFont> &fonts)
{
    FcConfig *config = FcInitLoadConfigAndFonts();
    if (!config)
        return nullptr;
    FcPattern *any = FcPatternCreate();
    FcObjectSet *objects = FcObjectSetBuild(
        FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_SCALABLE, FC_PIXEL_SIZE, nullptr);
    FcFontSet *set = FcFontList(config, any, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(any);
    if (!set)
        return config;
    addToCatalog(set, fonts);
    FcFontSetDestroy(set);

    std::set<std::string> listed;
    for (const CatalogFont &font : fonts)
        listed.insert(font.file);
    FcFontSet *rejected = FcFontSetCreate();
    FcStrList *dirs = FcConfigGetFontDirs(config);
    while (const FcChar8 *dir = dirs ? FcStrListNext(dirs) : nullptr)
        addBitmapFontsConfigRejects(config, dir, listed, rejected);
    if (dirs)
        FcStrListDone(dirs);
    addToCatalog(rejected, fonts);
    FcFontSetDestroy(rejected);
    return config;
}

// What fontconfig's best match for a family name holds.
struct FamilyMatch {
    FcCharSet *charset = nullptr; // its characters
    bool autohint = false; // the configuration asks for the autohinter
};

} // namespace

struct FontCatalog::Impl {
    FcConfig *config = nullptr;
    bool started = false;
    std::vector<CatalogFont> fonts;
    std::map<std::string, std::string> families; // requested name -> family

    ~Impl()
    {
        if (config)
            FcConfigDestroy(config);
    }

    void start()
    {
        if (started)
            return;
        started = true;
        static std::once_flag once;
        static FcConfig *sharedConfig = nullptr;
        static std::vector<CatalogFont> sharedFonts;
        bool loaded = false;
        std::call_once(once, [this, &loaded] {
            loaded = true;
            config = loadCatalog(fonts);
            sharedConfig = config ? FcConfigReference(config) : nullptr;
            sharedFonts = fonts;
        });
        if (!loaded) {
            config = sharedConfig ? FcConfigReference(sharedConfig) : nullptr;
            fonts = sharedFonts;
        }
    }

    // The installed family a name stands for: a family's first name, then any
    // of its other (localized) names; "" when none.
    std::string installedFamily(const std::string &name) const
    {
        const std::string key = foldedFaceName(name);
        for (const CatalogFont &font : fonts)
            if (font.names.front() == key)
                return font.family;
        for (const CatalogFont &font : fonts)
            for (const std::string &other : font.names)
                if (other == key)
                    return font.family;
        return {};
    }

    // fontconfig's best match for a family name. Kept for the whole process,
    // as the configuration is: the drawing threads ask for the same families.
    const FamilyMatch &match(const std::string &family)
    {
        start();
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
};

FontCatalog::FontCatalog()
    : d(std::make_unique<Impl>())
{
}

FontCatalog::~FontCatalog() = default;

const std::vector<CatalogFont> &FontCatalog::fonts()
{
    d->start();
    return d->fonts;
}

std::string FontCatalog::installedOrSubstituted(const std::string &name)
{
    d->start();
    std::string found = d->installedFamily(name);
    for (const auto &[from, to] : faceSubstitutions())
        if (found.empty() && foldedFaceName(from) == foldedFaceName(name))
            found = d->installedFamily(to);
    return found;
}

const std::string &FontCatalog::family(const std::string &name)
{
    const auto known = d->families.find(name);
    if (known != d->families.end())
        return known->second;
    std::string found = installedOrSubstituted(name);
    if (found.empty() && d->config) {
        const std::lock_guard lock(fontconfigLock());
        FcPattern *pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.c_str()));
        FcConfigSubstitute(d->config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        if (FcPattern *match = FcFontMatch(d->config, pattern, &result)) {
            FcChar8 *value = nullptr;
            if (FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch)
                found = d->installedFamily(reinterpret_cast<const char *>(value));
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    return d->families.emplace(name, found).first->second;
}

const CatalogFont *FontCatalog::font(const std::string &family, int px)
{
    const CatalogFont *best = nullptr;
    double bestScore = 0;
    for (const CatalogFont &font : fonts()) {
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

bool FontCatalog::forcesAutohint(const std::string &family)
{
    return d->match(family).autohint;
}

bool FontCatalog::listsCharacter(const std::string &family, char32_t cp)
{
    const FcCharSet *charset = d->match(family).charset;
    return charset && FcCharSetHasChar(charset, cp);
}

const std::vector<std::string> &FontCatalog::fallbackFamilies(const std::string &family, char32_t cp)
{
    d->start();
    const std::string language = scriptLanguage(cp);
    // Kept for the whole process, as match() keeps its answers.
    // family and language -> fallback families in order
    static std::map<std::pair<std::string, std::string>, std::vector<std::string>> fallbacks;
    const std::lock_guard lock(fontconfigLock());
    const auto key = std::make_pair(family, language);
    const auto known = fallbacks.find(key);
    if (known != fallbacks.end())
        return known->second;
    std::vector<std::string> list;
    if (d->config) {
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
        FcConfigSubstitute(d->config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcFontSet *set = FcFontSort(d->config, pattern, FcFalse, nullptr, &result);
        FcPatternDestroy(pattern);
        std::vector<std::string> seen{foldedFaceName(family)};
        for (int i = 0; set && i < set->nfont; ++i) {
            FcChar8 *value = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &value) != FcResultMatch)
                continue;
            const std::string name = reinterpret_cast<const char *>(value);
            if (std::find(seen.begin(), seen.end(), foldedFaceName(name)) != seen.end())
                continue;
            seen.push_back(foldedFaceName(name));
            const std::string installed = d->installedFamily(name);
            if (!installed.empty())
                list.push_back(installed);
        }
        if (set)
            FcFontSetDestroy(set);
    }
    return fallbacks.emplace(key, std::move(list)).first->second;
}

} // namespace dotforge
