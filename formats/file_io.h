#pragma once
// Library files on disk: an input file read in ranges or in chunks, and the
// replacement of a file's whole content that never leaves it half written.
// Every failure raises IoError with the run-time number of its errno.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dotforge {

// What tells that a file is unchanged: its place (device and inode), size and
// times of modification and of change, to the nanosecond. The change time
// cannot be set back by anyone but the clock.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileStamp &) const = default;
};

// A regular file opened for reading: a device, pipe or socket is refused
// (openRegularFile), so that nothing waits for ever or takes a stream for a file.
class InputFile {
public:
    explicit InputFile(const std::string &path);
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    std::int64_t size() const;
    FileStamp stamp() const;
    // `length` bytes at `offset`; "Read beyond end of file" when the file ends first.
    std::string readAt(std::int64_t offset, std::size_t length) const;
    // Up to `max` bytes from the current position onwards; 0 at the end.
    std::size_t read(char *buffer, std::size_t max);

private:
    int m_fd = -1;
};

// Whether a replaced file is on the disk before replaceFile returns: a user's
// library is; the batch tool's outputs, which a build makes again from their
// inputs, are left to the system's write-back, as a compiler leaves its object
// files (the replacement is atomic all the same).
enum class FileSync { WaitForDisk, LeaveToSystem };

// Replaces the content of `path` with `bytes`. A regular file, or a new one, is
// written beside the old one in the same folder (as TARGET.~PID-N, the name cut
// where TARGET is too long to take the suffix), flushed to disk (unless `sync`
// says otherwise) and renamed over it, so that a failure at any step leaves the
// previous file as it was and a reader sees the old file or the new one, never
// a part. A symbolic link keeps its place and the file it leads to is replaced,
// or made when the link leads nowhere yet. The temporary is locked while it is
// written; such files that no one holds (left by a killed save, on this machine
// or another) are removed first. A device, or a pipe that a process reads,
// cannot be replaced that way and is written in place; a pipe that nothing
// reads is refused (PipeWithoutReader), and a folder fails with EISDIR's text.
void replaceFile(const std::string &path, std::string_view bytes, FileSync sync = FileSync::WaitForDisk);
// The same with the content given as consecutive parts.
void replaceFile(
    const std::string &path, const std::vector<std::string_view> &parts, FileSync sync = FileSync::WaitForDisk);

// Replaces a file of the program's own (a cache) the same way, but by its name
// only: the name must be a regular file of one link, or new; anything else (a
// symbolic link, a second name of another file, a pipe) is refused with
// notRegularFile and left alone, and the rename never writes through a link.
// Not flushed to disk.
void replaceOwnFile(const std::string &path, std::string_view bytes);

// The program's caches: files of its own under "dotforge" in $XDG_CACHE_HOME
// (else ~/.cache) that only save time. A cache that cannot be read or written
// is no failure: the work it would have saved is done again.
//
// The path of the cache file `name`; "" when neither XDG_CACHE_HOME nor HOME
// names a folder (a relative XDG_CACHE_HOME means nothing and is ignored).
std::string cacheFilePath(const std::string &name);
// A cache file's content: "" when there is none yet, or when it is larger than
// `maxBytes` (not ours: it is written afresh); nothing when the name is no file
// of ours (a link, a pipe, a second name of another file) or cannot be read,
// and then it is not to be written either.
std::optional<std::string> readCacheFile(const std::string &path, std::int64_t maxBytes);
// Replaces a cache file as replaceOwnFile does, its folder made when missing;
// a failure is ignored.
void writeCacheFile(const std::string &path, std::string_view bytes);

// Where content is written as it is made, part by part. Raises IoError.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
};
// Makes a file's content, giving it to the sink in order.
using FileProducer = std::function<void(ByteSink &sink)>;
// Replaces the content of `path` as replaceFile does, with the content made
// while it is written, so that it is never held whole: what `produce` gives
// its sink goes to the new file. An exception from `produce` fails the
// replacement as a write error does, and the previous file stays.
void replaceFileBy(const std::string &path, const FileProducer &produce, FileSync sync = FileSync::WaitForDisk);

} // namespace dotforge
