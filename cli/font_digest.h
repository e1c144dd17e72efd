#pragma once
// The SHA-256 of a font file for the build record of C output, remembered
// between runs: a font of several megabytes would otherwise be hashed again by
// every build of a few glyphs.
//
// The digests are kept in "dotforge/font-digests" under $XDG_CACHE_HOME (else
// ~/.cache), one line per file: the digest, a check (the SHA-256 of the digest
// and the file's first and last 64 KiB), the file's stamp (device, inode, size,
// modification and change times in nanoseconds) and its path. A digest is
// taken from there only while the file's stamp is unchanged and the check
// holds, so that an edited line is not believed, and written there only for a
// file whose change time lies a few seconds in the past, so that a second
// change within the same tick of the file system's clock cannot go unseen. The
// cache is opened as the program's own files are (a regular file of one link,
// never a link, never waiting for a pipe) and replaced whole by a rename. A
// cache that cannot be read or written is no failure: the file is hashed as
// if there were none.

#include <cstdint>
#include <optional>
#include <string>

namespace dotforge::cli {

// The digest of the font file at `path` (64 lower-case hexadecimal digits);
// raises IoError when the file cannot be read.
std::string fontFileDigest(const std::string &path);

// The cache file fontFileDigest uses: "" when neither XDG_CACHE_HOME nor HOME
// names a folder.
std::string fontDigestCacheFile();

// fontFileDigest with the cache file and the present time (nanoseconds since
// the epoch) given; "" as cache file hashes without a cache. `cached`, when
// given, tells whether the digest came from the cache.
std::string fontFileDigest(
    const std::string &path, const std::string &cacheFile, std::int64_t nowNs, bool *cached = nullptr);

} // namespace dotforge::cli
