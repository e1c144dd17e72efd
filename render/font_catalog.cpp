#include "render/font_catalog.h"
#include "formats/file_io.h"
#include "render/catalog_caches.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string_view>
#include <sys/stat.h>

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

bool isBitmapFontFile(const std::string &file)
{
    static const char *const kBitmapEndings[] = {".pcf", ".pcf.gz", ".bdf", ".bdf.gz", ".otb"};
    return std::any_of(std::begin(kBitmapEndings), std::end(kBitmapEndings),
        [&file](const char *ending) { return file.ends_with(ending); });
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
std::vector<CatalogFont> bitmapFontsConfigRejects(
    FcConfig *config, const FcChar8 *dir, const std::set<std::string> &listed)
{
    // The folder's cache, when it is up to date, holds every font of the
    // folder as a query of the file gives it, rejected ones included: reading
    // it spares opening (and inflating) each bitmap font.
    FcCache *cache = nullptr;
    FcFontSet *cached = nullptr;
    std::map<std::string, const FcPattern *> firstFaces; // file -> its face 0 in the cache
    FcFontSet *found = FcFontSetCreate();
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator(reinterpret_cast<const char *>(dir), ec)) {
        const std::string file = entry.path().string();
        if (!isBitmapFontFile(file) || listed.count(file) || !entry.is_regular_file(ec))
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
    std::vector<CatalogFont> fonts;
    addToCatalog(found, fonts);
    FcFontSetDestroy(found);
    return fonts;
}

// The rejected bitmap fonts of the font folders are remembered between runs in
// the cache file "bitmap-fonts", folder by folder: a folder's fonts are taken
// from there while the folder (its device, inode and modification time) and
// the bitmap fonts fontconfig lists in it are unchanged. A folder changed a
// moment ago is not remembered, as a second change within the same tick of the
// file system's clock would go unseen.
constexpr const char *kRejectsCacheName = "bitmap-fonts";
constexpr std::int64_t kRejectsCacheMaxBytes = std::int64_t(64) << 20;
constexpr std::int64_t kSettledNs = 2'000'000'000;

// The bitmap fonts the configuration rejects, folder by folder, from the cache
// where it is up to date; the cache is written again when a folder had to be
// read. `listedFonts` are the fonts fontconfig lists.
std::vector<CatalogFont> loadRejectedBitmapFonts(FcConfig *config, const std::vector<CatalogFont> &listedFonts)
{
    std::set<std::string> listed;
    std::map<std::string, std::uint64_t> listedKeys; // folder -> key of its listed bitmap fonts
    for (const CatalogFont &font : listedFonts) {
        if (!listed.insert(font.file).second || !isBitmapFontFile(font.file))
            continue;
        const std::size_t slash = font.file.rfind('/');
        if (slash != std::string::npos)
            listedKeys[font.file.substr(0, slash)] += fileNameKey(font.file.substr(slash + 1));
    }

    const std::string cacheFile = cacheFilePath(kRejectsCacheName);
    const std::optional<std::string> cacheText
        = cacheFile.empty() ? std::nullopt : readCacheFile(cacheFile, kRejectsCacheMaxBytes);
    const std::map<std::string, RejectsFolder> cached
        = cacheText ? readRejectsCache(*cacheText) : std::map<std::string, RejectsFolder>();
    const std::int64_t settled
        = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
              .count()
        - kSettledNs;

    std::vector<CatalogFont> fonts;
    std::vector<std::pair<std::string, RejectsFolder>> read; // the folders as they are now
    bool changed = false;
    FcStrList *dirs = FcConfigGetFontDirs(config);
    while (const FcChar8 *dir = dirs ? FcStrListNext(dirs) : nullptr) {
        std::string name = reinterpret_cast<const char *>(dir);
        while (name.size() > 1 && name.back() == '/')
            name.pop_back();
        struct stat info { };
        if (::stat(name.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            continue;
        RejectsFolder folder;
        folder.device = info.st_dev;
        folder.inode = info.st_ino;
        folder.modifiedNs = std::int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
        const auto key = listedKeys.find(name);
        folder.listedKey = key == listedKeys.end() ? 0 : key->second;
        const auto known = cached.find(name);
        if (known != cached.end() && known->second.sameFolder(folder)) {
            folder.fonts = known->second.fonts;
        } else {
            folder.fonts = bitmapFontsConfigRejects(config, dir, listed);
            changed = true;
            if (folder.modifiedNs > settled)
                folder.modifiedNs = -1; // read again next time
        }
        fonts.insert(fonts.end(), folder.fonts.begin(), folder.fonts.end());
        read.emplace_back(std::move(name), std::move(folder));
    }
    if (dirs)
        FcStrListDone(dirs);

    if (cacheText && (changed || read.size() != cached.size())) {
        std::vector<std::pair<std::string, const RejectsFolder *>> kept;
        for (const auto &[name, folder] : read)
            if (folder.modifiedNs >= 0)
                kept.emplace_back(name, &folder);
        writeCacheFile(cacheFile, rejectsCacheText(kept));
    }
    return fonts;
}

// fontconfig's font list under its configuration.
std::vector<CatalogFont> listedFonts(FcConfig *config)
{
    std::vector<CatalogFont> fonts;
    FcPattern *any = FcPatternCreate();
    FcObjectSet *objects = FcObjectSetBuild(
        FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_SCALABLE, FC_PIXEL_SIZE, nullptr);
    FcFontSet *set = FcFontList(config, any, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(any);
    if (set) {
        addToCatalog(set, fonts);
        FcFontSetDestroy(set);
    }
    return fonts;
}

// What fontconfig's answers stand on, as fontconfig itself checks whether its
// configuration is up to date: its configuration files and folders and its
// font folders; and the files its standard configuration includes where they
// exist, which may be made later: "local.conf" beside "fonts.conf", the user's
// configuration.
std::vector<std::string> watchedPaths(FcConfig *config)
{
    std::vector<std::string> paths;
    const auto add = [&paths](std::string path) {
        if (!path.empty() && std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(std::move(path));
    };
    const auto addAll = [&add](FcStrList *list, bool configFiles) {
        while (const FcChar8 *value = list ? FcStrListNext(list) : nullptr) {
            const std::filesystem::path path = reinterpret_cast<const char *>(value);
            add(path.string());
            if (configFiles && path.filename() == "fonts.conf")
                add((path.parent_path() / "local.conf").string());
        }
        if (list)
            FcStrListDone(list);
    };
    addAll(FcConfigGetConfigFiles(config), true);
    addAll(FcConfigGetConfigDirs(config), false);
    addAll(FcConfigGetFontDirs(config), false);
    const char *home = std::getenv("HOME");
    const char *xdgConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string configHome = xdgConfig && xdgConfig[0] == '/' ? std::string(xdgConfig)
        : home                                                      ? std::string(home) + "/.config"
                                                                    : std::string();
    if (!configHome.empty()) {
        add(configHome + "/fontconfig");
        add(configHome + "/fontconfig/conf.d");
        add(configHome + "/fontconfig/fonts.conf");
    }
    if (home) {
        add(std::string(home) + "/.fonts.conf");
        add(std::string(home) + "/.fonts.conf.d");
    }
    return paths;
}

// What fontconfig answered are remembered between runs in the cache file
// "fontconfig-answers" while none of the files and folders its answers stand
// on changed (fontconfig itself reloads for no less), so that a build that
// names an installed face need not load fontconfig's configuration and its
// folder caches at all; it is loaded when a question is not answered there.
constexpr const char *kAnswersCacheName = "fontconfig-answers";
constexpr std::int64_t kAnswersCacheMaxBytes = std::int64_t(16) << 20;

// What fontconfig's best match for a family name holds.
struct FamilyMatch {
    FcCharSet *charset = nullptr; // its characters
    bool autohint = false; // the configuration asks for the autohinter
};

// The installed fonts, read once for the whole process and shared by every
// catalog: the listed fonts from the remembered answers or from fontconfig at
// the first need, fontconfig's configuration when a question needs it, the
// bitmap fonts it rejects only when a name is not found among the listed ones
// or the whole catalog is asked for.
struct InstalledFonts {
    std::once_flag listedOnce;
    std::vector<CatalogFont> listed;
    std::once_flag configOnce;
    FcConfig *loadedConfig = nullptr;
    std::once_flag rejectedOnce;
    std::vector<CatalogFont> rejected;
    std::vector<CatalogFont> all; // listed, then rejected

    // The answers as remembered; written again as answers are added.
    std::mutex answersLock;
    std::string answersFile;
    std::optional<FontconfigAnswers> answers; // nothing when they cannot be kept

    static InstalledFonts &get()
    {
        static InstalledFonts fonts;
        std::call_once(fonts.listedOnce, [] { fonts.start(); });
        return fonts;
    }

    void start()
    {
        answersFile = cacheFilePath(kAnswersCacheName);
        const std::optional<std::string> text
            = answersFile.empty() ? std::nullopt : readCacheFile(answersFile, kAnswersCacheMaxBytes);
        if (text) {
            std::optional<FontconfigAnswers> known = readAnswers(*text);
            if (known && answersStamp(FcGetVersion(), stampPaths(known->stamp)) == known->stamp) {
                listed = std::move(known->listed);
                known->listed.clear();
                answers = std::move(known);
                return;
            }
        }
        FcConfig *fc = config();
        if (!fc)
            return;
        {
            const std::lock_guard lock(fontconfigLock());
            listed = listedFonts(fc);
        }
        // Not remembered while a file they stand on changed a moment ago: a
        // second change within the same tick of the file system's clock
        // would go unseen.
        std::string stamp = answersStamp(FcGetVersion(), watchedPaths(fc));
        const std::int64_t now
            = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
                  .count();
        if (text && stampNewestNs(stamp) <= now - kSettledNs) {
            answers = FontconfigAnswers{std::move(stamp), {}, {}};
            remember();
        }
    }

    // The process's current configuration, loaded on first need: Qt's font
    // database uses the same, so that the window reads it once. nullptr when
    // it cannot be loaded.
    FcConfig *config()
    {
        std::call_once(configOnce, [this] { loadedConfig = FcConfigReference(nullptr); });
        return loadedConfig;
    }

    // Writes the answers; with `answersLock` held or before any thread shares them.
    void remember()
    {
        if (!answers)
            return;
        FontconfigAnswers all = *answers;
        all.listed = listed;
        if (const std::optional<std::string> text = answersText(all))
            writeCacheFile(answersFile, *text);
    }

    // Whether the configuration forces the autohinter for a family, as
    // remembered or as `ask` finds.
    bool autohint(const std::string &family, const std::function<bool()> &ask)
    {
        {
            const std::lock_guard lock(answersLock);
            if (answers) {
                const auto known = answers->autohint.find(family);
                if (known != answers->autohint.end())
                    return known->second;
            }
        }
        const bool forced = ask();
        const std::lock_guard lock(answersLock);
        if (answers && answers->autohint.emplace(family, forced).second)
            remember();
        return forced;
    }

    const std::vector<CatalogFont> &rejectedFonts()
    {
        std::call_once(rejectedOnce, [this] {
            if (FcConfig *fc = config()) {
                const std::lock_guard lock(fontconfigLock());
                rejected = loadRejectedBitmapFonts(fc, listed);
            }
            all = listed;
            all.insert(all.end(), rejected.begin(), rejected.end());
        });
        return rejected;
    }
};

// The family among `fonts` a name is the first name of, else one of the other
// (localized) names of; "" when none.
std::string familyNamed(const std::vector<CatalogFont> &fonts, const std::string &key)
{
    for (const CatalogFont &font : fonts)
        if (font.names.front() == key)
            return font.family;
    for (const CatalogFont &font : fonts)
        for (const std::string &other : font.names)
            if (other == key)
                return font.family;
    return {};
}

} // namespace

struct FontCatalog::Impl {
    std::map<std::string, std::string> families; // requested name -> family

    static InstalledFonts &installed() { return InstalledFonts::get(); }
    static FcConfig *config() { return installed().config(); }

    // The installed family a name stands for, among the fonts fontconfig lists
    // and then among the bitmap fonts it rejects; "" when none. With
    // `substitutes`, a name not found itself is looked for as the face it
    // stands for, before the rejected fonts are.
    static std::string installedFamily(const std::string &name, bool substitutes)
    {
        InstalledFonts &fonts = installed();
        const std::string key = foldedFaceName(name);
        std::vector<std::string> keys{key};
        if (substitutes)
            for (const auto &[from, to] : faceSubstitutions())
                if (foldedFaceName(from) == key)
                    keys.push_back(foldedFaceName(to));
        for (const std::string &k : keys)
            if (std::string found = familyNamed(fonts.listed, k); !found.empty())
                return found;
        for (const std::string &k : keys)
            if (std::string found = familyNamed(fonts.rejectedFonts(), k); !found.empty())
                return found;
        return {};
    }

    // fontconfig's best match for a family name. Kept for the whole process,
    // as the configuration is: the drawing threads ask for the same families.
    static const FamilyMatch &match(const std::string &family)
    {
        FcConfig *fc = config();
        static std::map<std::string, FamilyMatch> matches;
        const std::lock_guard lock(fontconfigLock());
        const auto known = matches.find(family);
        if (known != matches.end())
            return known->second;
        FamilyMatch found;
        if (fc) {
            FcPattern *pattern = FcPatternCreate();
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.c_str()));
            FcConfigSubstitute(fc, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            if (FcPattern *best = FcFontMatch(fc, pattern, &result)) {
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
    InstalledFonts &installed = Impl::installed();
    installed.rejectedFonts();
    return installed.all;
}

std::vector<const CatalogFont *> FontCatalog::familyFonts(const std::string &family)
{
    std::vector<const CatalogFont *> found;
    InstalledFonts &installed = Impl::installed();
    for (const CatalogFont &font : installed.listed)
        if (font.family == family)
            found.push_back(&font);
    if (found.empty() && !family.empty())
        for (const CatalogFont &font : installed.rejectedFonts())
            if (font.family == family)
                found.push_back(&font);
    return found;
}

std::string FontCatalog::installedOrSubstituted(const std::string &name)
{
    return Impl::installedFamily(name, true);
}

const std::string &FontCatalog::family(const std::string &name)
{
    const auto known = d->families.find(name);
    if (known != d->families.end())
        return known->second;
    std::string found = installedOrSubstituted(name);
    if (found.empty() && Impl::config()) {
        std::string matched;
        {
            const std::lock_guard lock(fontconfigLock());
            FcPattern *pattern = FcPatternCreate();
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.c_str()));
            FcConfigSubstitute(Impl::config(), pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            if (FcPattern *match = FcFontMatch(Impl::config(), pattern, &result)) {
                FcChar8 *value = nullptr;
                if (FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch)
                    matched = reinterpret_cast<const char *>(value);
                FcPatternDestroy(match);
            }
            FcPatternDestroy(pattern);
        }
        if (!matched.empty())
            found = Impl::installedFamily(matched, false);
    }
    return d->families.emplace(name, found).first->second;
}

const CatalogFont *FontCatalog::font(const std::string &family, int px)
{
    const CatalogFont *best = nullptr;
    double bestScore = 0;
    for (const CatalogFont *font : familyFonts(family)) {
        double score = (font->italic ? 1e7 : 0.0) + std::abs(font->width - FC_WIDTH_NORMAL) * 1e4
            + std::abs(font->weight - 400) * 10;
        if (!font->scalable) {
            // Sizes taller than asked for come last: they draw nothing.
            const int size = int(std::lround(font->pixelSize));
            score += size <= px ? px - size : 1e8 + size - px;
        }
        if (!best || score < bestScore) {
            best = font;
            bestScore = score;
        }
    }
    return best;
}

bool FontCatalog::forcesAutohint(const std::string &family)
{
    return Impl::installed().autohint(family, [&family] { return Impl::match(family).autohint; });
}

bool FontCatalog::listsCharacter(const std::string &family, char32_t cp)
{
    const FcCharSet *charset = Impl::match(family).charset;
    return charset && FcCharSetHasChar(charset, cp);
}

const std::vector<std::string> &FontCatalog::fallbackFamilies(const std::string &family, char32_t cp)
{
    FcConfig *fc = Impl::config();
    const std::string language = scriptLanguage(cp);
    // Kept for the whole process, as match() keeps its answers.
    // family and language -> fallback families in order
    static std::map<std::pair<std::string, std::string>, std::vector<std::string>> fallbacks;
    static std::mutex fallbacksLock;
    const auto key = std::make_pair(family, language);
    {
        const std::lock_guard lock(fallbacksLock);
        const auto known = fallbacks.find(key);
        if (known != fallbacks.end())
            return known->second;
    }
    // fontconfig's sorted list, each family name once, the family itself left out.
    std::vector<std::string> sorted;
    if (fc) {
        const std::lock_guard lock(fontconfigLock());
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
        FcConfigSubstitute(fc, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcFontSet *set = FcFontSort(fc, pattern, FcFalse, nullptr, &result);
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
            sorted.push_back(name);
        }
        if (set)
            FcFontSetDestroy(set);
    }
    std::vector<std::string> list;
    for (const std::string &name : sorted)
        if (std::string installed = Impl::installedFamily(name, false); !installed.empty())
            list.push_back(std::move(installed));
    const std::lock_guard lock(fallbacksLock);
    return fallbacks.emplace(key, std::move(list)).first->second;
}

} // namespace dotforge
