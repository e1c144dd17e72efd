#include "cli/batch_library.h"

#include "cli/c_source.h"
#include "cli/charsets.h"
#include "cli/font_digest.h"
#include "cli/glyph_text.h"
#include "cli/sha256.h"
#include "core/font16s_variants.h"
#include "core/gbk.h"
#include "core/glyph.h"
#include "core/io_error.h"
#include "formats/file_io.h"
#include "sources/glyph_sources.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <future>
#include <iostream>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_set>

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

// The raw glyph of a code drawn as ChTextOut draws it: a white surface, the
// character at the origin, the square sampled.
GlyphPlane drawnGlyph(const GlyphRecipe &recipe, const std::string &code, Rasterizer &rasterizer, Surface40 &surface)
{
    surface.fillWhite();
    rasterizer.drawText(surface, gbkToUtf8(code), recipe.face, recipe.pointSize, kSurfaceOrigin, kSurfaceOrigin);
    GlyphPlane plane;
    sampleSurface(surface, recipe.size, plane);
    return plane;
}

std::string quoted(const std::string &value)
{
    const bool plain = !value.empty() && std::all_of(value.begin(), value.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || std::string_view("_./,:+-").find(c) != std::string::npos;
    });
    if (plain)
        return value;
    std::string out = "'";
    for (const char c : value)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string rotationName(Rotation r)
{
    switch (r) {
    case Rotation::R0:
        return "0";
    case Rotation::R90:
        return "90";
    case Rotation::R180:
        return "180";
    case Rotation::R270:
        return "270";
    }
    return "0";
}

// The opening comment's record of the build: every option that shaped the
// bytes, written out whether given or defaulted, and the font file with its
// digest. Options that only steer the run (--check, --report, --jobs, -o) are
// left out, so that a check compares with what a build wrote.
std::vector<std::string> buildNote(const BuildOptions &o, const GlyphRecipe &recipe, const std::string &fontPath,
    const std::string &fontDigest, std::size_t codeCount)
{
    std::string made = std::string(kProgram) + " build --size " + std::to_string(o.size);
    if (o.font16s)
        made += " --source font16s --font16s " + quoted(o.font16sPath) + " --variant " + std::to_string(o.variant);
    else
        made += std::string(" --source ttf ") + (o.fontFile ? "--font-file " : "--font ") + quoted(o.face)
            + " --point-size " + std::to_string(recipe.pointSize);
    made += std::string(" --mode ") + modeLetter(o.mode) + " --rotate " + rotationName(o.effects.rotation) + " --flip "
        + (o.effects.flip == Flip::Horizontal      ? "h"
                : o.effects.flip == Flip::Vertical ? "v"
                                                   : "none")
        + " --swap "
        + (o.effects.swap == Swap::LeftRight     ? "lr"
                : o.effects.swap == Swap::UpDown ? "ud"
                                                 : "none")
        + " --effects-at " + (o.effectsAtRender ? "render" : "save");
    switch (o.characters) {
    case BuildOptions::Characters::Charset:
        made += " --charset " + o.charset;
        break;
    case BuildOptions::Characters::TextFile:
        made += " --text-file " + quoted(o.text);
        break;
    case BuildOptions::Characters::Codes:
        made += " --codes (" + std::to_string(o.codes.size()) + " codes)";
        break;
    case BuildOptions::Characters::Text:
        made += " --text (" + std::to_string(codeCount) + " codes)";
        break;
    }
    made += " --name " + o.name;

    std::vector<std::string> note{"Made by: " + made};
    if (o.font16s)
        note.push_back("Glyphs: variant " + std::to_string(o.variant) + " of the dot-matrix font " + fontPath);
    else
        note.push_back("Face: " + o.face + " at " + std::to_string(recipe.pointSize) + " points, from "
            + (fontPath.empty() ? "a font file the rasteriser does not name" : fontPath));
    if (!fontDigest.empty())
        note.push_back("SHA-256 of the font file: " + fontDigest);
    return note;
}

// Where the first difference of a checked file lies, in words: the glyph
// (or its code) that the byte at `offset` of the fresh bytes belongs to.
std::string differencePlace(std::size_t offset, const BuildOptions &o, const LibraryContent &content,
    const std::string &fresh, const std::vector<std::size_t> &cStarts)
{
    const std::size_t count = content.glyphs.size();
    const std::size_t glyphSize = std::size_t(glyphBytes(o.size));
    auto glyph
        = [&content](std::size_t g) { return "glyph " + std::to_string(g) + " (" + codeLabel(content.codes[g]) + ")"; };
    std::size_t g = count;
    bool code = false;
    switch (o.format) {
    case FileFormat::Zmb:
        if (offset < count * glyphSize) {
            g = offset / glyphSize;
        } else if (offset < count * (glyphSize + 2)) {
            g = (offset - count * glyphSize) / 2;
            code = true;
        }
        break;
    case FileFormat::Asm: {
        const auto lines = std::size_t(std::count(fresh.begin(), fresh.begin() + std::ptrdiff_t(offset), '\n'));
        g = lines / std::size_t(o.size / 4);
        break;
    }
    case FileFormat::CSource: {
        if (count == 0 || offset < cStarts.front())
            return "before the first glyph (the opening comment or a declaration)";
        const auto k = std::size_t(std::upper_bound(cStarts.begin(), cStarts.end(), offset) - cStarts.begin()) - 1;
        if (k < 2 * count) {
            g = k % count;
            code = k >= count;
        }
        break;
    }
    case FileFormat::CHeader:
        return "in the declarations";
    case FileFormat::Bdf: {
        // Glyph g is the g-th STARTCHAR block.
        const std::string_view before(fresh.data(), offset);
        std::size_t blocks = 0;
        for (auto at = before.find("\nSTARTCHAR "); at != std::string_view::npos;
             at = before.find("\nSTARTCHAR ", at + 1))
            ++blocks;
        if (blocks == 0)
            return "in the font's header";
        g = blocks - 1;
        break;
    }
    }
    if (g >= count)
        return "after the last glyph";
    return code ? "at the code of " + glyph(g) : "at " + glyph(g);
}

// --check: 0 when the file holds exactly `fresh`, 1 when it is missing or differs.
int checkFile(const BuildOptions &o, const std::string &fresh, const LibraryContent &content,
    const std::vector<std::size_t> &cStarts)
{
    std::string old;
    try {
        InputFile file(o.output);
        old = file.readAt(0, std::size_t(file.size()));
    } catch (const IoError &e) {
        if (e.code() != ioerr::FileNotFound)
            throw;
        std::cerr << kProgram << ": " << o.output << " is missing\n";
        return 1;
    }
    if (old == fresh)
        return kExitOk;
    const auto [at, unused] = std::mismatch(fresh.begin(), fresh.end(), old.begin(), old.end());
    (void)unused;
    const auto offset = std::size_t(at - fresh.begin());
    std::cerr << kProgram << ": " << o.output << " differs from the build, first "
              << differencePlace(offset, o, content, fresh, cStarts) << '\n';
    return 1;
}

void printReport(const BuildOptions &o, const LibraryContent &content)
{
    const std::size_t count = content.glyphs.size();
    const std::size_t glyphSize = std::size_t(glyphBytes(o.size));
    CDataSizes sizes;
    if (o.format == FileFormat::CSource || o.format == FileFormat::CHeader) {
        sizes = cDataSizes(content, o.size);
    } else {
        sizes.glyphs = count * glyphSize;
        sizes.codes = 2 * count;
    }
    std::cout << "glyphs: " << count << " x " << glyphSize << " = " << sizes.glyphs << " bytes\n"
              << "codes: " << sizes.codes << " bytes\n"
              << "index: " << sizes.index << " bytes\n"
              << "total: " << sizes.total() << " bytes\n";
}

} // namespace

std::vector<std::string> withoutRepeats(
    const std::vector<std::string> &codes, const std::function<void(const std::string &)> &onRepeat)
{
    std::unordered_set<std::string> seen;
    seen.reserve(codes.size());
    std::vector<std::string> distinct;
    distinct.reserve(codes.size());
    for (const std::string &code : codes) {
        if (seen.insert(code).second)
            distinct.push_back(code);
        else if (onRepeat)
            onRepeat(code);
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
                for (; i < to; ++i) {
                    const GlyphPlane raw = recipe.font16s ? font16sGlyph(recipe, codes[i])
                                                          : drawnGlyph(recipe, codes[i], *rasterizers[t], surface);
                    content.glyphs[i] = toFileOrder(raw, recipe.size, recipe.mode, recipe.effects);
                }
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

int runBatchBuild(const BuildOptions &o, const RasterizerFactory &factory)
{
    std::string doing;
    bool writing = false; // the output file is being written
    try {
        GlyphRecipe recipe;
        recipe.size = o.size;
        recipe.mode = o.mode;
        recipe.effects = o.effects;
        recipe.font16s = o.font16s;
        recipe.variant = o.variant;
        recipe.face = o.face;
        recipe.pointSize = o.pointSize.value_or(defaultPointSize(o.size));

        if (o.font16s) {
            doing = "cannot open " + o.font16sPath;
            InputFile file(o.font16sPath);
            recipe.font16sBytes = file.readAt(0, std::size_t(file.size()));
        }
        doing = "cannot read " + (o.text == "-" ? std::string("standard input") : o.text);
        const std::vector<std::string> given = o.characters == BuildOptions::Characters::Charset && o.charset == "all"
            ? font16sCodes(recipe.font16sBytes, o.variant)
            : characterCodes(o);
        if (given.empty())
            warn("no character to add: the library is empty");

        std::string fontPath = o.font16sPath;
        std::string fontDigest;
        // The font file's digest is taken while the glyphs are drawn.
        std::future<std::string> digestJob;
        // The rasteriser that named the font file draws the first share of
        // the glyphs: its fontconfig start-up is paid once.
        std::unique_ptr<Rasterizer> first;
        // Only C source and headers carry the build note with the digest; for
        // the other formats the font file is merely checked to be readable.
        const bool noted = o.format == FileFormat::CSource || o.format == FileFormat::CHeader;
        if (o.font16s) {
            if (noted)
                fontDigest = sha256Hex(recipe.font16sBytes);
        } else {
            // runBuild has checked the face and its point size.
            first = factory();
            fontPath = first->fontFile(o.face);
            if (!fontPath.empty() && noted) {
                digestJob = std::async(std::launch::async, [fontPath] { return fontFileDigest(fontPath); });
            } else if (!fontPath.empty()) {
                doing = "cannot read the font file " + fontPath;
                InputFile readable(fontPath);
            }
        }
        const RasterizerFactory drawers = [&first, &factory] { return first ? std::move(first) : factory(); };

        // As the window's add does it: a code already in the library is refused.
        const std::vector<std::string> codes = withoutRepeats(
            given, [](const std::string &code) { warn(codeLabel(code) + ": 小字库中已有该区位码的字!"); });

        std::size_t failedAt = 0;
        LibraryContent content;
        std::exception_ptr renderError;
        const int jobs = o.jobs > 0 ? o.jobs : int(std::max(1u, std::thread::hardware_concurrency()));
        // The text of C output is written by the drawing threads, a chunk of
        // glyphs as soon as it is drawn.
        std::vector<CGlyphText> cPieces;
        ChunkDone chunkDone;
        if (o.format == FileFormat::CSource) {
            const std::size_t chunkSize = chunkGlyphs(codes.size(), jobs);
            cPieces.resize((codes.size() + chunkSize - 1) / chunkSize);
            chunkDone = [&cPieces, &o, chunkSize](const LibraryContent &done, std::size_t from, std::size_t to) {
                cPieces[from / chunkSize] = cGlyphText(done, o.size, o.mode, from, to);
            };
        }
        try {
            content = renderLibrary(recipe, codes, drawers, jobs, &failedAt, chunkDone);
        } catch (const IoError &) {
            renderError = std::current_exception();
        }
        // An unreadable font file is reported before a glyph that failed.
        if (digestJob.valid()) {
            doing = "cannot read the font file " + fontPath;
            fontDigest = digestJob.get();
        }
        if (renderError) {
            doing = "cannot render " + codeLabel(codes[failedAt]) + (o.font16s ? " from " + o.font16sPath : "");
            std::rethrow_exception(renderError);
        }

        if (o.format == FileFormat::CSource && content.glyphs.size() > 32767)
            warn(o.name + "_find returns an int: where int has 16 bits, glyph indexes past 32767 do not fit");
        const std::vector<std::string> note = buildNote(o, recipe, fontPath, fontDigest, given.size());
        // C text stays in the drawing threads' pieces; other formats are one string.
        std::vector<std::size_t> cStarts;
        std::optional<CSourceText> cText;
        std::string bytes;
        if (o.format == FileFormat::CSource)
            cText = cSourceText(content, o.size, o.mode, o.name, note, cPieces, &cStarts);
        else
            bytes = libraryFileBytes(content, o.format, o.size, o.mode, o.name, note);
        int status = kExitOk;
        if (o.check) {
            doing = "cannot read " + o.output;
            status = checkFile(o, cText ? cText->joined() : bytes, content, cStarts);
        } else {
            doing = "cannot write " + o.output;
            writing = true;
            replaceFile(o.output, cText ? cText->parts() : std::vector<std::string_view>{bytes},
                FileSync::LeaveToSystem);
        }
        if (o.report)
            printReport(o, content);
        return status;
    } catch (const IoError &e) {
        error(doing + ": " + (writing ? writeFailure(o.output, e) : ioErrorText(e)));
    } catch (const InputError &e) {
        error(e.what());
    } catch (const std::filesystem::filesystem_error &e) {
        error(doing + ": " + e.code().message());
    }
    return kExitIo;
}

} // namespace dotforge::cli
