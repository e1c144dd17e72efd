#include "render/catalog_caches.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <sys/stat.h>

namespace dotforge {

namespace {

constexpr std::string_view kRejectsKind = "dotforge bitmap fonts 1";
constexpr std::string_view kAnswersKind = "dotforge fontconfig answers 1";

// The environment fontconfig reads: where its configuration and caches are,
// the user's folders, and the languages of the default pattern.
constexpr const char *kFontconfigEnvironment[] = {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "HOME",
    "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CACHE_HOME", "FC_LANG", "LC_ALL", "LC_CTYPE", "LANG"};

template <typename Number> bool readNumber(std::string_view &words, Number &value)
{
    while (!words.empty() && words.front() == ' ')
        words.remove_prefix(1);
    const auto [end, error] = std::from_chars(words.data(), words.data() + words.size(), value);
    if (error != std::errc())
        return false;
    words.remove_prefix(std::size_t(end - words.data()));
    return true;
}

template <typename Number> void appendNumber(std::string &text, Number value)
{
    char digits[32];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, end);
}

bool skipWord(std::string_view &words, std::string_view word)
{
    if (!words.starts_with(word))
        return false;
    words.remove_prefix(word.size());
    return true;
}

std::vector<std::string_view> tabFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    for (std::size_t tab; (tab = text.find('\t')) != std::string_view::npos; text.remove_prefix(tab + 1))
        fields.push_back(text.substr(0, tab));
    fields.push_back(text);
    return fields;
}

// The lines of a text one after the other.
class Lines {
public:
    explicit Lines(std::string_view text)
        : m_text(text)
    {
    }
    bool atEnd() const { return m_text.empty(); }
    std::string_view next()
    {
        const std::size_t end = m_text.find('\n');
        const std::string_view line = m_text.substr(0, end);
        m_text.remove_prefix(end == std::string_view::npos ? m_text.size() : end + 1);
        return line;
    }

private:
    std::string_view m_text;
};

bool keepable(std::string_view name)
{
    return !name.empty() && name.find_first_of("\t\r\n") == std::string_view::npos;
}

bool keepable(const CatalogFont &font)
{
    return keepable(font.file) && keepable(font.family)
        && std::all_of(font.names.begin(), font.names.end(), [](const std::string &n) { return keepable(n); });
}

void appendFontLine(std::string &text, const CatalogFont &font)
{
    text += "F ";
    appendNumber(text, font.index);
    text += ' ';
    appendNumber(text, font.weight);
    text += font.italic ? " 1 " : " 0 ";
    appendNumber(text, font.width);
    text += font.scalable ? " 1 " : " 0 ";
    appendNumber(text, font.pixelSize);
    text += '\t' + font.file + '\t' + font.family;
    for (std::size_t k = 1; k < font.names.size(); ++k)
        text += '\t' + font.names[k];
    text += '\n';
}

std::optional<CatalogFont> readFontLine(std::string_view line)
{
    const std::vector<std::string_view> fields = tabFields(line);
    std::string_view words = fields.front();
    CatalogFont font;
    int italic = 0;
    int scalable = 0;
    if (fields.size() < 3 || !skipWord(words, "F") || !readNumber(words, font.index) || !readNumber(words, font.weight)
        || !readNumber(words, italic) || !readNumber(words, font.width) || !readNumber(words, scalable)
        || !readNumber(words, font.pixelSize) || !words.empty() || fields[1].empty() || fields[2].empty())
        return std::nullopt;
    font.italic = italic != 0;
    font.scalable = scalable != 0;
    font.file = fields[1];
    font.family = fields[2];
    font.names.push_back(foldedFaceName(font.family));
    for (std::size_t k = 3; k < fields.size(); ++k)
        font.names.emplace_back(fields[k]);
    return font;
}

} // namespace

std::uint64_t fileNameKey(std::string_view name)
{
    // FNV-1a
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : name)
        hash = (hash ^ std::uint8_t(c)) * 0x100000001b3ull;
    return hash;
}

std::map<std::string, RejectsFolder> readRejectsCache(std::string_view text)
{
    std::map<std::string, RejectsFolder> folders;
    Lines lines(text);
    if (lines.next() != kRejectsKind)
        return {};
    while (!lines.atEnd()) {
        const std::vector<std::string_view> head = tabFields(lines.next());
        std::string_view words = head.front();
        RejectsFolder folder;
        std::size_t count = 0;
        if (head.size() != 2 || !skipWord(words, "D") || !readNumber(words, folder.device)
            || !readNumber(words, folder.inode) || !readNumber(words, folder.modifiedNs)
            || !readNumber(words, folder.listedKey) || !readNumber(words, count) || !words.empty())
            return {};
        for (std::size_t i = 0; i < count; ++i) {
            std::optional<CatalogFont> font = readFontLine(lines.next());
            if (!font)
                return {};
            folder.fonts.push_back(std::move(*font));
        }
        folders.insert_or_assign(std::string(head[1]), std::move(folder));
    }
    return folders;
}

std::string rejectsCacheText(const std::vector<std::pair<std::string, const RejectsFolder *>> &folders)
{
    std::string text(kRejectsKind);
    text += '\n';
    for (const auto &[dir, folder] : folders) {
        if (!keepable(dir) || !std::all_of(folder->fonts.begin(), folder->fonts.end(), [](const CatalogFont &f) {
                return keepable(f);
            }))
            continue;
        text += "D ";
        for (const std::uint64_t value : {folder->device, folder->inode, std::uint64_t(folder->modifiedNs),
                 folder->listedKey, std::uint64_t(folder->fonts.size())}) {
            appendNumber(text, value);
            text += ' ';
        }
        text.back() = '\t';
        text += dir + '\n';
        for (const CatalogFont &font : folder->fonts)
            appendFontLine(text, font);
    }
    return text;
}

std::string answersStamp(int fontconfigVersion, const std::vector<std::string> &paths)
{
    std::string stamp = "V ";
    appendNumber(stamp, fontconfigVersion);
    stamp += '\n';
    for (const char *name : kFontconfigEnvironment) {
        stamp += "E ";
        stamp += name;
        if (const char *value = std::getenv(name)) {
            stamp += '=';
            stamp += value;
        }
        stamp += '\n';
    }
    for (const std::string &path : paths) {
        struct stat info { };
        if (::stat(path.c_str(), &info) != 0) {
            stamp += "P -\t" + path + '\n';
            continue;
        }
        stamp += "P ";
        for (const std::int64_t value :
            {std::int64_t(info.st_dev), std::int64_t(info.st_ino),
                std::int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec, std::int64_t(info.st_size)}) {
            appendNumber(stamp, value);
            stamp += ' ';
        }
        stamp.back() = '\t';
        stamp += path + '\n';
    }
    return stamp;
}

std::vector<std::string> stampPaths(std::string_view stamp)
{
    std::vector<std::string> paths;
    Lines lines(stamp);
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        const std::size_t tab = line.find('\t');
        if (line.starts_with("P ") && tab != std::string_view::npos)
            paths.emplace_back(line.substr(tab + 1));
    }
    return paths;
}

std::int64_t stampNewestNs(std::string_view stamp)
{
    std::int64_t newest = 0;
    Lines lines(stamp);
    while (!lines.atEnd()) {
        std::string_view words = lines.next();
        std::int64_t device = 0;
        std::int64_t inode = 0;
        std::int64_t modified = 0;
        if (skipWord(words, "P ") && readNumber(words, device) && readNumber(words, inode)
            && readNumber(words, modified))
            newest = std::max(newest, modified);
    }
    return newest;
}

std::optional<FontconfigAnswers> readAnswers(std::string_view text)
{
    FontconfigAnswers answers;
    Lines lines(text);
    if (lines.next() != kAnswersKind)
        return std::nullopt;
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        if (line.starts_with("V ") || line.starts_with("E ") || line.starts_with("P ")) {
            answers.stamp.append(line);
            answers.stamp += '\n';
        } else if (line.starts_with("F ")) {
            std::optional<CatalogFont> font = readFontLine(line);
            if (!font)
                return std::nullopt;
            answers.listed.push_back(std::move(*font));
        } else if ((line.starts_with("A 0\t") || line.starts_with("A 1\t")) && line.size() > 4) {
            answers.autohint[std::string(line.substr(4))] = line[2] == '1';
        } else {
            return std::nullopt;
        }
    }
    return answers;
}

std::optional<std::string> answersText(const FontconfigAnswers &answers)
{
    std::string text(kAnswersKind);
    text += '\n';
    if (answers.stamp.find('\r') != std::string::npos
        || !std::all_of(answers.listed.begin(), answers.listed.end(), [](const CatalogFont &f) { return keepable(f); }))
        return std::nullopt;
    for (const std::string &path : stampPaths(answers.stamp))
        if (!keepable(path))
            return std::nullopt;
    text += answers.stamp;
    for (const CatalogFont &font : answers.listed)
        appendFontLine(text, font);
    for (const auto &[family, forced] : answers.autohint) {
        if (!keepable(family))
            continue;
        text += forced ? "A 1\t" : "A 0\t";
        text += family + '\n';
    }
    return text;
}

} // namespace dotforge
