#pragma once
// The batch tool's own way to a library of any size. Each glyph goes the way
// the window takes it: drawn with the rasteriser on the 40 x 40 surface and
// sampled (or copied from its "Font16s" record), then converted with the
// default effects and the byte layout by toFileOrder, as a save does. What the
// window adds per glyph for its list of 200 (the duplicate check against every
// earlier code, store records written, converted and restored one system call
// at a time) is left out: repeats are found with a hash set, everything stays
// in memory, and the glyphs are drawn by several threads, one rasteriser each.

#include "core/charsets.h"
#include "core/glyph.h"
#include "core/rasterizer.h"
#include "formats/library_content.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dotforge::cli {

// What shapes every glyph of a library.
struct GlyphRecipe {
    int size = 16;
    Mode mode = Mode::A;
    Effects effects; // at save or at render time give the same dots
    bool font16s = false;
    std::string font16sBytes; // the whole "Font16s" file
    int variant = 0;
    std::string face;
    int pointSize = 12;
    CharSet set = CharSet::Gbk; // the set whose character of a code is drawn
};

// A rasteriser for one thread. The TrueType rasterisers keep state per object
// and are not meant to be shared between threads.
using RasterizerFactory = std::function<std::unique_ptr<Rasterizer>()>;

// The converted sequence of one code: its raw glyph drawn with `rasterizer` on
// `surface` (or copied from its "Font16s" record, where the rasteriser may be
// null), converted with the recipe's effects and mode. IoError for a record
// outside the file.
Sequence glyphSequence(const GlyphRecipe &recipe, const std::string &code, Rasterizer *rasterizer, Surface40 &surface);

// The half-width glyphs of printable ASCII characters (ascending), each drawn
// as a square glyph is, on the same origin and baseline, and sampled n / 2
// dots wide (with the dot-matrix source: GNU Unifont's 8 x 16 glyph), then
// converted with the recipe's effects and mode.
HalfGlyphs halfGlyphs(const GlyphRecipe &recipe, const std::string &characters, Rasterizer *rasterizer);

// The codes in order with every repeat left out; `onRepeat` hears of each one.
std::vector<std::string> withoutRepeats(
    const std::vector<std::string> &codes, const std::function<void(const std::string &)> &onRepeat);

// Told by a drawing thread that glyphs [from, to) of the content are done, so
// that work on them (the text of C output) is shared out with the drawing.
using ChunkDone = std::function<void(const LibraryContent &content, std::size_t from, std::size_t to)>;

// The converted sequence of every code, in order, drawn by `jobs` threads
// (at least one). A code that cannot be rendered (its "Font16s" record lies
// outside the file) ends the work: the error of the first such code in library
// order is raised, with its index in *failedAt. `chunkDone`, when given, is
// called on the drawing thread for each run of glyphs it has finished; the
// runs are consecutive, of chunkGlyphs(codes.size(), jobs) each but the last.
LibraryContent renderLibrary(const GlyphRecipe &recipe, const std::vector<std::string> &codes,
    const RasterizerFactory &factory, int jobs, std::size_t *failedAt = nullptr, const ChunkDone &chunkDone = {});
std::size_t chunkGlyphs(std::size_t count, int jobs);

} // namespace dotforge::cli
