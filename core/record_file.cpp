#include "core/record_file.h"

#include "core/io_error.h"

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dotforge {

namespace {
[[noreturn]] void fail(int err)
{
    throw IoError(IoError::fromErrno(err));
}
} // namespace

RecordFile::RecordFile(int recordSize)
    : m_recordSize(recordSize)
{
}

RecordFile::~RecordFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void RecordFile::rewrite(const std::string &path)
{
    close();
    if (path.empty())
        throw IoError(ioerr::InvalidFilename);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(errno);
    m_fd = fd;
    m_pos = 0;
    m_path = path;
    m_unavailable.clear();
}

void RecordFile::rewriteExclusive(const std::string &path, const std::string &inUseText)
{
    if (m_fd >= 0 && path == m_path) {
        if (::ftruncate(m_fd, 0) != 0)
            fail(errno);
        m_pos = 0;
        return;
    }
    close();
    if (path.empty())
        throw IoError(ioerr::InvalidFilename);
    // Opened without truncating: the lock decides whether the content may go.
    const int fd = openOwnFile(path, true);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK && !inUseText.empty()) {
            m_unavailable = inUseText;
            throw IoError(ioerr::AccessDenied, inUseText);
        }
        fail(err == EWOULDBLOCK ? EACCES : err);
    }
    if (::ftruncate(fd, 0) != 0) {
        const int err = errno;
        ::close(fd);
        fail(err);
    }
    m_fd = fd;
    m_pos = 0;
    m_path = path;
    m_unavailable.clear();
}

void RecordFile::createNew(const std::string &path)
{
    close();
    if (path.empty())
        throw IoError(ioerr::InvalidFilename);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        if (errno == EISDIR || errno == EPERM)
            throw notRegularFile(path);
        fail(errno);
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(errno);
    m_fd = fd;
    m_pos = 0;
    m_path = path;
    m_unavailable.clear();
}

int openOwnFile(const std::string &path, bool create)
{
    if (path.empty())
        throw IoError(ioerr::InvalidFilename);
    const int fd
        = ::open(path.c_str(), (create ? O_RDWR | O_CREAT : O_RDONLY) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == ELOOP || errno == EISDIR || errno == ENXIO)
            throw notRegularFile(path);
        fail(errno);
    }
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
        ::close(fd);
        throw notRegularFile(path);
    }
    // Reads and writes of a regular file block as usual again.
    if (::fcntl(fd, F_SETFL, 0) != 0) {
        const int err = errno;
        ::close(fd);
        fail(err);
    }
    return fd;
}

int openRegularFile(const std::string &path, bool readOnly)
{
    if (path.empty())
        throw IoError(ioerr::InvalidFilename);
    const int fd = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENXIO)
            throw notRegularFile(path);
        fail(errno);
    }
    struct stat st { };
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        fail(err);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        if (S_ISDIR(st.st_mode))
            throw IoError(ioerr::AccessDenied);
        throw notRegularFile(path);
    }
    // Reads of a regular file block as usual again.
    ::fcntl(fd, F_SETFL, 0);
    return fd;
}

std::size_t readSome(int fd, char *buffer, std::size_t max)
{
    for (;;) {
        const ssize_t got = ::read(fd, buffer, max);
        if (got >= 0)
            return std::size_t(got);
        if (errno != EINTR)
            fail(errno);
    }
}

void RecordFile::reset(const std::string &path, bool readOnly)
{
    close();
    m_fd = openRegularFile(path, readOnly);
    m_pos = 0;
    m_path = path;
}

void RecordFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_pos = 0;
}

void RecordFile::closeAndErase()
{
    if (m_fd < 0)
        return;
    struct stat held { };
    struct stat named { };
    if (::fstat(m_fd, &held) == 0 && ::lstat(m_path.c_str(), &named) == 0 && held.st_dev == named.st_dev
        && held.st_ino == named.st_ino)
        ::unlink(m_path.c_str());
    close();
}

void RecordFile::requireOpen() const
{
    if (m_fd < 0)
        throw m_unavailable.empty() ? IoError(ioerr::NotOpen) : IoError(ioerr::NotOpen, m_unavailable);
}

void RecordFile::seek(std::int64_t record)
{
    requireOpen();
    if (record < 0)
        throw IoError(ioerr::SeekBeforeStart);
    // A position whose byte offset would not fit is past any file's end.
    if (record > std::numeric_limits<std::int64_t>::max() / m_recordSize / 2)
        throw IoError(ioerr::ReadBeyondEnd);
    m_pos = record;
}

void readExactly(int fd, char *buffer, std::size_t length, std::int64_t offset)
{
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd, buffer + done, length - done, off_t(offset) + off_t(done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        if (got == 0)
            throw IoError(ioerr::ReadBeyondEnd);
        done += std::size_t(got);
    }
}

void RecordFile::read(void *record)
{
    requireOpen();
    readExactly(m_fd, static_cast<char *>(record), std::size_t(m_recordSize), m_pos * m_recordSize);
    ++m_pos;
}

void writeExactly(int fd, const char *buffer, std::size_t length, std::int64_t offset)
{
    std::size_t done = 0;
    while (done < length) {
        const ssize_t put = offset < 0 ? ::write(fd, buffer + done, length - done)
                                       : ::pwrite(fd, buffer + done, length - done, off_t(offset) + off_t(done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        // Nothing written and no error: the device has no room.
        if (put == 0)
            fail(ENOSPC);
        done += std::size_t(put);
    }
}

void RecordFile::write(const void *record)
{
    requireOpen();
    writeExactly(m_fd, static_cast<const char *>(record), std::size_t(m_recordSize), m_pos * m_recordSize);
    ++m_pos;
}

std::int64_t RecordFile::size() const
{
    requireOpen();
    struct stat st { };
    if (::fstat(m_fd, &st) != 0)
        fail(errno);
    return std::int64_t(st.st_size) / m_recordSize;
}

void RecordFile::truncate(std::int64_t records)
{
    requireOpen();
    if (records < 0)
        throw IoError(ioerr::SeekBeforeStart);
    if (::ftruncate(m_fd, off_t(records) * m_recordSize) != 0)
        fail(errno);
}

} // namespace dotforge
