#pragma once
// Messages on standard error, each after the program's name.

#include <string>

namespace dotforge::cli {

// "dotforge-cli: warning: TEXT"
void warn(const std::string &text);
// "dotforge-cli: TEXT"
void error(const std::string &text);

} // namespace dotforge::cli
