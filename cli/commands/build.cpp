// `dotforge-cli build`: its options and help, read into the job the engine
// runs (cli/batch_build.h).

#include "cli/command.h"

#include "cli/batch_build.h"
#include "cli/errors.h"
#include "cli/glyph_options.h"
#include "cli/library_files.h"
#include "cli/options.h"

#include <optional>
#include <string>
#include <vector>

namespace dotforge::cli {

namespace {

const std::vector<std::string> kEffectsAt{"save", "render"};
const std::vector<std::string> kKeys{"code", "unicode"};

const std::vector<OptionSpec> kBuildOptions{
    sizeSpec(),
    sourceSpec(),
    {.name = "font16s", .files = kAnyFile},
    variantSpec(),
    {"font"},
    fontFileSpec(),
    {"point-size"},
    modeSpec("mode"),
    profileSpec(),
    rotateSpec(),
    flipSpec(),
    swapSpec(),
    {.name = "effects-at", .words = kEffectsAt},
    {"text"},
    {.name = "text-file", .files = kAnyFile},
    {"codes"},
    charsetSpec(),
    textSetSpec(),
    {.name = "key", .words = kKeys},
    {"latin", false, 0, {"all"}},
    gridSpec(),
    {"header", false},
    formatSpec("format", true),
    {"name"},
    {.name = "output", .shortName = 'o', .files = kLibraryOutputs},
    {"check", false},
    {"report", false},
    {"jobs"},
    {"help", false, 'h'},
};

const char *const kBuildHelp = R"(Usage: dotforge-cli build [OPTION]... -o FILE
Render characters into a new font library of any size and write it. A library
of up to 200 glyphs is byte for byte what the window writes for the same
choices; a larger one has the same format (a .ZMB of N glyphs holds N glyphs,
then N codes).

Glyphs:
      --size 16|24|32          dot size (default 16)
      --source ttf|font16s     glyph source (default ttf; font16s at size 16 only)
      --font16s PATH           the dot-matrix font file (default: the first
                                 found of ./Font16s, then dotforge/Font16s
                                 under $XDG_DATA_HOME (else ~/.local/share)
                                 and under each folder of $XDG_DATA_DIRS (else
                                 /usr/local/share:/usr/share))
      --variant 0|1|2|3        its variant: simplified, traditional, Japanese,
                                 Korean (default 0); a code outside it (both
                                 bytes A1 to FE, up to F9FB, FAA2, F3FE, FDFE)
                                 is refused; its glyphs are named by its own
                                 set (GBK, GB/T 12345, JIS X 0208, KS X 1001)
      --font FACE              installed face (default 宋体)
      --font-file PATH         a font file instead: TrueType, OpenType, a
                                 collection (its first face), BDF, PCF or
                                 gzipped PCF; it draws its own characters only
      --point-size PT          12 to 28 (default 12, 18 or 22 by dot size); for
                                 a bitmap font the size of one of its strikes,
                                 of round(PT x 96 / 72) pixels (default: its
                                 strike when it has only one)
Layout and default effects:
      --mode A|B|C|D           byte layout mode (default A)
      --profile NAME           a controller layout: sets the mode and the
                                 default effects (names below)
      --rotate 0|90|180|270    default rotation in degrees, counter-clockwise
                                 (default 0)
      --flip none|h|v          default flip: h mirrors left to right, v top to
                                 bottom (default none)
      --swap none|lr|ud        default swap of the 8-dot bands: lr of the
                                 columns, ud of the rows (default none)
      --effects-at save|render apply the default effects when the file is
                                 written (default) or when each glyph is
                                 rendered; the window gives the same dots both ways
Characters (one of):
      --text TEXT              the characters: UTF-8 (as the shell passes them),
                                 or GBK bytes where they are no valid UTF-8
      --text-file PATH         the first line of a text file (as 'dotforge-cli
                                 collect' writes it); - or /dev/stdin reads
                                 standard input to its end
      --codes B0A1,B0A2,...    codes of the set, two bytes each in hexadecimal
                                 (no control bytes: 00 to 1F, 7F); with --set
                                 unicode code points, as 4E2D or U+1F600
      --charset SET            a whole character set in code order: gb2312
                                 (7,445 characters), gb2312-hanzi (6,763, rows
                                 16 to 87), gbk (every double-byte character
                                 glibc's GBK maps outside the private use area:
                                 21,791), jisx0208 (6,879), ksx1001 (8,227), or
                                 with --source font16s, all (every position of
                                 the variant that holds a glyph)
      --set SET                what the text and the codes are read in:
                                 gb2312, gbk (default), gbt12345 (traditional
                                 forms at GB2312's positions), jisx0208
                                 (EUC-JP), ksx1001 (EUC-KR) or unicode (code
                                 points, for C, BDF and LVGL output only); a
                                 text is UTF-8, or bytes of the set's own
                                 encoding.
                                 --charset jisx0208 or ksx1001 reads in its set.
                                 With --source font16s each character is looked
                                 up in the variant; without --set the codes are
                                 the variant's own, as the window takes them
      --latin [all]            half-width glyphs (n/2 x n dots) of the printable
                                 ASCII characters of the text (U+0020 to
                                 U+007E), or of all 95, drawn from the same face
                                 and size on the same baseline (with --source
                                 font16s: GNU Unifont's 8 x 16); not for .ZMB
                                 or .ASM
  In GBK a text is cut into byte pairs like the window's import: a single-byte
  character shifts every later pair by one byte (with --latin, the printable
  ASCII characters are taken out first). In another set each character is one
  code, and one without a code in the set is refused.
  Encodings of a text file: a byte-order mark names UTF-8, UTF-16LE or
  UTF-16BE. Without one, a line is UTF-8 when it is valid UTF-8 with a
  character of three or four bytes (every Chinese character is one); anything
  else is read as GBK, since two-byte UTF-8 alone (Latin, Greek, Cyrillic
  letters) is also valid GBK.
Output:
  -o, --output FILE            the library file to write
      --format zmb|asm|c|bdf|lvgl|lvgl-bin|grid
                               its format (default from the extension of FILE:
                                 .ZMB, .ASM, .c, .h for the C declarations,
                                 .bdf); lvgl: an LVGL 9 font as C source;
                                 lvgl-bin: LVGL's binary font; grid: a flash
                                 image of the set's whole grid (see below), its
                                 C header beside FILE as .h
      --grid full|rom          the grid's form: full, 94 x 94 slots from A1A1
                                 (default); rom, GB2312 without rows 10 to 15
                                 (7,614 slots). GBK has its own 126 x 190 grid
      --header                 a 32-byte header before the grid
      --name NAME              prefix of the C names (default: the file's stem)
      --key code|unicode       what NAME_codes of C output holds: the codes
                                 (default), or the code points of their
                                 characters in ascending order (the default
                                 with --set unicode)
      --check                  write nothing: exit 0 when FILE holds exactly
                                 what would be written, 1 when it is missing or
                                 differs (the first differing glyph is named)
      --report                 print the bytes of the glyphs, the codes and the
                                 search index of the C output, and the total
      --jobs N                 threads that render glyphs (default: one per core)
  -h, --help                   display this help and exit

A BDF font (BDF 2.1) holds the library's glyphs upright as the window stores
them, one character per glyph at the Unicode code point of its code; a code
without a Unicode character is written at a private-use code point (U+E000 +
its index, or the next free one) with a COMMENT naming it. --mode and the
default effects do not apply to it. Built again from it (--font-file FILE.bdf)
it gives back the same glyphs.

Repeated codes are left out with a warning on stderr. The output file is
replaced only when it has been written completely (it is not flushed to disk
before the tool exits; the system writes it as it writes a compiler's output).
C output has no time stamp: its opening comment names the tool version, the
options that shaped the bytes, the face and the SHA-256 of the font file, so
equal inputs give equal files. The digest of a font file is remembered in
$XDG_CACHE_HOME/dotforge/font-digests (else ~/.cache/dotforge) while the
file's size, times and inode stay the same.
Besides NAME_glyphs, NAME_codes and NAME_count it defines
int NAME_find(unsigned int code), the index of a code's glyph (code = first
byte x 256 + second byte) or -1, by binary search. The glyphs are named in
comments, --report, BDF encodings and messages by the set's characters (a
"Font16s" variant's by its own set: GB/T 12345, JIS X 0208, KS X 1001).

With --key unicode the glyphs come in ascending code point order, NAME_codes
holds the code points (uint16_t, or uint32_t once one lies past U+FFFF; a code
without a character takes the private-use code point its BDF glyph has), and
int NAME_find(uint32_t cp) searches them; int NAME_find_utf8(const char **s)
reads one UTF-8 character at *s, moves *s past it and returns its glyph or -1
(bytes that form no character are passed over as one unit, a NUL never).

An LVGL font (const lv_font_t NAME in C, or the binary font that
lv_binfont_create() and lv_binfont_create_from_buffer() load) holds each glyph
at the code point of its code, 1 bit per pixel, cropped to its ink, with the
half-width glyphs of --latin; no kerning. Lines are n pixels apart, the base
line n/8 above the bottom of the line, as in the BDF output, so that square
and half-width glyphs share one baseline. --mode and the default effects do
not apply to it.

A grid image holds every slot of its set's grid in code order, blank slots
zero, each glyph in the chosen mode or --profile: the set is --set, else a
"Font16s" variant's own, else GB2312 for --charset gb2312, else GBK. Full:
offset = ((hi - 0xA1) * 94 + (lo - 0xA1)) * bytes per glyph. Rom: symbols as
full for hi A1 to A9, hanzi ((hi - 0xB0) * 94 + (lo - 0xA1) + 846) * bytes for
hi B0 to F7. GBK: ((hi - 0x81) * 190 + lo - 0x40 - (lo > 0x7F)) * bytes. The
header (--header, 32 bytes, little-endian) holds "DFGR", the version, the dot
size, mode, form, set, slot size and count, the Latin block's size and the
CRC-32 of the data; the offsets of the C header count it. With --latin the
95 printable ASCII characters follow the grid in slots of n/2 x n dots. A code
outside the grid stops the build.

With --latin the half-width glyphs follow as NAME_half (NAME_half_count of
them, each stored in a box of 8, 16 or 16 columns for 16, 24 or 32 dots,
converted like the others) with their characters in NAME_half_chars,
ascending. NAME_find gives a printable ASCII code or code point the number
NAME_count + i of its half-width glyph i; NAME_bitmap(g) and NAME_width(g)
give the dots and the width of any glyph number. A BDF font holds them with
DWIDTH n/2 at their ASCII code points.
)";

// Raises UsageError for bad or contradictory arguments.
BuildJob buildJob(const Arguments &a)
{
    a.positionals(0, {});
    BuildJob job;
    readGlyphSource(a, job);

    const Layout layout = layoutOption(a, "mode", Mode::A);
    job.mode = layout.mode;
    job.effects = layout.effects;
    job.effectsAtRender = a.choice("effects-at", kEffectsAt, "save") == "render";

    readCharacters(a, job);

    if (!a.has("output") || a.value("output").empty())
        throw UsageError("no output file: give -o FILE");
    job.output = a.value("output");
    job.format = chooseFormat(a.value("format"), job.output, "format", true);
    if (holdsUprightGlyphs(job.format)) {
        for (const char *option : {"mode", "profile", "rotate", "flip", "swap", "effects-at"})
            if (a.has(option))
                throw UsageError(std::string("--") + option + " does not apply to "
                    + (job.format == FileFormat::Bdf ? "BDF" : "LVGL")
                    + " output: it holds the glyphs upright, as the window stores them");
    }
    const bool cOutput = job.format == FileFormat::CSource || job.format == FileFormat::CHeader;
    if (job.set == CharSet::Unicode && (job.format == FileFormat::Zmb || job.format == FileFormat::Asm))
        throw UsageError("--set unicode gives code points, which .ZMB and .ASM files cannot hold (two bytes a code): "
                         "write C (.c, .h), BDF (.bdf) or an LVGL font");
    if (a.has("key") && !cOutput)
        throw UsageError("--key applies to C output (.c, .h) only");
    if (a.has("latin")) {
        job.latin = a.value("latin") == "all" ? BuildJob::Latin::All : BuildJob::Latin::Text;
        if (job.format == FileFormat::Zmb || job.format == FileFormat::Asm)
            throw UsageError(
                "--latin makes half-width glyphs, which .ZMB and .ASM files cannot hold: write C (.c, .h), "
                "BDF (.bdf), an LVGL font or a grid");
        const bool text
            = job.characters == BuildJob::Characters::Text || job.characters == BuildJob::Characters::TextFile;
        if (job.latin == BuildJob::Latin::Text && !text)
            throw UsageError("--latin takes the ASCII characters of the text: with --codes or --charset give --latin "
                             "all");
    }
    job.grid = gridOption(
        a, job.format, job.output, "format", gridSetOf(job), job.size, job.mode, job.latin != BuildJob::Latin::None);
    const bool codePoints = job.set == CharSet::Unicode && cOutput;
    job.key = a.choice("key", kKeys, codePoints ? "unicode" : "code") == "unicode" ? BuildJob::Key::Unicode
                                                                                   : BuildJob::Key::Code;
    if (codePoints && job.key == BuildJob::Key::Code)
        throw UsageError(
            "--key code needs two-byte codes: with --set unicode the codes are code points (--key unicode)");
    job.name = libraryName(a.has("name") ? std::optional(a.value("name")) : std::nullopt, job.output, job.format);
    job.check = a.has("check");
    job.report = a.has("report");
    job.jobs = a.integer("jobs", 1, 64).value_or(0);
    return job;
}

int runBuildCommand(const Arguments &arguments)
{
    return runBuild(buildJob(arguments));
}

} // namespace

const Command kBuildCommand{"build",
    "render characters into a new library file of any size, as the\nwindow would; whole sets with --charset, "
    "Unicode keys,\nhalf-width Latin",
    kBuildOptions, kBuildHelp, true, runBuildCommand};

} // namespace dotforge::cli
