#include "cli/messages.h"

#include "cli/tool_name.h"

#include <iostream>

namespace dotforge::cli {

void warn(const std::string &text)
{
    std::cerr << kProgram << ": warning: " << text << '\n';
}

void error(const std::string &text)
{
    std::cerr << kProgram << ": " << text << '\n';
}

} // namespace dotforge::cli
