#pragma once
// What a library file holds once read: converted sequences and their codes, in
// library order, as the .ZMB and .ASM readers deliver them.

#include "formats/layout.h"

#include <string>
#include <vector>

namespace dotforge {

struct LibraryContent {
    std::vector<Sequence> glyphs; // each n * n / 8 bytes, in the file's byte layout
    std::vector<std::string> codes; // one per glyph; GBK bytes, at most two
    bool cutShort = false; // the file holds more glyphs than the reader took
};

} // namespace dotforge
