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
[[noreturn]] void fail(int err) { throw IoError(IoError::fromErrno(err)); }
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
    // Open without truncating: the lock decides whether the content may go.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(errno);
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

void RecordFile::reset(const std::string &path, bool readOnly)
{
    close();
    if (path.empty())
        throw IoError(ioerr::InvalidFilename);
    const int fd = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd < 0)
        fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw IoError(ioerr::AccessDenied);
    }
    m_fd = fd;
    m_pos = 0;
    m_path = path;
    m_unavailable.clear();
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

void RecordFile::write(const void *record)
{
    requireOpen();
    const auto *p = static_cast<const char *>(record);
    std::size_t done = 0;
    const off_t offset = off_t(m_pos) * m_recordSize;
    while (done < std::size_t(m_recordSize)) {
        const ssize_t put = ::pwrite(m_fd, p + done, std::size_t(m_recordSize) - done, offset + off_t(done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        if (put == 0)
            fail(ENOSPC);
        done += std::size_t(put);
    }
    ++m_pos;
}

std::int64_t RecordFile::size() const
{
    requireOpen();
    struct stat st {};
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
