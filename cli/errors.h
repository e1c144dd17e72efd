#pragma once
// The two failures a command raises besides a file error (IoError): bad
// arguments and an input that can be read but not used.

#include <stdexcept>

namespace dotforge::cli {

// Bad arguments: the message goes to stderr and the program exits with kExitUsage.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An input that can be read but not used; exit status kExitIo.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace dotforge::cli
