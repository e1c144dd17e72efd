#pragma once
// The one error type of file operations. It carries the run-time number and
// text the default error handler shows ("File not found", "I/O error 131" ...).

#include <stdexcept>
#include <string>

namespace dotforge {

namespace ioerr {
constexpr int FileNotFound = 2;
constexpr int InvalidFilename = 3;
constexpr int TooManyOpenFiles = 4;
constexpr int AccessDenied = 5;
constexpr int ReadBeyondEnd = 100;
constexpr int DiskFull = 101;
constexpr int NotOpen = 103;
constexpr int InvalidNumericInput = 106;
constexpr int SeekBeforeStart = 131;
// Our own numbers, past the run-time table: a link, device, pipe or socket where
// a file of the program's own belongs;
constexpr int NotRegularFile = 1000;
// a pipe given as output that no process reads, which a write would wait on for ever;
constexpr int PipeWithoutReader = 1001;
// a failure of the system that has no text in the run-time table (an I/O error
// of the device, a file too large, a link loop ...): SystemError + errno, with
// the system's own English text ("Input/output error"), never a run-time number
// that means something else.
constexpr int SystemError = 2000;
} // namespace ioerr

class IoError : public std::runtime_error {
public:
    explicit IoError(int code);
    // An error with its own text (the print dialog's "'x' is not a valid
    // integer value"); code 0.
    IoError(int code, const std::string &text);

    int code() const { return m_code; }

    // The text of an error number: the table of the run-time library.
    static std::string textFor(int code);
    // Maps an errno value of a failed open, read or write to an error number:
    // the run-time number where the table has the condition, else SystemError + errno.
    static int fromErrno(int err);

private:
    int m_code;
};

// The error for a path that names no regular file (or, for the program's own
// working files, a link): the text names the file, in the window's language.
IoError notRegularFile(const std::string &path);

// What the default error handler shows: the text with a full stop appended
// unless its last character already is one or sorts before it.
std::string errorBoxText(const std::string &text);

} // namespace dotforge
