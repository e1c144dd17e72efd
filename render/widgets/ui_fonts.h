#pragma once
// Qt fonts of the window's own texts (the editor's dots, the font dialog's
// sample) in the faces the program names. Glyphs themselves are drawn by the
// FreeType rasteriser.

#include <string>

class QFont;

namespace dotforge {

// Makes Qt draw the installed stand-ins of faces that are not installed here
// ("宋体" and "SimSun"). Call once after the application object exists.
void installFontSubstitutions();

// The face at a point size as the program draws it: pixel height = points x
// 96 / 72 rounded, regular style, antialiasing off, full hinting.
QFont glyphFont(const std::string &face, int pointSize);

} // namespace dotforge
