#pragma once
// How the batch tool names itself.

namespace dotforge::cli {

// The program, as messages and usage lines begin.
constexpr const char *kProgram = "dotforge-cli";
// The tool and its version, as --version prints them and C output records them.
constexpr const char *kToolName = "dotforge-cli (Dotforge) 3.0";

} // namespace dotforge::cli
