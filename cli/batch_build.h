#pragma once
// The build engine: a job (cli/build_job.h) from its characters to the written
// or checked library file. The glyphs are made as the window makes them
// (cli/batch_library.h), without the window's limit of 200. Each step reports
// its own failure: bad arguments found on the way raise UsageError, and a file
// that cannot be used an InputError carrying the whole message.

#include "cli/batch_library.h"
#include "cli/build_job.h"
#include "core/rasterizer.h"

#include <cstddef>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace dotforge::cli {

// How much of the first line of a text file is read: far more than the
// 21,886 GBK characters take in any encoding.
constexpr std::size_t kMaxTextFileLine = 1024 * 1024;

// The character codes to add, in order: the codes as given; a text (or a text
// file's first line) converted to GBK like the window's import and cut into
// byte pairs, all of them; the codes of a charset other than "all" (which
// needs the font file, see font16sCodes). Warns on stderr about what the
// window would silently drop. Raises UsageError for a --text character without
// a GBK code, and InputError or IoError for a text file that cannot be used;
// with the dot-matrix source, UsageError (InputError for a text file) for a
// code outside the chosen variant.
// With --latin, *latin (when given) gets the text's printable ASCII
// characters, which are then no codes.
std::vector<std::string> characterCodes(const BuildJob &job, std::string *latin = nullptr);

// A build up to its glyphs.
struct PreparedBuild {
    GlyphRecipe recipe; // its face and point size checked, the "Font16s" file read
    std::size_t givenCount = 0; // the codes given, repeats included
    std::vector<std::string> codes; // in order, each once
    // With Unicode keys: the code point of each code as a Unicode code, the
    // codes put in their ascending order.
    std::vector<std::string> keyCodes;
    std::string latin; // the printable ASCII characters of the half-width glyphs, ascending
    HalfGlyphs half; // their glyphs, drawn
    // The font file the glyphs come from; empty when the rasteriser does not name it.
    std::string fontPath;
    std::string fontDigest; // its SHA-256, when known before the glyphs are drawn
    std::future<std::string> digestJob; // or taken while they are drawn
    std::unique_ptr<Rasterizer> firstRasterizer; // the one that named the font file
};

// The steps before drawing: the face and its point size, the "Font16s" file,
// the characters (a warning when there is none), the font file (its digest
// for C output, else a check that it can be read), and the repeats left out
// with a warning each.
PreparedBuild prepareBuild(const BuildJob &job, const RasterizerFactory &factory);

// The converted sequence of one code of a prepared build, drawn as every
// glyph of the library is; InputError "cannot render ..." when it cannot be.
Sequence preparedGlyph(PreparedBuild &build, const BuildJob &job, const std::string &code);

// The whole build with the FreeType rasteriser. Returns the exit status;
// messages go to stderr, --report to stdout.
int runBuild(const BuildJob &job);

} // namespace dotforge::cli
