#pragma once
// The font catalog's caches between runs, as text (font_catalog.cpp decides
// when they hold): the bitmap fonts fontconfig's configuration rejects, per
// font folder ("bitmap-fonts"), and what fontconfig answered, with the files
// and folders those answers stand on ("fontconfig-answers").
//
// Both files start with a line naming their kind. A font is a line
//   F <index> <weight> <italic> <width> <scalable> <pixel size>\t<file>\t<family>[\t<other folded name>]...
// A file that does not read line for line is taken as no cache at all.

#include "render/font_catalog.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dotforge {

// A font folder's rejected bitmap fonts, with what they were read under: the
// folder's device, inode and modification time, and the key of the bitmap
// fonts fontconfig lists in it.
struct RejectsFolder {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t modifiedNs = 0;
    std::uint64_t listedKey = 0;
    std::vector<CatalogFont> fonts;

    bool sameFolder(const RejectsFolder &other) const
    {
        return device == other.device && inode == other.inode && modifiedNs == other.modifiedNs
            && listedKey == other.listedKey;
    }
};

// The key of the bitmap fonts listed in a folder: the sum of a hash of each
// file name, whatever their order.
std::uint64_t fileNameKey(std::string_view name);

// The folders of a "bitmap-fonts" file, by folder.
std::map<std::string, RejectsFolder> readRejectsCache(std::string_view text);
// The text of a "bitmap-fonts" file; a folder whose names cannot be kept on
// lines of tab-separated fields is left out.
std::string rejectsCacheText(const std::vector<std::pair<std::string, const RejectsFolder *>> &folders);

// What fontconfig answered: the fonts it lists and, per family asked for,
// whether its configuration forces the autohinter; `stamp` is what the
// answers stand on (see answersStamp).
struct FontconfigAnswers {
    std::string stamp;
    std::vector<CatalogFont> listed;
    std::map<std::string, bool> autohint;
};

// The stamp of fontconfig's state: its version, the environment variables it
// reads, and each of `paths` (its configuration files and folders, its font
// folders, the user's configuration that may yet be made) as its device,
// inode, modification time and size, or as missing. Two stamps are equal
// while none of them changed.
std::string answersStamp(int fontconfigVersion, const std::vector<std::string> &paths);
// The paths of a stamp, to take it again.
std::vector<std::string> stampPaths(std::string_view stamp);
// The latest modification time of the paths of a stamp, in nanoseconds since
// the epoch; 0 when none exists.
std::int64_t stampNewestNs(std::string_view stamp);

std::optional<FontconfigAnswers> readAnswers(std::string_view text);
// The text of a "fontconfig-answers" file; nothing when a path or name cannot
// be kept on a line.
std::optional<std::string> answersText(const FontconfigAnswers &answers);

} // namespace dotforge
