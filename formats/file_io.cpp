#include "formats/file_io.h"

#include "core/io_error.h"
#include "core/record_file.h"

#include <cerrno>
#include <charconv>
#include <optional>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dotforge {

namespace {

[[noreturn]] void fail(int err)
{
    throw IoError(IoError::fromErrno(err));
}

// Bytes given to the sink reach the descriptor in writes of at least kBuffer
// bytes (but the last), so that small parts cost no system call each.
class DescriptorSink : public ByteSink {
public:
    static constexpr std::size_t kBuffer = 1 << 20;
    explicit DescriptorSink(int fd)
        : m_fd(fd)
    {
    }
    void write(std::string_view bytes) override
    {
        if (m_buffer.size() + bytes.size() < kBuffer) {
            m_buffer.append(bytes);
            return;
        }
        flush();
        if (bytes.size() >= kBuffer)
            writeExactly(m_fd, bytes.data(), bytes.size());
        else
            m_buffer.assign(bytes);
    }
    void flush()
    {
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

void writeInPlace(const std::string &path, const FileProducer &parts)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        fail(errno);
    try {
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

// The temporaries of a target are named TARGET.~PID-N, PID the writing process.
std::string temporaryPrefix(const std::string &name)
{
    return name + ".~";
}

// True when no process has the id any more (a process of another user counts
// as present).
bool processGone(long pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

// The process id of a name written as PREFIX + PID + "-" + REST, and REST;
// nothing when the name is not of that form.
std::optional<long> ownerOfName(std::string_view name, std::string_view prefix, std::string_view *rest)
{
    if (!name.starts_with(prefix))
        return std::nullopt;
    name.remove_prefix(prefix.size());
    long pid = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (ec != std::errc() || end == name.data() || pid <= 0 || end == name.data() + name.size() || *end != '-')
        return std::nullopt;
    if (rest)
        *rest = name.substr(std::size_t(end - name.data()) + 1);
    return pid;
}

// Removes what a save to `target` killed on the way left beside it: our own
// regular files TARGET.~PID-N whose process is gone.
void removeStaleTemporaries(const std::string &target)
{
    const std::string folder = folderOf(target);
    const std::string prefix = temporaryPrefix(baseNameOf(target));
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        std::string_view attempt;
        const auto owner = ownerOfName(name, prefix, &attempt);
        struct stat st { };
        const std::string path = folder + "/" + std::string(name);
        if (!owner || attempt.empty() || attempt.find_first_not_of("0123456789") != std::string_view::npos
            || ::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()
            || !processGone(*owner))
            continue;
        ::unlink(path.c_str());
    }
    ::closedir(dir);
}

// A new file beside `target`, created exclusively so that nothing else is
// overwritten; the umask applies to its mode as to any new file.
int createBeside(const std::string &target, std::string &name)
{
    removeStaleTemporaries(target);
    for (int attempt = 0;; ++attempt) {
        name = temporaryPrefix(target) + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST || attempt >= 100)
            fail(errno);
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
    return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_size), ns(st.st_mtim),
        ns(st.st_ctim)};
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
    std::string target = path;
    struct stat old { };
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        fail(errno);
    if (exists) {
        if (S_ISDIR(old.st_mode))
            throw IoError(ioerr::AccessDenied);
        if (!S_ISREG(old.st_mode)) {
            writeInPlace(path, parts);
            return;
        }
        struct stat link { };
        if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            if (char *real = ::realpath(path.c_str(), nullptr)) {
                target = real;
                std::free(real);
            }
        }
    }

    std::string temporary;
    int fd = createBeside(target, temporary);
    try {
        if (exists) {
            // The new file takes the place of the old one: same owner (where we
            // may set it) and the same permissions.
            [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
            if (::fchmod(fd, old.st_mode & 07777) != 0)
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
        throw;
    }
    if (sync == FileSync::LeaveToSystem)
        return;
    // Make the rename itself durable; a folder that cannot be synced is no failure
    // of the save, whose data is on disk already.
    const int dir = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace dotforge
