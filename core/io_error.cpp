#include "core/io_error.h"

#include <cerrno>

namespace dotforge {

IoError::IoError(int code)
    : std::runtime_error(textFor(code))
    , m_code(code)
{
}

IoError::IoError(int code, const std::string &text)
    : std::runtime_error(text)
    , m_code(code)
{
}

std::string IoError::textFor(int code)
{
    switch (code) {
    case ioerr::FileNotFound: return "File not found";
    case ioerr::InvalidFilename: return "Invalid filename";
    case ioerr::TooManyOpenFiles: return "Too many open files";
    case ioerr::AccessDenied: return "File access denied";
    case ioerr::ReadBeyondEnd: return "Read beyond end of file";
    case ioerr::DiskFull: return "Disk full";
    case ioerr::InvalidNumericInput: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
    }
}

int IoError::fromErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR: return ioerr::FileNotFound;
    case ENAMETOOLONG:
    case EINVAL:
    case EISDIR: return ioerr::InvalidFilename;
    case EMFILE:
    case ENFILE: return ioerr::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EWOULDBLOCK: return ioerr::AccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return ioerr::DiskFull;
    default: return err;
    }
}

IoError notRegularFile(const std::string &path)
{
    return IoError(ioerr::NotRegularFile, "\"" + path + "\"不是普通文件(可能是链接、文件夹、设备或管道),Dotforge不读写它");
}

std::string errorBoxText(const std::string &text)
{
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        return text + ".";
    return text;
}

} // namespace dotforge
