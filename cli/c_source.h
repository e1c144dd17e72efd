#pragma once
// A library as C99 source for firmware projects: NAME_glyphs (the converted
// sequences in order, byte for byte as in the .ZMB file), NAME_codes (two GBK
// bytes per glyph) and NAME_count, and the header that declares them.

#include "formats/library_content.h"

#include <cstddef>
#include <string>

namespace dotforge::cli {

// A C identifier made from a file's stem: every run of other characters becomes
// one "_", leading and trailing ones are dropped, a leading digit gets "font_"
// before it; "font" when nothing is left.
std::string cIdentifier(const std::string &stem);
bool isCIdentifier(const std::string &name);

std::string cSource(const LibraryContent &content, int n, Mode mode, const std::string &name);
std::string cHeader(std::size_t count, int n, Mode mode, const std::string &name);

} // namespace dotforge::cli
