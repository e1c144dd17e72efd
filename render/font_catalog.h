#pragma once
// The installed fonts as fontconfig knows them: finding the family a face name
// stands for (directly, by a localized name, by substitution or by fontconfig's
// match), the font of a family for a pixel size, and the fallback families for
// a character the face lacks. Opening and drawing the fonts is font_faces.h's.

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dotforge {

// Faces the program names that are not installed here, with the installed face
// drawn for each: "宋体" and "SimSun" are the Chinese Ming face of
// fonts-arphic-uming.
const std::vector<std::pair<std::string, std::string>> &faceSubstitutions();

// Face names compare without regard to ASCII case.
std::string foldedFaceName(std::string name);

// One installed font as fontconfig lists it, or a font file opened by path.
struct CatalogFont {
    static constexpr int kNormalWidth = 100; // fontconfig's FC_WIDTH_NORMAL

    std::string file;
    int index = 0; // the face in a collection file
    std::string family; // its first family name
    std::vector<std::string> names; // every family name, folded
    double weight = 400; // OpenType scale
    bool italic = false;
    int width = kNormalWidth;
    bool scalable = true;
    double pixelSize = 0; // bitmap fonts: the one size they have
};

// One catalog per rasteriser. The installed fonts are read once for the whole
// process and shared by every catalog: fontconfig's configuration and font
// list at the first need; the bitmap fonts its configuration rejects only when
// a name is not found among the listed fonts or the whole catalog is asked for
// (and then remembered between runs, folder by folder, in the cache file
// "bitmap-fonts"). fontconfig's calls after start-up are taken one at a time.
class FontCatalog {
public:
    FontCatalog();
    ~FontCatalog();
    FontCatalog(const FontCatalog &) = delete;
    FontCatalog &operator=(const FontCatalog &) = delete;

    // Every installed font: fontconfig's list, then the bitmap fonts its
    // configuration rejects.
    const std::vector<CatalogFont> &fonts();
    // The fonts of an installed family: those fontconfig lists, else the
    // rejected bitmap fonts of that family.
    std::vector<const CatalogFont *> familyFonts(const std::string &family);

    // The installed family of a face name, directly or by substitution; ""
    // when none.
    std::string installedOrSubstituted(const std::string &name);
    // The family drawn for a face name: installed, substituted, or else the
    // family fontconfig matches for the name; "" when none is installed.
    const std::string &family(const std::string &name);
    // The font of a family for regular text at a pixel size: upright before
    // italic, normal width before condensed or expanded, the weight nearest to
    // regular, and for bitmap fonts the tallest size not taller than the one
    // asked for. nullptr when the family has no font.
    const CatalogFont *font(const std::string &family, int px);

    // Whether the configuration asks for the autohinter for the family.
    bool forcesAutohint(const std::string &family);
    // Whether fontconfig's best match for the family lists the character.
    bool listsCharacter(const std::string &family, char32_t cp);
    // The families to look for a character in that `family` lacks:
    // fontconfig's sorted list for the family (upright, in the language of the
    // character's script, else the default language), each installed family
    // once, the family itself left out.
    const std::vector<std::string> &fallbackFamilies(const std::string &family, char32_t cp);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace dotforge
