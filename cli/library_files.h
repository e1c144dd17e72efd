#pragma once
// Library files as the batch tool reads and writes them: the format of a file
// from its name or an option, the readers of formats/ over a real file, and the
// text forms of glyphs (dump and C comments).

#include "core/io_error.h"
#include "formats/library_content.h"

#include <optional>
#include <string>
#include <vector>

namespace dotforge::cli {

enum class FileFormat { Zmb, Asm, CSource, CHeader, Bdf };

// By extension, case ignored: .ZMB, .ASM, .c, .h, .bdf. Nothing for any other name.
std::optional<FileFormat> formatOfName(const std::string &path);
// The format named by an option value ("zmb", "asm", "c", "bdf"; "" when not
// given) or else by the file's extension. "c" gives a header for a name ending
// in ".h". Raises UsageError when neither tells, or when `output` is false and a
// format that is only written (C, BDF) is asked.
FileFormat chooseFormat(
    const std::string &optionValue, const std::string &path, const std::string &optionName, bool output);

char modeLetter(Mode mode);

// Reads at most 200 glyphs of a .ZMB or .ASM file at dot size n, warning on stderr
// when the file holds more, or when its size does not fit the dot size. Raises
// IoError when the file cannot be read.
LibraryContent readLibraryFile(const std::string &path, FileFormat format, int n);

// The bytes of a library file of any format; `name` is the C identifier prefix,
// or the BDF family name. A BDF holds the glyphs decoded under `mode`.
std::string libraryFileBytes(
    const LibraryContent &content, FileFormat format, int n, Mode mode, const std::string &name);

// Why `path` could not be written, for a message: a missing folder is named as
// such, where the run-time text would say "File not found".
std::string writeFailure(const std::string &path, const IoError &error);

// A code as hexadecimal digits, two per byte ("B0A1").
std::string codeHex(const std::string &code);
// The character of a code as UTF-8 when the code is exactly one GBK character
// (or two plain letters or digits); empty for anything that is no such text.
std::string shownCharacter(const std::string &code);
// The code and its character when there is one: "B0A1 啊", "2A2F".
std::string codeLabel(const std::string &code);
// The dots of a converted sequence decoded under a mode: n rows of '#' (ink) and '.'.
std::vector<std::string> glyphRows(const Sequence &sequence, int n, Mode mode);

// What `dump` prints: each glyph under a line with its code and character, the
// glyphs separated by an empty line.
std::string dumpText(const LibraryContent &content, int n, Mode mode);

} // namespace dotforge::cli
