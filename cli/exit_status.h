#pragma once
// The batch tool's exit statuses, as every command returns them.

namespace dotforge::cli {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1; // bad arguments
constexpr int kExitIo = 2; // an input or output file failed

} // namespace dotforge::cli
