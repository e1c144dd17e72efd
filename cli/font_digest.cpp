#include "cli/font_digest.h"

#include "cli/sha256.h"
#include "formats/file_io.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <vector>

namespace dotforge::cli {

namespace {

// A change this recent may be followed by another with the same change time.
constexpr std::int64_t kSettledNs = 2'000'000'000;
// Entries kept, the most recently written first.
constexpr std::size_t kEntries = 64;
// The cache is a few kilobytes; anything larger is not ours.
constexpr std::int64_t kMaxCacheBytes = 1 << 20;
// The blocks at the file's start and end that an entry is checked against.
constexpr std::size_t kSampleBytes = 1 << 16;

struct Entry {
    std::string digest;
    // SHA-256 of the digest and the file's first and last blocks.
    std::string check;
    FileStamp stamp;
    std::string path;
};

bool isDigest(const std::string &text)
{
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    });
}

// What ties an entry's digest to the file: a digest edited in the cache, or a
// file whose content changed at its start or end while its stamp stayed (a
// clock set back, a file system with coarse times), no longer matches.
std::string entryCheck(const InputFile &file, const std::string &digest)
{
    const std::int64_t size = file.size();
    Sha256 hash;
    hash.update(digest);
    hash.update(file.readAt(0, std::size_t(std::min<std::int64_t>(size, kSampleBytes))));
    const std::int64_t tail = std::max<std::int64_t>(size - std::int64_t(kSampleBytes), kSampleBytes);
    if (tail < size)
        hash.update(file.readAt(tail, std::size_t(size - tail)));
    return hash.hexDigest();
}

std::string entryLine(const Entry &e)
{
    return e.digest + ' ' + e.check + ' ' + std::to_string(e.stamp.device) + ' ' + std::to_string(e.stamp.inode) + ' '
        + std::to_string(e.stamp.size) + ' ' + std::to_string(e.stamp.modifiedNs) + ' '
        + std::to_string(e.stamp.changedNs) + ' ' + e.path + '\n';
}

// The entries of the cache file; lines that do not read as entries are left
// out. Nothing when the name is no file of ours: the cache is then neither
// read nor written.
std::optional<std::vector<Entry>> readEntries(const std::string &cacheFile)
{
    const std::optional<std::string> text = readCacheFile(cacheFile, kMaxCacheBytes);
    if (!text)
        return std::nullopt;
    std::vector<Entry> entries;
    std::istringstream lines(*text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        Entry e;
        if (!(words >> e.digest >> e.check >> e.stamp.device >> e.stamp.inode >> e.stamp.size >> e.stamp.modifiedNs
                >> e.stamp.changedNs)
            || words.get() != ' ' || !std::getline(words, e.path) || !isDigest(e.digest) || !isDigest(e.check)
            || e.path.empty())
            continue;
        entries.push_back(std::move(e));
    }
    return entries;
}

void writeEntries(const std::string &cacheFile, const std::vector<Entry> &entries)
{
    std::string text;
    for (const Entry &e : entries)
        text += entryLine(e);
    writeCacheFile(cacheFile, text);
}

} // namespace

std::string fontDigestCacheFile()
{
    return cacheFilePath("font-digests");
}

std::string fontFileDigest(const std::string &path, const std::string &cacheFile, std::int64_t nowNs, bool *cached)
{
    if (cached)
        *cached = false;
    InputFile file(path);
    const FileStamp stamp = file.stamp();
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    const std::string key = ec ? path : absolute.lexically_normal().string();
    // A path with a line end cannot be kept in a line.
    std::optional<std::vector<Entry>> entries;
    if (!cacheFile.empty() && key.find_first_of("\r\n") == std::string::npos)
        entries = readEntries(cacheFile);
    if (entries) {
        for (const Entry &e : *entries)
            if (e.path == key && e.stamp == stamp && e.check == entryCheck(file, e.digest)) {
                if (cached)
                    *cached = true;
                return e.digest;
            }
    }

    Sha256 hash;
    std::vector<char> buffer(1 << 16);
    while (const std::size_t got = file.read(buffer.data(), buffer.size()))
        hash.update(std::string_view(buffer.data(), got));
    const std::string digest = hash.hexDigest();

    // Kept only when the file did not change while it was read and its last
    // change has settled.
    if (entries && file.stamp() == stamp && stamp.changedNs <= nowNs - kSettledNs) {
        std::erase_if(*entries, [&key](const Entry &e) { return e.path == key; });
        entries->insert(entries->begin(), Entry{digest, entryCheck(file, digest), stamp, key});
        if (entries->size() > kEntries)
            entries->resize(kEntries);
        writeEntries(cacheFile, *entries);
    }
    return digest;
}

std::string fontFileDigest(const std::string &path)
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return fontFileDigest(
        path, fontDigestCacheFile(), std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

} // namespace dotforge::cli
