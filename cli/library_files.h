#pragma once
// Library files as the batch tool reads and writes them: the format of a file
// from its name or an option, and the readers of formats/ over a real file.

#include "cli/arguments.h"
#include "core/charsets.h"
#include "core/io_error.h"
#include "formats/file_io.h"
#include "formats/grid.h"
#include "formats/library_content.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dotforge::cli {

enum class FileFormat { Zmb, Asm, CSource, CHeader, Bdf, Lvgl, LvglBin, Grid };

// Formats that hold the glyphs upright, as the store holds them: no byte
// layout mode, no default effects.
constexpr bool holdsUprightGlyphs(FileFormat format)
{
    return format == FileFormat::Bdf || format == FileFormat::Lvgl || format == FileFormat::LvglBin;
}

// By extension, case ignored: .ZMB, .ASM, .c, .h, .bdf. Nothing for any other name.
std::optional<FileFormat> formatOfName(const std::string &path);
// The format named by an option value ("zmb", "asm", "c", "bdf", "lvgl",
// "lvgl-bin", "grid"; "" when not given) or else by the file's extension. "c"
// gives a header for a name ending in ".h". Raises UsageError when neither
// tells, or when `output` is false and a format that is only written (C, BDF,
// LVGL, grid) is asked.
FileFormat chooseFormat(
    const std::string &optionValue, const std::string &path, const std::string &optionName, bool output);
// The command table's entry of such a format option (--format, --to-format),
// with the words it takes, for the shell to offer.
OptionSpec formatSpec(const std::string &optionName, bool output);

// The C identifier prefix or BDF family name of an output file: `given` (the
// value of --name, for C output only, a C identifier) or else made from the
// file's stem. Raises UsageError for a --name that cannot be used.
std::string libraryName(const std::optional<std::string> &given, const std::string &path, FileFormat format);

// Glyphs are read and written in runs of this many, so that a library of any
// size is never held whole.
constexpr std::size_t kGlyphRun = 2048;

// A .ZMB or .ASM file at dot size n, its glyphs taken a run at a time. Opening
// it reads every code (three bytes a glyph are kept); an .ASM file is read
// through once, and its glyphs are kept in their n x n / 8 bytes. Raises IoError
// when the file cannot be read, InputError (naming the file) when it cannot be
// of that format at that dot size (checkZmb, readAsm): nothing is read then.
class LibraryFile {
public:
    LibraryFile(const std::string &path, FileFormat format, int n);
    ~LibraryFile();
    LibraryFile(const LibraryFile &) = delete;
    LibraryFile &operator=(const LibraryFile &) = delete;

    std::size_t count() const { return m_count; }
    std::string code(std::size_t g) const;
    // Glyphs [from, to) with their codes.
    LibraryContent glyphs(std::size_t from, std::size_t to) const;

private:
    void addCode(std::string_view code);
    void readAsmGlyphs(InputFile &file);
    void readZmbCodes(InputFile &file);

    int m_n;
    std::size_t m_count = 0;
    std::string m_codes; // a length byte and two code bytes per glyph
    std::unique_ptr<InputFile> m_file; // a .ZMB file, read when its glyphs are asked
    std::vector<std::string> m_glyphBlocks; // the glyphs of an .ASM file, a run in each
};

// Reads every glyph of a .ZMB or .ASM file at dot size n, as LibraryFile
// does, and raises what it raises.
LibraryContent readLibraryFile(const std::string &path, FileFormat format, int n);

// A library as the writers below take it: `count` glyphs, the code of each,
// and glyphs [from, to) with their codes in the byte layout of the output.
struct LibrarySource {
    std::size_t count = 0;
    std::function<std::string(std::size_t g)> code;
    std::function<LibraryContent(std::size_t from, std::size_t to)> glyphs;
    HalfGlyphs half; // the half-width glyphs (--latin), for C, BDF, LVGL and grid output
};

// For a grid image written to `output`: the grid of --grid full|rom (default
// full) and --header for a set, dot size and mode, with or without the Latin
// block; UsageError for a set or form without a grid, or an image named like
// its header. For any other format (chosen by --`formatOption`): UsageError
// when --grid or --header is given.
GridSpec gridOption(const Arguments &arguments, FileFormat format, const std::string &output,
    const std::string &formatOption, CharSet set, int n, Mode mode, bool latin);
// Its entry of --grid in the command table, with the forms for the shell.
OptionSpec gridSpec();
// The C header that goes with a grid image: the image's name with ".h" in
// place of its extension.
std::string gridHeaderPath(const std::string &imagePath);

// Writes a library file of any format to `sink`, a run of glyphs at a time;
// `name` is the C identifier prefix, `buildNote` what the opening comment of C
// output says about the build; for a BDF, `name` is the family name, and the
// BDF holds the glyphs decoded under `mode`.
// The characters named in C comments and BDF encodings are the codes' as
// `naming` reads them. A grid image (`grid` its form, set and header; its C
// header comes from gridHeader) takes each code at its slot in the set's own
// numbering; a code outside the grid is an InputError, nothing written. An
// LVGL font (C source or binary) holds each glyph at its code point, in
// ascending order; a glyph whose code point an earlier one has is left out
// with a warning.
void writeLibraryFile(ByteSink &sink, const LibrarySource &library, FileFormat format, int n, Mode mode,
    const std::string &name, const std::vector<std::string> &buildNote = {}, const CodeNaming &naming = {},
    const GridSpec &grid = {});
// The bytes of a library file of any format, as writeLibraryFile writes them.
std::string libraryFileBytes(const LibraryContent &content, FileFormat format, int n, Mode mode,
    const std::string &name, const std::vector<std::string> &buildNote = {}, const CodeNaming &naming = {},
    const GridSpec &grid = {});

// The text of a file error in the tool's language: the run-time text, or
// "not a regular file" for a device, pipe or socket.
std::string ioErrorText(const IoError &error);

// Why `path` could not be written, for a message: a missing folder is named as
// such, where the run-time text would say "File not found".
std::string writeFailure(const std::string &path, const IoError &error);

} // namespace dotforge::cli
