#include "cli/batch_library.h"

#include "core/font16s_variants.h"
#include "core/gbk.h"
#include "core/glyph.h"
#include "core/io_error.h"
#include "sources/glyph_sources.h"
#include "sources/latin_glyphs.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <limits>
#include <mutex>
#include <numeric>
#include <thread>

namespace dotforge::cli {

namespace {

// The raw glyph of a code from the dot-matrix font: the record the window's
// ReadUDot reads, with the same failures for a record outside the file.
GlyphPlane font16sGlyph(const GlyphRecipe &recipe, const std::string &code)
{
    const std::int64_t record = variantFirstRecord(kSectionSizes, recipe.variant) + codeRecordIndex(code);
    if (record < 0)
        throw IoError(ioerr::SeekBeforeStart);
    FontRecord bytes;
    const auto size = std::int64_t(bytes.size());
    if (record > (std::int64_t(recipe.font16sBytes.size()) - size) / size)
        throw IoError(ioerr::ReadBeyondEnd);
    std::copy_n(recipe.font16sBytes.begin() + record * size, bytes.size(), bytes.begin());
    GlyphPlane plane;
    copyRecord(bytes, plane);
    return plane;
}

// The text a code draws: its GBK bytes as the window decodes them, or the
// character of the code in another set (none for a code without one).
std::string drawnText(const GlyphRecipe &recipe, const std::string &code)
{
    if (recipe.set == CharSet::Gbk)
        return gbkToUtf8(code);
    const std::optional<char32_t> c = characterOf(recipe.set, codeNumberOf(code));
    return c ? encodeUtf8(*c) : std::string();
}

// The raw glyph of a code drawn as ChTextOut draws it: a white surface, the
// character at the origin, the square sampled.
GlyphPlane drawnGlyph(const GlyphRecipe &recipe, const std::string &code, Rasterizer &rasterizer, Surface40 &surface)
{
    surface.fillWhite();
    rasterizer.drawText(
        surface, drawnText(recipe, code), recipe.face, recipe.pointSize, kSurfaceOrigin, kSurfaceOrigin);
    GlyphPlane plane;
    sampleSurface(surface, recipe.size, plane);
    return plane;
}

} // namespace

Sequence glyphSequence(const GlyphRecipe &recipe, const std::string &code, Rasterizer *rasterizer, Surface40 &surface)
{
    const GlyphPlane raw = recipe.font16s ? font16sGlyph(recipe, code) : drawnGlyph(recipe, code, *rasterizer, surface);
    return toFileOrder(raw, recipe.size, recipe.mode, recipe.effects);
}

HalfGlyphs halfGlyphs(const GlyphRecipe &recipe, const std::string &characters, Rasterizer *rasterizer)
{
    HalfGlyphs half;
    half.characters = characters;
    half.box = transformedBox(recipe.effects, halfBox(recipe.size));
    Surface40 surface;
    for (const char c : characters) {
        GlyphPlane raw = font16sLatinGlyph(c);
        if (!recipe.font16s) {
            surface.fillWhite();
            rasterizer->drawText(
                surface, std::string(1, c), recipe.face, recipe.pointSize, kSurfaceOrigin, kSurfaceOrigin);
            sampleHalfSurface(surface, recipe.size, raw);
        }
        half.glyphs.push_back(toFileOrder(raw, halfBox(recipe.size), recipe.mode, recipe.effects));
    }
    return half;
}

std::vector<std::string> withoutRepeats(
    const std::vector<std::string> &codes, const std::function<void(const std::string &)> &onRepeat)
{
    // The places of the codes sorted by code, equal codes in their order: each
    // but the first of a run of equal codes is a repeat.
    std::vector<std::size_t> order(codes.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(
        order.begin(), order.end(), [&codes](std::size_t a, std::size_t b) { return codes[a] < codes[b]; });
    std::vector<bool> repeat(codes.size());
    for (std::size_t k = 1; k < order.size(); ++k)
        repeat[order[k]] = codes[order[k]] == codes[order[k - 1]];
    std::vector<std::string> distinct;
    distinct.reserve(codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (!repeat[i])
            distinct.push_back(codes[i]);
        else if (onRepeat)
            onRepeat(codes[i]);
    }
    return distinct;
}

std::size_t chunkGlyphs(std::size_t count, int jobs)
{
    // Small enough that the threads finish together (about eight chunks
    // each), large enough that taking one costs nothing.
    return std::clamp<std::size_t>(count / (8 * std::size_t(std::max(jobs, 1))), 4, 64);
}

LibraryContent renderLibrary(const GlyphRecipe &recipe, const std::vector<std::string> &codes,
    const RasterizerFactory &factory, int jobs, std::size_t *failedAt, const ChunkDone &chunkDone)
{
    LibraryContent content;
    content.codes = codes;
    content.glyphs.resize(codes.size());
    const std::size_t chunkSize = chunkGlyphs(codes.size(), jobs);
    const std::size_t chunks = (codes.size() + chunkSize - 1) / chunkSize;
    const std::size_t threads
        = std::clamp<std::size_t>(std::size_t(std::max(jobs, 1)), 1, std::max<std::size_t>(chunks, 1));

    std::vector<std::unique_ptr<Rasterizer>> rasterizers;
    if (!recipe.font16s)
        for (std::size_t t = 0; t < threads; ++t)
            rasterizers.push_back(factory());

    std::atomic<std::size_t> nextChunk{0};
    std::atomic<bool> failed{false};
    std::mutex failureLock;
    std::size_t failure = std::numeric_limits<std::size_t>::max();
    std::exception_ptr failureError;

    auto work = [&](std::size_t t) {
        Surface40 surface;
        while (!failed.load()) {
            const std::size_t chunk = nextChunk.fetch_add(1);
            if (chunk >= chunks)
                break;
            // A chunk once taken is finished, so that the first failure in
            // library order is always found.
            const std::size_t from = chunk * chunkSize;
            const std::size_t to = std::min(codes.size(), from + chunkSize);
            std::size_t i = from;
            try {
                for (; i < to; ++i)
                    content.glyphs[i]
                        = glyphSequence(recipe, codes[i], recipe.font16s ? nullptr : rasterizers[t].get(), surface);
                if (chunkDone) {
                    i = from;
                    chunkDone(content, from, to);
                }
            } catch (...) {
                const std::lock_guard lock(failureLock);
                if (i < failure) {
                    failure = i;
                    failureError = std::current_exception();
                }
                failed = true;
            }
        }
    };
    if (threads == 1) {
        work(0);
    } else {
        std::vector<std::jthread> pool;
        for (std::size_t t = 0; t < threads; ++t)
            pool.emplace_back(work, t);
    }
    if (failureError) {
        if (failedAt)
            *failedAt = failure;
        std::rethrow_exception(failureError);
    }
    return content;
}

} // namespace dotforge::cli
