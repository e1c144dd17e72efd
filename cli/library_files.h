#pragma once
// Library files as the batch tool reads and writes them: the format of a file
// from its name or an option, and the readers of formats/ over a real file.

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

// Reads every glyph of a .ZMB or .ASM file at dot size n. Raises IoError when
// the file cannot be read, InputError (naming the file) when it cannot be of
// that format at that dot size (checkZmb, readAsm): nothing is read then.
LibraryContent readLibraryFile(const std::string &path, FileFormat format, int n);

// The bytes of a library file of any format; `name` is the C identifier prefix,
// `buildNote` what the opening comment of C output says about the build; for a
// BDF, `name` is the family name, and the BDF holds the glyphs decoded under `mode`.
std::string libraryFileBytes(const LibraryContent &content, FileFormat format, int n, Mode mode,
    const std::string &name, const std::vector<std::string> &buildNote = {});

// The text of a file error in the tool's language: the run-time text, or
// "not a regular file" for a device, pipe or socket.
std::string ioErrorText(const IoError &error);

// Why `path` could not be written, for a message: a missing folder is named as
// such, where the run-time text would say "File not found".
std::string writeFailure(const std::string &path, const IoError &error);

} // namespace dotforge::cli
