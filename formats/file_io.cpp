#include "formats/file_io.h"

#include "core/gbk.h"
#include "core/io_error.h"
#include "core/record_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dotforge {

namespace {

[[noreturn]] void fail(int err)
{
    throw IoError(IoError::fromErrno(err));
}

// Small parts given to the sink are gathered into writes of up to kBuffer
// bytes, so that they cost no system call each; a part of kDirect bytes or more
// is written from where it lies, not copied.
class DescriptorSink : public ByteSink {
public:
    static constexpr std::size_t kBuffer = 1 << 16;
    static constexpr std::size_t kDirect = 1 << 14;
    explicit DescriptorSink(int fd)
        : m_fd(fd)
    {
    }
    void write(std::string_view bytes) override
    {
        if (bytes.size() >= kDirect) {
            flush();
            writeExactly(m_fd, bytes.data(), bytes.size());
            return;
        }
        if (m_buffer.size() + bytes.size() > kBuffer)
            flush();
        m_buffer.append(bytes);
    }
    void flush()
    {
        if (m_buffer.empty())
            return;
        writeExactly(m_fd, m_buffer.data(), m_buffer.size());
        m_buffer.clear();
    }

private:
    int m_fd;
    std::string m_buffer;
};

void writeParts(int fd, const FileProducer &produce)
{
    DescriptorSink sink(fd);
    produce(sink);
    sink.flush();
}

// A device or a pipe that already exists: written where it is. A pipe that no
// process reads is refused at once instead of waiting for a reader for ever;
// a socket cannot be opened at all.
void writeInPlace(const std::string &path, const struct stat &kind, const FileProducer &parts)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENXIO && S_ISFIFO(kind.st_mode))
            throw IoError(ioerr::PipeWithoutReader);
        if (errno == ENXIO)
            throw notRegularFile(path);
        fail(errno);
    }
    try {
        // The writes wait for the reader (or the device) as usual.
        if (::fcntl(fd, F_SETFL, 0) != 0)
            fail(errno);
        writeParts(fd, parts);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0)
        fail(errno);
}

std::string folderOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name a symbolic link that leads nowhere (or a chain of them) leads to,
// the link's own folder being the start of a relative one; any other name is
// its own.
std::string danglingTarget(const std::string &path)
{
    std::string at = path;
    for (int links = 0;; ++links) {
        struct stat st { };
        if (::lstat(at.c_str(), &st) != 0) {
            if (errno == ENOENT)
                return at;
            fail(errno);
        }
        if (!S_ISLNK(st.st_mode))
            return at;
        if (links >= 40)
            fail(ELOOP);
        std::vector<char> to(PATH_MAX);
        const ssize_t got = ::readlink(at.c_str(), to.data(), to.size());
        if (got < 0)
            fail(errno);
        if (std::size_t(got) == to.size())
            fail(ENAMETOOLONG);
        const std::string next(to.data(), std::size_t(got));
        at = next.starts_with('/') ? next : folderOf(at) + "/" + next;
    }
}

// The temporaries of a target are named TARGET.~PID-N, PID the writing
// process and N a count, in the target's folder. A name too long for the
// folder's file system to take that suffix is cut (at a character of UTF-8),
// so that the temporary of any name the system accepts can be made.
std::string temporaryPrefix(const std::string &folder, const std::string &target)
{
    // ".~", a process id and "-N" fit in this many bytes.
    constexpr std::size_t kSuffix = 32;
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t nameMax = limit > long(kSuffix) ? std::size_t(limit) : NAME_MAX;
    std::string name = target;
    if (name.size() > nameMax - kSuffix) {
        name.resize(nameMax - kSuffix);
        name.resize(withoutPartialUtf8Tail(name).size());
    }
    return name + ".~";
}

// Whether `name` is PREFIX + PID + "-" + N, both numbers.
bool isTemporaryName(std::string_view name, std::string_view prefix)
{
    if (!name.starts_with(prefix))
        return false;
    name.remove_prefix(prefix.size());
    const auto dash = name.find('-');
    const auto digits
        = [](std::string_view s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos; };
    return dash != std::string_view::npos && digits(name.substr(0, dash)) && digits(name.substr(dash + 1));
}

// Whether the name still leads to the file that is open as `fd`.
bool namesOpenFile(const std::string &name, int fd)
{
    struct stat held { };
    struct stat named { };
    return ::fstat(fd, &held) == 0 && ::lstat(name.c_str(), &named) == 0 && held.st_dev == named.st_dev
        && held.st_ino == named.st_ino;
}

// A temporary is in use for exactly as long as its writer holds the exclusive
// lock (flock) it took when it made the file: the kernel lets it go when the
// writer ends, however it ends, and the lock holds across containers sharing a
// folder and between NFS clients, where process ids mean nothing.
//
// A leftover of ours is removed only by whoever takes its lock, and only while
// holding it, after checking that the name still leads to the locked file.
// That is what keeps removal and rename apart: a writer renames its temporary
// over the target before it lets the lock go, so a cleaner that opened the
// temporary just before the rename gets the lock only after it, finds the name
// gone (or another file's) and leaves it; and no one renames or removes a
// temporary without holding its lock, so the name cannot change between the
// check and the removal.
void removeIfLeftOver(const std::string &path)
{
    // Written to: on NFS an exclusive lock needs a descriptor open for writing.
    int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EACCES)
        fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st { };
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0
        && namesOpenFile(path, fd))
        ::unlink(path.c_str());
    ::close(fd);
}

// Removes what a save into the folder killed on the way left there: our own
// regular files PREFIX + PID-N that no writer holds.
void removeLeftOverTemporaries(const std::string &folder, const std::string &prefix)
{
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> found;
    while (const dirent *entry = ::readdir(dir))
        if (isTemporaryName(entry->d_name, prefix))
            found.push_back(folder + "/" + entry->d_name);
    ::closedir(dir);
    for (const std::string &path : found)
        removeIfLeftOver(path);
}

// A new file in `folder`, created exclusively so that nothing else is
// overwritten, and locked (see removeIfLeftOver); the umask applies to its mode
// as to any new file. A file that a cleaner took before our lock is left to it
// and another name tried. Where the file system has no locks, the file is
// written unlocked (and no cleaner can take it for a leftover either).
int createBeside(const std::string &folder, const std::string &prefix, std::string &name)
{
    removeLeftOverTemporaries(folder, prefix);
    for (int attempt = 0;; ++attempt) {
        name = folder + "/" + prefix + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno != EEXIST || attempt >= 100)
                fail(errno);
            continue;
        }
        const bool taken = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        if (!taken && namesOpenFile(name, fd))
            return fd;
        ::close(fd);
        if (attempt >= 100)
            fail(EEXIST);
    }
}

// Writes `target` afresh beside it and renames the new file over it: the
// rename replaces the name itself, whatever it is. `old` is the file replaced,
// whose owner and permissions the new one takes.
void writeBesideAndRename(const std::string &target, const struct stat *old, const FileProducer &parts, FileSync sync)
{
    const std::string folder = folderOf(target);
    std::string temporary;
    int fd = createBeside(folder, temporaryPrefix(folder, baseNameOf(target)), temporary);
    // The lock stays with a second descriptor of the same open file until the
    // temporary has been renamed, so that the write's own descriptor can be
    // closed first (NFS reports a failed write at the close).
    int lock = -1;
    try {
        lock = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (lock < 0)
            fail(errno);
        if (old) {
            // The new file takes the place of the old one: same owner (where we
            // may set it) and the same permissions.
            [[maybe_unused]] const int ignored = ::fchown(fd, old->st_uid, old->st_gid);
            if (::fchmod(fd, old->st_mode & 07777) != 0)
                fail(errno);
        }
        writeParts(fd, parts);
        if (sync == FileSync::WaitForDisk && ::fsync(fd) != 0)
            fail(errno);
        const int closing = ::close(fd);
        fd = -1;
        if (closing != 0)
            fail(errno);
        if (::rename(temporary.c_str(), target.c_str()) != 0)
            fail(errno);
    } catch (...) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.c_str());
        if (lock >= 0)
            ::close(lock);
        throw;
    }
    ::close(lock);
    if (sync == FileSync::LeaveToSystem)
        return;
    // Make the rename itself durable; a folder that cannot be synced is no failure
    // of the save, whose data is on disk already.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

InputFile::InputFile(const std::string &path)
    : m_fd(openRegularFile(path, true))
{
}

InputFile::~InputFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::int64_t InputFile::size() const
{
    struct stat st { };
    if (::fstat(m_fd, &st) != 0)
        fail(errno);
    return std::int64_t(st.st_size);
}

FileStamp InputFile::stamp() const
{
    struct stat st { };
    if (::fstat(m_fd, &st) != 0)
        fail(errno);
    const auto ns = [](const timespec &t) { return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return {
        std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_size), ns(st.st_mtim), ns(st.st_ctim)};
}

std::string InputFile::readAt(std::int64_t offset, std::size_t length) const
{
    std::string out(length, '\0');
    readExactly(m_fd, out.data(), length, offset);
    return out;
}

std::size_t InputFile::read(char *buffer, std::size_t max)
{
    return readSome(m_fd, buffer, max);
}

void replaceFile(const std::string &path, std::string_view bytes, FileSync sync)
{
    replaceFile(path, std::vector<std::string_view>{bytes}, sync);
}

void replaceFile(const std::string &path, const std::vector<std::string_view> &parts, FileSync sync)
{
    replaceFileBy(
        path,
        [&parts](ByteSink &sink) {
            for (const std::string_view part : parts)
                sink.write(part);
        },
        sync);
}

void replaceFileBy(const std::string &path, const FileProducer &parts, FileSync sync)
{
    if (path.empty())
        throw IoError(ioerr::InvalidFilename);
    std::string target;
    struct stat old { };
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        fail(errno);
    if (exists) {
        if (S_ISDIR(old.st_mode))
            fail(EISDIR);
        if (!S_ISREG(old.st_mode)) {
            writeInPlace(path, old, parts);
            return;
        }
        // A link keeps its place: the file it leads to is replaced.
        char *real = ::realpath(path.c_str(), nullptr);
        if (!real)
            fail(errno);
        target = real;
        std::free(real);
    } else {
        target = danglingTarget(path);
    }

    writeBesideAndRename(target, exists ? &old : nullptr, parts, sync);
}

void replaceOwnFile(const std::string &path, std::string_view bytes)
{
    if (path.empty())
        throw IoError(ioerr::InvalidFilename);
    struct stat old { };
    const bool exists = ::lstat(path.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        fail(errno);
    if (exists && (!S_ISREG(old.st_mode) || old.st_nlink != 1))
        throw notRegularFile(path);
    writeBesideAndRename(
        path, exists ? &old : nullptr, [bytes](ByteSink &sink) { sink.write(bytes); }, FileSync::LeaveToSystem);
}

std::string cacheFilePath(const std::string &name)
{
    const char *cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/')
        return std::string(cache) + "/dotforge/" + name;
    const char *home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.cache/dotforge/" + name;
    return {};
}

std::optional<std::string> readCacheFile(const std::string &path, std::int64_t maxBytes)
{
    std::string text;
    try {
        const int fd = openOwnFile(path, false);
        struct Closer {
            int fd;
            ~Closer() { ::close(fd); }
        } closer{fd};
        std::vector<char> buffer(1 << 16);
        while (const std::size_t got = readSome(fd, buffer.data(), buffer.size())) {
            text.append(buffer.data(), got);
            if (std::int64_t(text.size()) > maxBytes)
                return std::string();
        }
    } catch (const IoError &e) {
        if (e.code() == ioerr::FileNotFound)
            return std::string();
        return std::nullopt;
    }
    return text;
}

void writeCacheFile(const std::string &path, std::string_view bytes)
{
    try {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        replaceOwnFile(path, bytes);
    } catch (const IoError &) {
    }
}

} // namespace dotforge
