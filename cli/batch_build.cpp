#include "cli/batch_build.h"

#include "cli/build_output.h"
#include "cli/charsets.h"
#include "cli/errors.h"
#include "cli/exit_status.h"
#include "cli/font_digest.h"
#include "cli/glyph_text.h"
#include "cli/library_files.h"
#include "cli/messages.h"
#include "cli/sha256.h"
#include "cli/tool_name.h"
#include "core/font16s_variants.h"
#include "core/gbk.h"
#include "core/io_error.h"
#include "core/record_file.h"
#include "formats/bdf.h"
#include "formats/c_source.h"
#include "formats/file_io.h"
#include "formats/lvgl.h"
#include "library/text_import.h"
#include "render/freetype_rasterizer.h"
#include "render/strike_sizes.h"
#include "sources/font16s_codes.h"
#include "sources/glyph_sources.h"
#include "sources/latin_glyphs.h"

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

namespace dotforge::cli {

namespace {

// The descriptor a --text-file name stands for when it names a stream already
// open: "-" and /dev/stdin standard input, /dev/fd/N (a shell's process
// substitution) descriptor N.
std::optional<int> openStream(const std::string &path)
{
    if (path == "-" || path == "/dev/stdin")
        return 0;
    constexpr std::string_view kFd = "/dev/fd/";
    int fd = -1;
    if (path.starts_with(kFd)) {
        const char *digits = path.data() + kFd.size();
        const auto [end, ec] = std::from_chars(digits, path.data() + path.size(), fd);
        if (ec == std::errc() && end == path.data() + path.size() && end != digits)
            return fd;
    }
    return std::nullopt;
}

// How messages name a --text-file.
std::string textFileName(const std::string &path)
{
    return path == "-" ? "standard input" : path;
}

// With the dot-matrix source every code must name a character of the chosen
// variant: another would take a record of another variant, or lie before the
// start of the file. The first one outside is named with the variant's range.
void checkFont16sCodes(const BuildJob &o, const std::vector<std::string> &codes)
{
    if (!o.font16s)
        return;
    const auto outside = std::find_if(codes.begin(), codes.end(),
        [&o](const std::string &code) { return !codeInVariant(code, kSectionSizes, o.variant); });
    if (outside == codes.end())
        return;
    static const char *const kVariantNames[] = {"simplified Chinese", "traditional Chinese", "Japanese", "Korean"};
    const std::string what = codeLabel(*outside, codeNaming(o)) + " is no code of variant " + std::to_string(o.variant)
        + " (" + kVariantNames[o.variant] + ") of the dot-matrix font: its codes run from A1A1 to "
        + codeHex(lastCodeOfVariant(kSectionSizes, o.variant)) + ", both bytes A1 to FE";
    switch (o.characters) {
    case BuildJob::Characters::TextFile:
        throw InputError(textFileName(o.text) + ": " + what + "; nothing is imported");
    case BuildJob::Characters::Codes:
        throw UsageError("--codes: " + what);
    case BuildJob::Characters::Charset:
        throw UsageError("--charset " + o.charset + ": " + what + " (--charset all takes the variant's own codes)");
    case BuildJob::Characters::Text:
        break;
    }
    throw UsageError("--text: " + what);
}

// ---- Font files, bitmap strikes and BDF output ------------------------------

// "12 px (9 pt), 14 px (no whole point size), 16 px (12 pt)"
std::string strikeList(const std::vector<int> &pixelSizes)
{
    std::string out;
    for (const int px : pixelSizes) {
        const int pt = pointSizeOfPixels(px);
        out += (out.empty() ? "" : ", ") + std::to_string(px) + " px ("
            + (pt > 0 ? std::to_string(pt) + " pt" : std::string("no whole point size")) + ")";
    }
    return out;
}

// The face or font file of the build, open: a missing face is a usage error, a
// font file that cannot be read an input error.
FaceStrikes checkedFace(FreeTypeRasterizer &fonts, const BuildJob &o)
{
    if (o.fontFile) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(o.face, ec))
            throw InputError("cannot read " + o.face + ": " + (ec ? ec.message() : "no such file"));
        const FaceStrikes strikes = fonts.strikes(o.face);
        if (!strikes.found)
            throw InputError(o.face + ": not a font file FreeType can read");
        if (!strikes.scalable && strikes.pixelSizes.empty())
            throw InputError(o.face + ": the font has neither outlines nor bitmap strikes");
        return strikes;
    }
    const FaceStrikes strikes = fonts.strikes(o.face);
    if (!strikes.found || (!strikes.scalable && strikes.pixelSizes.empty()))
        throw UsageError("no face '" + o.face + "' is installed");
    return strikes;
}

// The point size to draw at: 12 to 28 for a scalable face; for a bitmap font
// the size of one of its strikes, and by default its only strike.
int checkedPointSize(const FaceStrikes &strikes, std::optional<int> given, int windowDefault, int dots)
{
    if (strikes.scalable) {
        const int pt = given.value_or(windowDefault);
        if (pt < 12 || pt > 28)
            throw UsageError(
                "invalid argument '" + std::to_string(pt) + "' for '--point-size' (an integer from 12 to 28)");
        return pt;
    }
    const std::vector<int> &sizes = strikes.pixelSizes;
    // A strike taller than the square would lose its lower rows and right columns.
    std::vector<int> fitting = sizes;
    std::erase_if(fitting, [dots](int px) { return px > dots; });
    if (const std::optional<int> pt = strikePointSize(fitting, given, windowDefault))
        return *pt;
    if (const std::optional<int> pt = strikePointSize(sizes, given, windowDefault))
        throw UsageError("the bitmap font " + strikes.family + ": its strike of " + std::to_string(pixelHeight(*pt))
            + " px (" + std::to_string(*pt) + " pt) is taller than " + std::to_string(dots)
            + " dots and would be cut; its strikes: " + strikeList(sizes));
    const int pt = given.value_or(windowDefault);
    throw UsageError((given ? "the bitmap font " : "give --point-size: the bitmap font ") + strikes.family
        + " has no strike of " + std::to_string(pixelHeight(pt)) + " px (" + std::to_string(pt)
        + " pt); its strikes: " + strikeList(sizes));
}

// The codes of a whole set by name, and the set they are in.
std::vector<std::string> charsetCodesOf(const std::string &name, CharSet &in)
{
    std::vector<std::string> codes;
    if (const auto set = charsetNamed(name)) {
        in = CharSet::Gbk; // which holds GB2312 at the same codes
        for (const std::uint16_t code : charsetCodes(*set))
            codes.push_back(codeBytes(code));
    } else {
        in = *charSetNamed(name);
        for (const std::uint32_t code : codesOf(in))
            codes.push_back(codeBytesOf(in, code));
    }
    return codes;
}

// Codes of set `from` as the library's codes: as they are in the library's
// own set (and, with the dot-matrix source and no set given, as the window
// takes them), else through their characters. A code whose character the
// library has no code for is told to `missing` and left out.
std::vector<std::string> libraryCodes(const BuildJob &o, CharSet from, const std::vector<std::string> &codes,
    const std::function<void(const std::string &code, std::optional<char32_t> character)> &missing)
{
    if (from == librarySet(o) || !o.setGiven)
        return codes;
    const CodeNaming library = codeNaming(o);
    std::vector<std::string> out;
    out.reserve(codes.size());
    for (const std::string &code : codes) {
        const std::optional<char32_t> c = characterOf(from, codeNumberOf(code));
        const std::optional<std::string> own = c ? namedCode(library, *c) : std::nullopt;
        if (own)
            out.push_back(*own);
        else
            missing(code, c);
    }
    return out;
}

// "the character "X"" or "code B0A1", for messages.
std::string whatIsMissing(const std::string &code, std::optional<char32_t> character, CharSet from)
{
    if (character)
        return "the character \"" + encodeUtf8(*character) + "\"";
    return "code " + codeHex(code) + " (no " + std::string(charSetTitle(from)) + " character)";
}

// The first line of the text or the text file, as bytes with their encoding.
TextLine givenLine(const BuildJob &o)
{
    TextLine line;
    if (o.characters == BuildJob::Characters::TextFile) {
        // A stream is read to its end: its size tells nothing.
        if (const auto fd = openStream(o.text))
            line = readFirstLine(
                [fd](char *buffer, std::size_t max) { return readSome(*fd, buffer, max); }, kMaxTextFileLine, true);
        else
            line = readFirstLine(o.text, kMaxTextFileLine);
        if (line.truncated || line.moreLines)
            warn(textFileName(o.text) + ": only its first line is imported, as in the window");
        return line;
    }
    const auto end = o.text.find_first_of("\r\n");
    line.bytes = o.text.substr(0, end);
    // An argument comes from the shell, which speaks UTF-8 here: valid UTF-8
    // is taken as such (its byte-order mark says so to the detection), and
    // only other bytes are in the set's own encoding.
    if (longestUtf8Sequence(line.bytes).value_or(1) > 1)
        line.bytes.insert(0, "\xEF\xBB\xBF");
    if (end != std::string::npos && o.text.find_first_not_of("\r\n", end) != std::string::npos)
        warn("--text: only its first line is imported, as from a text file");
    return line;
}

// A failure of the text: an input error for a text file, else a usage error;
// `what` is the part of the text at fault, `why` what is wrong with it.
[[noreturn]] void textFailure(const BuildJob &o, const std::string &what, const std::string &why)
{
    if (o.characters == BuildJob::Characters::TextFile)
        throw InputError(textFileName(o.text) + ": " + what + " " + why + "; nothing is imported");
    throw UsageError(what + " of --text " + why);
}

bool printableAscii(char32_t c)
{
    return c >= char32_t(kFirstLatin) && c <= char32_t(kLastLatin);
}

// The codes of a text read in GBK as the window's import reads it: the line
// as GBK bytes, cut into byte pairs. With --latin the printable ASCII
// characters go to *latin instead.
std::vector<std::string> gbkTextCodes(const BuildJob &o, const TextLine &line, std::string *latin)
{
    std::string unencodable;
    auto gbk = lineToGbk(line, &unencodable);
    if (!gbk)
        textFailure(o, "the character \"" + unencodable + "\"", "has no GBK code");
    if (o.latin != BuildJob::Latin::None) {
        std::string kept;
        for (std::size_t i = 0; i < gbk->size();) {
            const std::size_t length = gbkCharacterLength(*gbk, i);
            if (length == 1 && printableAscii(char32_t((*gbk)[i])))
                *latin += (*gbk)[i];
            else
                kept.append(*gbk, i, length);
            i += length;
        }
        *gbk = std::move(kept);
    }
    if (hasSingleByteCharacter(*gbk))
        warn("the text holds single-byte characters; it is cut into byte pairs all the same, so each one shifts "
             "every later pair by a byte");
    return bytePairs(*gbk, gbk->size() / 2);
}

// The codes of a text read in another set: character by character, each one's
// code in the library; with --latin the printable ASCII characters go to
// *latin instead.
std::vector<std::string> setTextCodes(const BuildJob &o, const TextLine &line, std::string *latin)
{
    const std::optional<std::u32string> characters = lineCharacters(line, charSetEncoding(o.set));
    if (!characters)
        textFailure(o, "the bytes",
            o.set == CharSet::Unicode ? std::string("are no UTF-8")
                                      : "are neither UTF-8 nor " + std::string(charSetEncoding(o.set)));
    const CodeNaming library = codeNaming(o);
    std::vector<std::string> codes;
    codes.reserve(characters->size());
    for (const char32_t c : *characters) {
        if (o.latin != BuildJob::Latin::None && printableAscii(c)) {
            *latin += char(c);
            continue;
        }
        const std::optional<std::string> code = namedCode(library, c);
        if (!code)
            textFailure(o, "the character \"" + encodeUtf8(c) + "\"",
                "has no " + std::string(charSetTitle(librarySet(o))) + " code");
        codes.push_back(*code);
    }
    return codes;
}

// The codes of the characters, and in *latin the text's characters for
// half-width glyphs.
std::vector<std::string> givenCodes(const BuildJob &o, std::string *latin)
{
    if (o.characters == BuildJob::Characters::Codes)
        return libraryCodes(o, o.set, o.codes, [&o](const std::string &code, std::optional<char32_t> c) {
            throw UsageError("--codes: " + whatIsMissing(code, c, o.set) + " has no "
                + std::string(charSetTitle(librarySet(o))) + " code");
        });
    if (o.characters == BuildJob::Characters::Charset) {
        CharSet in = CharSet::Gbk;
        const std::vector<std::string> codes = charsetCodesOf(o.charset, in);
        std::size_t left = 0;
        std::vector<std::string> kept
            = libraryCodes(o, in, codes, [&left](const std::string &, std::optional<char32_t>) { ++left; });
        if (left > 0)
            warn("--charset " + o.charset + ": " + std::to_string(left) + " of its characters have no "
                + std::string(charSetTitle(librarySet(o))) + " code and are left out");
        return kept;
    }
    const TextLine line = givenLine(o);
    if (o.set != CharSet::Gbk)
        return setTextCodes(o, line, latin);
    return libraryCodes(
        o, CharSet::Gbk, gbkTextCodes(o, line, latin), [&o](const std::string &code, std::optional<char32_t> c) {
            textFailure(o, whatIsMissing(code, c, CharSet::Gbk),
                "has no " + std::string(charSetTitle(librarySet(o))) + " code");
        });
}

} // namespace

std::vector<std::string> characterCodes(const BuildJob &o, std::string *latin)
{
    std::string text;
    std::vector<std::string> codes = givenCodes(o, &text);
    checkFont16sCodes(o, codes);
    if (latin)
        *latin = std::move(text);
    return codes;
}

namespace {

// Runs a step of a build that reads or writes a file; a file error becomes an
// InputError that says what failed: "`failure`: why".
template <typename Step> auto step(const std::string &failure, Step &&run) -> decltype(run())
{
    try {
        return run();
    } catch (const IoError &e) {
        throw InputError(failure + ": " + ioErrorText(e));
    } catch (const std::filesystem::filesystem_error &e) {
        throw InputError(failure + ": " + e.code().message());
    }
}

// "Font16s" was looked for at `places` and is at none of them.
std::string notFoundAt(const std::vector<std::string> &places)
{
    std::string text = "not found at ";
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (i)
            text += i + 1 < places.size() ? ", " : " or ";
        text += places[i].starts_with('/') ? places[i] : "./" + places[i];
    }
    return text + " (--font16s PATH names it)";
}

// The point size to draw at, the face or font file checked: a missing face is
// a usage error, a font file that cannot be read an input error.
int resolvedPointSize(const BuildJob &o)
{
    FreeTypeRasterizer fonts;
    return checkedPointSize(checkedFace(fonts, o), o.pointSize, defaultPointSize(o.size), o.size);
}

GlyphRecipe recipeOf(const BuildJob &o)
{
    GlyphRecipe recipe;
    recipe.size = o.size;
    recipe.mode = o.mode;
    recipe.effects = o.effects;
    recipe.font16s = o.font16s;
    recipe.variant = o.variant;
    recipe.face = o.face;
    recipe.set = librarySet(o);
    recipe.pointSize = o.font16s ? o.pointSize.value_or(defaultPointSize(o.size)) : resolvedPointSize(o);
    if (o.font16s && o.font16sPath.empty())
        throw InputError("cannot open Font16s: " + notFoundAt(o.font16sPlaces));
    if (o.font16s)
        recipe.font16sBytes = step("cannot open " + o.font16sPath, [&o] {
            InputFile file(o.font16sPath);
            return file.readAt(0, std::size_t(file.size()));
        });
    return recipe;
}

// The characters of the half-width glyphs, each once and ascending: the
// printable ASCII characters of the text, or all of them.
std::string halfWidthCharacters(const BuildJob &o, std::string text, const std::vector<std::string> &codes)
{
    if (o.latin == BuildJob::Latin::All)
        for (char c = kFirstLatin; c <= kLastLatin; ++c)
            text += c;
    std::sort(text.begin(), text.end());
    text.erase(std::unique(text.begin(), text.end()), text.end());
    // A code point of a square glyph must not be a half-width glyph's too.
    if (o.set == CharSet::Unicode && !text.empty())
        for (const std::string &code : codes)
            if (const std::uint32_t cp = codeNumberOf(code);
                printableAscii(cp) && text.find(char(cp)) != std::string::npos)
                throw UsageError("--codes: " + codeHex(code) + " is a half-width glyph of --latin too");
    return text;
}

std::vector<std::string> givenCodesOf(const BuildJob &o, const GlyphRecipe &recipe, std::string &latin)
{
    std::string text;
    std::vector<std::string> given = step("cannot read " + textFileName(o.text), [&] {
        return o.characters == BuildJob::Characters::Charset && o.charset == "all"
            ? font16sCodes(recipe.font16sBytes, o.variant)
            : characterCodes(o, &text);
    });
    latin = halfWidthCharacters(o, text, given);
    if (given.empty() && latin.empty())
        warn("no character to add: the library is empty");
    return given;
}

// Only C source and headers carry the build note with the digest of the font
// file; for the other formats the font file is merely checked to be readable.
// The rasteriser that names the font file draws the first share of the
// glyphs: its fontconfig start-up is paid once.
void findFontFile(const BuildJob &o, const RasterizerFactory &factory, PreparedBuild &build)
{
    const bool noted = o.format == FileFormat::CSource || o.format == FileFormat::CHeader;
    if (o.font16s) {
        build.fontPath = o.font16sPath;
        if (noted)
            build.fontDigest = sha256Hex(build.recipe.font16sBytes);
        return;
    }
    build.firstRasterizer = factory();
    const std::string fontPath = build.firstRasterizer->fontFile(o.face);
    build.fontPath = fontPath;
    if (!fontPath.empty() && noted)
        build.digestJob = std::async(std::launch::async, [fontPath] { return fontFileDigest(fontPath); });
    else if (!fontPath.empty())
        step("cannot read the font file " + fontPath, [&fontPath] { InputFile readable(fontPath); });
}

// The drawn library, or the failure of the first glyph that could not be
// drawn, once the digest of the font file (drawn alongside) has been taken:
// an unreadable font file is reported before a glyph that failed.
// The drawing threads of a build; the rasteriser that named the font file
// draws the first share of the glyphs, so that its start-up is paid once.
int drawingJobs(const BuildJob &o)
{
    return o.jobs > 0 ? o.jobs : int(std::max(1u, std::thread::hardware_concurrency()));
}

RasterizerFactory drawersOf(PreparedBuild &build, const RasterizerFactory &factory)
{
    return [&build, &factory] { return build.firstRasterizer ? std::move(build.firstRasterizer) : factory(); };
}

// Raises the failure of a drawing with its message: "cannot render" the
// first glyph that failed.
void renderFailure(const BuildJob &o, const std::string &code, const std::exception_ptr &error)
{
    step("cannot render " + codeLabel(code, codeNaming(o)) + (o.font16s ? " from " + o.font16sPath : ""),
        [&error] { std::rethrow_exception(error); });
}

LibraryContent drawnLibrary(
    const BuildJob &o, PreparedBuild &build, const RasterizerFactory &factory, std::vector<CGlyphText> &cPieces)
{
    const std::vector<std::string> &codes = build.codes;
    const RasterizerFactory drawers = drawersOf(build, factory);
    const int jobs = drawingJobs(o);
    // The text of C output is written by the drawing threads, a chunk of
    // glyphs as soon as it is drawn.
    ChunkDone chunkDone;
    if (o.format == FileFormat::CSource) {
        const std::size_t chunkSize = chunkGlyphs(codes.size(), jobs);
        cPieces.resize((codes.size() + chunkSize - 1) / chunkSize);
        chunkDone = [&cPieces, &o, &build, chunkSize](const LibraryContent &done, std::size_t from, std::size_t to) {
            cPieces[from / chunkSize] = cGlyphText(done.glyphs, build.keyCodes.empty() ? done.codes : build.keyCodes,
                o.size, o.mode, from, to, 0, cNaming(o));
        };
    }
    std::size_t failedAt = 0;
    LibraryContent content;
    std::exception_ptr renderError;
    try {
        content = renderLibrary(build.recipe, codes, drawers, jobs, &failedAt, chunkDone);
    } catch (const IoError &) {
        renderError = std::current_exception();
    }
    if (build.digestJob.valid())
        build.fontDigest
            = step("cannot read the font file " + build.fontPath, [&build] { return build.digestJob.get(); });
    if (renderError)
        renderFailure(o, codes[failedAt], renderError);
    content.half = build.half;
    return content;
}

// C output's NAME_find returns an int, which may have 16 bits.
void warnIfIndexesPassInt16(const BuildJob &o, std::size_t glyphs)
{
    if (glyphs > 32767)
        warn(o.name + "_find returns an int: where int has 16 bits, glyph indexes past 32767 do not fit");
}

// Replaces an output file with what `produce` gives; InputError when it
// cannot be written.
void writeOutput(const std::string &path, const FileProducer &produce)
{
    try {
        replaceFileBy(path, produce, FileSync::LeaveToSystem);
    } catch (const IoError &e) {
        throw InputError("cannot write " + path + ": " + writeFailure(path, e));
    } catch (const std::filesystem::filesystem_error &e) {
        throw InputError("cannot write " + path + ": " + e.code().message());
    }
}

// The file's bytes written, or compared with --check: its exit status.
int writtenFile(const BuildJob &o, const PreparedBuild &build, const LibraryContent &content,
    const std::vector<CGlyphText> &cPieces)
{
    if (o.format == FileFormat::CSource)
        warnIfIndexesPassInt16(o, content.glyphs.size());
    const std::vector<std::string> note
        = buildNote(o, build.recipe.pointSize, build.fontPath, build.fontDigest, build.givenCount);
    // C text stays in the drawing threads' pieces; other formats are one string.
    std::vector<std::size_t> cStarts;
    std::optional<CSourceText> cText;
    std::string bytes;
    // C output of Unicode keys, and an LVGL font, hold the code points in place
    // of the codes.
    LibraryContent keyed;
    if (!build.keyCodes.empty())
        keyed = {content.glyphs, build.keyCodes, false, content.half};
    const LibraryContent &written = build.keyCodes.empty() ? content : keyed;
    if (o.format == FileFormat::CSource)
        cText = cSourceText(written, o.size, o.mode, o.name, kToolName, note, cPieces, &cStarts, cNaming(o));
    else
        bytes = libraryFileBytes(written, o.format, o.size, o.mode, o.name, note,
            build.keyCodes.empty() ? codeNaming(o) : CodeNaming{CharSet::Unicode}, o.grid);
    // A grid image has its C header beside it.
    const std::string headerPath = o.format == FileFormat::Grid ? gridHeaderPath(o.output) : std::string();
    const std::string header = headerPath.empty() ? std::string() : gridHeader(o.grid, o.name, kToolName);
    if (o.check) {
        int status = step("cannot read " + o.output,
            [&] { return checkFile(o, o.output, cText ? cText->joined() : bytes, content, cStarts); });
        if (!headerPath.empty())
            status = std::max(status,
                step("cannot read " + headerPath, [&] { return checkFile(o, headerPath, header, content, cStarts); }));
        return status;
    }
    writeOutput(o.output, [&](ByteSink &sink) {
        for (const std::string_view part : cText ? cText->parts() : std::vector<std::string_view>{bytes})
            sink.write(part);
    });
    if (!headerPath.empty())
        writeOutput(headerPath, [&header](ByteSink &sink) { sink.write(header); });
    return kExitOk;
}

// How a file is written while its glyphs are drawn. The drawing threads make
// a Piece of each chunk of glyphs (`piece`); once the digest of the font file
// is known, `opening` gives the start of the file, the streamed text of each
// piece follows as soon as it is there (its memory given back), and `rest`
// writes the end from all pieces.
template <typename Piece> struct StreamedFile {
    std::function<Piece(const LibraryContent &done, std::size_t from, std::size_t to)> piece;
    std::function<std::string &(Piece &)> streamed;
    std::function<std::string()> opening;
    std::function<void(ByteSink &, std::vector<Piece> &)> rest;
};

// A file written while its glyphs are drawn, so that writing it is no step of
// its own after the drawing. The file replaces the old one only once every
// glyph is drawn; a glyph that cannot be drawn, or a font file that cannot be
// read (reported first), leaves it as it was.
template <typename Piece>
LibraryContent drawnAndStreamed(
    const BuildJob &o, PreparedBuild &build, const RasterizerFactory &factory, const StreamedFile<Piece> &file)
{
    const std::vector<std::string> &codes = build.codes;
    const RasterizerFactory drawers = drawersOf(build, factory);
    const int jobs = drawingJobs(o);
    const std::size_t chunkSize = chunkGlyphs(codes.size(), jobs);
    std::vector<Piece> pieces((codes.size() + chunkSize - 1) / chunkSize);
    std::vector<bool> ready(pieces.size());
    bool finished = false;
    std::mutex lock;
    std::condition_variable changed;
    const ChunkDone chunkDone = [&](const LibraryContent &done, std::size_t from, std::size_t to) {
        Piece text = file.piece(done, from, to);
        const std::lock_guard guard(lock);
        pieces[from / chunkSize] = std::move(text);
        ready[from / chunkSize] = true;
        changed.notify_all();
    };
    std::size_t failedAt = 0;
    std::future<LibraryContent> drawing = std::async(std::launch::async, [&] {
        struct Finished {
            std::mutex &lock;
            std::condition_variable &changed;
            bool &finished;
            ~Finished()
            {
                const std::lock_guard guard(lock);
                finished = true;
                changed.notify_all();
            }
        } signal{lock, changed, finished};
        return renderLibrary(build.recipe, codes, drawers, jobs, &failedAt, chunkDone);
    });

    if (build.digestJob.valid()) {
        try {
            build.fontDigest = build.digestJob.get();
        } catch (...) {
            const std::exception_ptr error = std::current_exception();
            drawing.wait();
            step("cannot read the font file " + build.fontPath, [&error] { std::rethrow_exception(error); });
        }
    }
    struct DrawingFailed { };
    try {
        const std::string opening = file.opening();
        writeOutput(o.output, [&](ByteSink &sink) {
            sink.write(opening);
            for (std::size_t c = 0; c < pieces.size(); ++c) {
                std::unique_lock guard(lock);
                changed.wait(guard, [&] { return ready[c] || finished; });
                if (!ready[c])
                    throw DrawingFailed();
                guard.unlock();
                std::string &text = file.streamed(pieces[c]);
                sink.write(text);
                std::string().swap(text);
            }
            file.rest(sink, pieces);
        });
    } catch (const DrawingFailed &) {
        // the drawing's own failure follows
    } catch (...) {
        drawing.wait();
        throw;
    }
    LibraryContent content;
    std::exception_ptr renderError;
    try {
        content = drawing.get();
    } catch (const IoError &) {
        renderError = std::current_exception();
    }
    if (renderError)
        renderFailure(o, codes[failedAt], renderError);
    content.half = std::move(build.half);
    return content;
}

std::vector<std::string> noteOf(const BuildJob &o, const PreparedBuild &build)
{
    return buildNote(o, build.recipe.pointSize, build.fontPath, build.fontDigest, build.givenCount);
}

// C source: the text of each chunk's glyphs streamed, their lines of
// NAME_codes written after NAME_glyphs.
LibraryContent drawnAndWrittenC(const BuildJob &o, PreparedBuild &build, const RasterizerFactory &factory)
{
    const std::vector<std::string> &keys = build.keyCodes.empty() ? build.codes : build.keyCodes;
    warnIfIndexesPassInt16(o, keys.size());
    CSourceText frame;
    StreamedFile<CGlyphText> file;
    file.piece = [&](const LibraryContent &done, std::size_t from, std::size_t to) {
        return cGlyphText(done.glyphs, keys, o.size, o.mode, from, to, 0, cNaming(o));
    };
    file.streamed = [](CGlyphText &piece) -> std::string & { return piece.glyphs; };
    file.opening = [&] {
        frame = cSourceFrame(
            cCodeNumbers(keys), o.size, o.mode, o.name, kToolName, noteOf(o, build), cNaming(o), build.half);
        return frame.opening;
    };
    file.rest = [&](ByteSink &sink, std::vector<CGlyphText> &pieces) {
        sink.write(frame.between);
        for (const CGlyphText &piece : pieces)
            sink.write(piece.codes);
        sink.write(frame.closing);
    };
    return drawnAndStreamed(o, build, factory, file);
}

// An LVGL font as C source: the glyphs in code point order (the half-width
// ones, of ASCII, first), each chunk's bitmaps streamed; the descriptors and
// character maps written at the end.
LibraryContent drawnAndWrittenLvgl(const BuildJob &o, PreparedBuild &build, const RasterizerFactory &factory)
{
    LvglIndex index{o.size, o.name, {}};
    const HalfGlyphs &half = build.half;
    std::vector<LvglGlyph> halves;
    index.characters.reserve(half.characters.size() + build.keyCodes.size());
    for (std::size_t i = 0; i < half.characters.size(); ++i) {
        halves.push_back({char32_t(static_cast<unsigned char>(half.characters[i])),
            fromFileOrder(half.glyphs[i], half.box, o.mode), halfWidth(o.size)});
        index.characters.push_back({halves.back().codePoint, halves.back().width});
    }
    for (const std::string &key : build.keyCodes)
        index.characters.push_back({char32_t(codeNumberOf(key)), o.size});
    const LvglBitmapText halfText = lvglBitmapText(halves, 0, halves.size(), o.size);
    StreamedFile<LvglBitmapText> file;
    file.piece = [&](const LibraryContent &done, std::size_t from, std::size_t to) {
        std::vector<LvglGlyph> glyphs;
        glyphs.reserve(to - from);
        for (std::size_t g = from; g < to; ++g)
            glyphs.push_back(
                {char32_t(codeNumberOf(build.keyCodes[g])), fromFileOrder(done.glyphs[g], o.size, o.mode), o.size});
        return lvglBitmapText(glyphs, 0, glyphs.size(), o.size);
    };
    file.streamed = [](LvglBitmapText &piece) -> std::string & { return piece.text; };
    file.opening = [&] { return lvglOpening(index, noteOf(o, build)) + halfText.text; };
    file.rest = [&](ByteSink &sink, std::vector<LvglBitmapText> &pieces) {
        pieces.insert(pieces.begin(), halfText);
        lvglClosing(index, pieces, [&sink](std::string_view part) { sink.write(part); });
    };
    return drawnAndStreamed(o, build, factory, file);
}

} // namespace

namespace {

// The codes in ascending order of their code points (a code without a
// character at the private-use point a BDF font gives it), and those code
// points as Unicode codes.
void keyedByCodePoint(const BuildJob &o, PreparedBuild &build)
{
    const std::vector<BdfEncoding> points = bdfEncodings(build.codes, codeNaming(o));
    std::vector<std::size_t> order;
    order.reserve(build.codes.size());
    for (std::size_t g = 0; g < build.codes.size(); ++g) {
        if (!points[g].duplicate)
            order.push_back(g);
        else
            warn(codeLabel(build.codes[g], codeNaming(o)) + " has the character of an earlier code and is left out");
    }
    std::sort(order.begin(), order.end(),
        [&points](std::size_t a, std::size_t b) { return points[a].codePoint < points[b].codePoint; });
    std::vector<std::string> codes;
    codes.reserve(order.size());
    build.keyCodes.reserve(order.size());
    for (const std::size_t g : order) {
        codes.push_back(std::move(build.codes[g]));
        build.keyCodes.push_back(codeBytesOf(CharSet::Unicode, points[g].codePoint));
    }
    build.codes = std::move(codes);
}

} // namespace

PreparedBuild prepareBuild(const BuildJob &o, const RasterizerFactory &factory)
{
    PreparedBuild build;
    build.recipe = recipeOf(o);
    const std::vector<std::string> given = givenCodesOf(o, build.recipe, build.latin);
    build.givenCount = given.size();
    findFontFile(o, factory, build);
    if (!build.latin.empty()) {
        std::unique_ptr<Rasterizer> drawer = o.font16s || build.firstRasterizer ? nullptr : factory();
        build.half
            = halfGlyphs(build.recipe, build.latin, build.firstRasterizer ? build.firstRasterizer.get() : drawer.get());
    }
    // As the window's add does it: a code already in the library is refused.
    build.codes = withoutRepeats(
        given, [&o](const std::string &code) { warn(codeLabel(code, codeNaming(o)) + ": 小字库中已有该区位码的字!"); });
    if (o.key == BuildJob::Key::Unicode || o.format == FileFormat::Lvgl)
        keyedByCodePoint(o, build);
    return build;
}

Sequence preparedGlyph(PreparedBuild &build, const BuildJob &o, const std::string &code)
{
    Surface40 surface;
    return step("cannot render " + codeLabel(code, codeNaming(o)) + (o.font16s ? " from " + o.font16sPath : ""),
        [&] { return glyphSequence(build.recipe, code, build.firstRasterizer.get(), surface); });
}

int runBuild(const BuildJob &o)
{
    try {
        const RasterizerFactory factory = [] { return std::make_unique<FreeTypeRasterizer>(); };
        PreparedBuild build = prepareBuild(o, factory);
        LibraryContent content;
        int status = kExitOk;
        if (o.format == FileFormat::CSource && !o.check) {
            content = drawnAndWrittenC(o, build, factory);
        } else if (o.format == FileFormat::Lvgl && !o.check) {
            content = drawnAndWrittenLvgl(o, build, factory);
        } else {
            std::vector<CGlyphText> cPieces;
            content = drawnLibrary(o, build, factory, cPieces);
            status = writtenFile(o, build, content, cPieces);
        }
        if (o.report) {
            if (!build.keyCodes.empty())
                content.codes = std::move(build.keyCodes); // as C output holds them
            printReport(o, content);
        }
        return status;
    } catch (const InputError &e) {
        error(e.what());
    }
    return kExitIo;
}

} // namespace dotforge::cli
