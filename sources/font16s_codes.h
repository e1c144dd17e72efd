#pragma once
// The characters a "Font16s" variant holds.

#include <string>
#include <string_view>
#include <vector>

namespace dotforge {

// The codes of the positions of variant `variant` of a "Font16s" file whose
// record holds any dot: position k of the variant has the code the code table
// shows for it, (0xA1 + k / 94, 0xA1 + k % 94). `font` is the whole file.
std::vector<std::string> font16sCodes(std::string_view font, int variant);

} // namespace dotforge
