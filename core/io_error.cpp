#include "core/io_error.h"

#include <cerrno>
#include <cstring>

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
    case ioerr::FileNotFound:
        return "File not found";
    case ioerr::InvalidFilename:
        return "Invalid filename";
    case ioerr::TooManyOpenFiles:
        return "Too many open files";
    case ioerr::AccessDenied:
        return "File access denied";
    case ioerr::ReadBeyondEnd:
        return "Read beyond end of file";
    case ioerr::DiskFull:
        return "Disk full";
    case ioerr::InvalidNumericInput:
        return "Invalid numeric input";
    case ioerr::PipeWithoutReader:
        return "No process reads the pipe";
    default:
        break;
    }
    // The C library's own text, untranslated whatever the locale.
    if (code > ioerr::SystemError) {
        if (const char *text = ::strerrordesc_np(code - ioerr::SystemError))
            return text;
    }
    return "I/O error " + std::to_string(code);
}

int IoError::fromErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return ioerr::FileNotFound;
    case ENAMETOOLONG:
    case EINVAL:
        return ioerr::InvalidFilename;
    case EMFILE:
    case ENFILE:
        return ioerr::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EWOULDBLOCK:
        return ioerr::AccessDenied;
    case ENOSPC:
    case EDQUOT:
        return ioerr::DiskFull;
    // The rest would read as run-time numbers of other conditions (EIO is 5,
    // "File access denied"; ENETUNREACH is 101, "Disk full"): each keeps its own text.
    default:
        return err > 0 ? ioerr::SystemError + err : ioerr::SystemError;
    }
}

IoError notRegularFile(const std::string &path)
{
    return IoError(
        ioerr::NotRegularFile, "\"" + path + "\"不是普通文件(可能是链接、文件夹、设备或管道),Dotforge不读写它");
}

std::string errorBoxText(const std::string &text)
{
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        return text + ".";
    return text;
}

} // namespace dotforge
