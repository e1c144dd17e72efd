#pragma once
// The byte layout modes of the library files and the default effects, as the
// menus and the batch tool name them.

namespace dotforge {

// Byte layout modes: A and B run by 8-dot bands, C and D by rows; B and D put
// the leftmost dot of each byte in bit 0.
enum class Mode { A, B, C, D };
// Default effects, in menu order; applied rotation first, then flip, then swap.
enum class Rotation { R0, R90, R180, R270 };
enum class Flip { None, Horizontal, Vertical };
enum class Swap { None, LeftRight, UpDown };

} // namespace dotforge
