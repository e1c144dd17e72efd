// `dotforge-cli convert`: a library file re-laid for another mode and default
// effects, or written as C source or a BDF font.

#include "cli/command.h"

#include "cli/errors.h"
#include "cli/exit_status.h"
#include "cli/glyph_text.h"
#include "cli/library_files.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/tool_name.h"
#include "core/gbk.h"
#include "core/io_error.h"
#include "formats/file_io.h"

#include <algorithm>
#include <iostream>
#include <optional>

namespace dotforge::cli {

namespace {

const std::vector<OptionSpec> kConvertOptions{
    sizeSpec(),
    modeSpec("from"),
    modeSpec("to"),
    profileSpec(),
    rotateSpec(),
    flipSpec(),
    swapSpec(),
    formatSpec("format", false),
    formatSpec("to-format", true),
    {"name"},
    namingSetSpec(),
    variantSpec(),
    gridSpec(),
    {"header", false},
    {"help", false, 'h'},
};

const char *const kConvertHelp = R"(Usage: dotforge-cli convert --size N --from MODE --to MODE|--profile NAME
                           [OPTION]... IN OUT
   or:  dotforge-cli convert --size N --from MODE IN OUT.bdf
Re-lay a .ZMB or .ASM font library for another byte layout mode, optionally
applying a default rotation, flip and swap to every glyph, or write it as a
BDF bitmap font. Every glyph of IN is read, however many it holds; a code
with a control byte (00 to 1F, 7F) is refused, as build --codes refuses it.

      --size 16|24|32          dot size of the library (required)
      --from A|B|C|D           byte layout mode IN was written in (required)
      --to A|B|C|D             byte layout mode of OUT (required without
                                 --profile; for a grid, default --from)
      --profile NAME           the controller layout of OUT: its mode and
                                 effects (names below)
      --rotate 0|90|180|270    rotate each glyph by degrees counter-clockwise
                                 (default 0)
      --flip none|h|v          flip each glyph: h mirrors left to right, v top to
                                 bottom (default none)
      --swap none|lr|ud        swap the 8-dot bands: lr of the columns, ud of
                                 the rows (default none)
      --format zmb|asm         format of IN (default from its extension)
      --to-format zmb|asm|c|bdf|lvgl|lvgl-bin|grid
                               format of OUT (default from its extension:
                                 .ZMB, .ASM, .c, .h for the C declarations,
                                 .bdf); lvgl: an LVGL 9 font as C source,
                                 lvgl-bin: LVGL's binary font, each glyph at
                                 the code point of its code as --set names it;
                                 grid: a flash image of the set's whole
                                 grid, every glyph at the slot its code
                                 computes, its C header written beside OUT as
                                 .h (the set from --set, or --variant)
      --grid full|rom          the grid: full (94 x 94 from A1A1, default) or
                                 rom (GB2312 without rows 10 to 15); GBK has
                                 its own 126 x 190 grid
      --header                 put a 32-byte header before the grid (magic,
                                 sizes, CRC-32 of the data)
      --name NAME              prefix of the C names (default: OUT's stem)
)" DOTFORGE_NAMING_HELP R"(                               (C comments and BDF encodings name them so)
  -h, --help                   display this help and exit

OUT is replaced only when it has been written completely.
)";

// What a conversion reads and writes.
struct Conversion {
    int n = 16;
    CodeNaming naming; // how the codes name their characters
    Mode from = Mode::A;
    Layout layout; // of OUT
    std::string in;
    std::string out;
    FileFormat inFormat = FileFormat::Zmb;
    FileFormat outFormat = FileFormat::Zmb;
    std::string name; // C identifier prefix, or the BDF family name
    GridSpec grid; // of a grid image
};

Conversion conversion(const Arguments &a)
{
    Conversion c;
    c.n = dotSizeOption(a, std::nullopt);
    c.from = modeOption(a, "from");
    const auto &files = a.positionals(2, "give the input and the output file");
    c.in = files[0];
    c.out = files[1];
    c.inFormat = chooseFormat(a.value("format"), c.in, "format", false);
    c.outFormat = chooseFormat(a.value("to-format"), c.out, "to-format", true);
    // A BDF or LVGL font holds the glyphs upright as decoded from IN: no
    // layout, no effects.
    const bool upright = holdsUprightGlyphs(c.outFormat);
    if (upright) {
        for (const char *option : {"to", "profile", "rotate", "flip", "swap"})
            if (a.has(option))
                throw UsageError(std::string("--") + option + " does not apply to "
                    + (c.outFormat == FileFormat::Bdf ? "BDF" : "LVGL")
                    + " output: it holds the glyphs upright, as decoded with --from");
    }
    // A grid keeps IN's bytes unless told otherwise.
    c.layout = upright ? Layout{c.from, {}}
                       : layoutOption(a, "to", c.outFormat == FileFormat::Grid ? std::optional(c.from) : std::nullopt);
    c.naming = namingOption(a);
    c.grid = gridOption(a, c.outFormat, c.out, "to-format", c.naming.set, c.n, c.layout.mode, false);
    c.name = libraryName(a.has("name") ? std::optional(a.value("name")) : std::nullopt, c.out, c.outFormat);
    return c;
}

// The codes go into the output as they are; one that holds a control byte is
// refused as build refuses it (said on stderr). Zero bytes at the end of a
// code are how a .ZMB file pads a short or missing code.
bool codesUsable(const LibraryFile &file, const std::string &in)
{
    for (std::size_t g = 0; g < file.count(); ++g) {
        std::string code = file.code(g);
        while (!code.empty() && code.back() == '\0')
            code.pop_back();
        if (hasControlByte(code)) {
            error("cannot convert " + in + ": glyph " + std::to_string(g) + " (counted from 0) has the code "
                + codeHex(file.code(g)) + ", and control bytes (00 to 1F, 7F) are no characters");
            return false;
        }
    }
    return true;
}

// Each returns the exit status; bad arguments raise UsageError.
int runConvert(const Arguments &a)
{
    const Conversion c = conversion(a);
    const std::string reading = "cannot read " + c.in;
    std::string doing = reading;
    bool writing = false;
    try {
        const LibraryFile file(c.in, c.inFormat, c.n);
        if (file.count() == 0)
            warn(c.in + " holds no glyph at " + std::to_string(c.n) + " dots");
        if (!codesUsable(file, c.in))
            return kExitIo;
        LibrarySource library;
        library.count = file.count();
        library.code = [&file](std::size_t g) { return file.code(g); };
        library.glyphs = [&](std::size_t first, std::size_t last) {
            doing = reading;
            writing = false;
            LibraryContent run = file.glyphs(first, last);
            for (Sequence &glyph : run.glyphs)
                glyph = toFileOrder(fromFileOrder(glyph, c.n, c.from), c.n, c.layout.mode, c.layout.effects);
            doing = "cannot write " + c.out;
            writing = true;
            return run;
        };
        doing = "cannot write " + c.out;
        writing = true;
        replaceFileBy(
            c.out,
            [&](ByteSink &sink) {
                writeLibraryFile(sink, library, c.outFormat, c.n, c.layout.mode, c.name, {}, c.naming, c.grid);
            },
            FileSync::LeaveToSystem);
        if (c.outFormat == FileFormat::Grid) {
            doing = "cannot write " + gridHeaderPath(c.out);
            replaceFile(gridHeaderPath(c.out), gridHeader(c.grid, c.name, kToolName), FileSync::LeaveToSystem);
        }
        return kExitOk;
    } catch (const IoError &e) {
        error(doing + ": " + (writing ? writeFailure(c.out, e) : ioErrorText(e)));
    }
    return kExitIo;
}

} // namespace

const Command kConvertCommand{"convert", "re-lay a .ZMB or .ASM library for another byte layout mode", kConvertOptions,
    kConvertHelp, true, runConvert, {kLibraryFiles, kLibraryOutputs}};

} // namespace dotforge::cli
