#include "cli/library_files.h"

#include "cli/errors.h"
#include "cli/glyph_text.h"
#include "cli/messages.h"
#include "cli/tool_name.h"
#include "formats/asm.h"
#include "formats/bdf.h"
#include "formats/c_source.h"
#include "formats/file_io.h"
#include "formats/lvgl.h"
#include "formats/zmb.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string_view>

namespace dotforge::cli {

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Calls `write` with each run of glyphs of the library in order, and the
// index of the run's first glyph.
void eachRun(const LibrarySource &library, const std::function<void(const LibraryContent &, std::size_t)> &write)
{
    for (std::size_t from = 0; from < library.count; from += kGlyphRun)
        write(library.glyphs(from, std::min(library.count, from + kGlyphRun)), from);
}

// The same with the codes of each run only.
void eachCodeRun(
    const LibrarySource &library, const std::function<void(const std::vector<std::string> &, std::size_t)> &write)
{
    std::vector<std::string> codes;
    for (std::size_t from = 0; from < library.count; from += kGlyphRun) {
        codes.clear();
        for (std::size_t g = from; g < std::min(library.count, from + kGlyphRun); ++g)
            codes.push_back(library.code(g));
        write(codes, from);
    }
}

std::string extensionOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return lower(path.substr(dot));
}

} // namespace

std::optional<FileFormat> formatOfName(const std::string &path)
{
    const std::string ext = extensionOf(path);
    if (ext == ".zmb")
        return FileFormat::Zmb;
    if (ext == ".asm")
        return FileFormat::Asm;
    if (ext == ".c")
        return FileFormat::CSource;
    if (ext == ".h")
        return FileFormat::CHeader;
    if (ext == ".bdf")
        return FileFormat::Bdf;
    return std::nullopt;
}

FileFormat chooseFormat(
    const std::string &optionValue, const std::string &path, const std::string &optionName, bool output)
{
    std::optional<FileFormat> format;
    if (optionValue == "zmb")
        format = FileFormat::Zmb;
    else if (optionValue == "asm")
        format = FileFormat::Asm;
    else if (optionValue == "c")
        format = extensionOf(path) == ".h" ? FileFormat::CHeader : FileFormat::CSource;
    else if (optionValue == "bdf")
        format = FileFormat::Bdf;
    else if (optionValue == "grid" && output)
        format = FileFormat::Grid;
    else if (optionValue == "lvgl" && output)
        format = FileFormat::Lvgl;
    else if (optionValue == "lvgl-bin" && output)
        format = FileFormat::LvglBin;
    else if (!optionValue.empty()) {
        std::string valid;
        for (const std::string &word : formatSpec(optionName, output).words)
            valid += (valid.empty() ? "" : ", ") + word;
        throw UsageError("invalid argument '" + optionValue + "' for '--" + optionName + "' (valid: " + valid + ")");
    } else {
        format = formatOfName(path);
    }
    if (!format)
        throw UsageError("cannot tell the format of '" + path + "' from its name; use --" + optionName);
    if (!output && (*format == FileFormat::CSource || *format == FileFormat::CHeader))
        throw UsageError("'" + path + "' is C source, which cannot be read; use --" + optionName);
    if (!output && *format == FileFormat::Bdf)
        throw UsageError("'" + path + "' is a BDF font, read as a glyph source only: build --font-file " + path);
    return *format;
}

OptionSpec formatSpec(const std::string &optionName, bool output)
{
    if (!output)
        return {.name = optionName, .words = {"zmb", "asm"}};
    return {.name = optionName, .words = {"zmb", "asm", "c", "bdf", "lvgl", "lvgl-bin", "grid"}};
}

std::string libraryName(const std::optional<std::string> &given, const std::string &path, FileFormat format)
{
    const std::string stem = std::filesystem::path(path).stem().string();
    if (!given)
        return format == FileFormat::Bdf ? bdfFamilyName(stem) : cIdentifier(stem);
    if (format != FileFormat::CSource && format != FileFormat::CHeader && format != FileFormat::Lvgl
        && format != FileFormat::Grid)
        throw UsageError("--name applies to C output (C, LVGL's C, a grid's header) only");
    if (!isCIdentifier(*given))
        throw UsageError("invalid argument '" + *given + "' for '--name' (a C identifier)");
    return *given;
}

LibraryFile::LibraryFile(const std::string &path, FileFormat format, int n)
    : m_n(n)
{
    // The batch tool has no library of 200: it reads every glyph of a file (the
    // file's size bounds them).
    auto file = std::make_unique<InputFile>(path);
    try {
        if (format == FileFormat::Asm)
            readAsmGlyphs(*file);
        else
            readZmbCodes(*file);
    } catch (const FormatError &e) {
        const bool text = e.fault() == FormatError::Fault::Text || e.fault() == FormatError::Fault::NotText;
        throw InputError(
            path + ": " + e.what() + "; nothing is read. " + (text ? "Is --format right?" : "Is --size right?"));
    }
    if (format == FileFormat::Zmb)
        m_file = std::move(file);
}

void LibraryFile::addCode(std::string_view code)
{
    m_codes += char(code.size());
    m_codes.append(code);
    m_codes.append(2 - code.size(), '\0');
}

void LibraryFile::readAsmGlyphs(InputFile &file)
{
    LineReader lines([&file](char *buffer, std::size_t max) { return file.read(buffer, max); });
    Sequence glyph;
    std::string code;
    std::int64_t lineNumber = 0;
    while (readAsmGlyph(lines, m_n, glyph, code, lineNumber)) {
        // Blocks of a run of glyphs each: no block is ever copied to grow.
        if (m_count % kGlyphRun == 0) {
            m_glyphBlocks.emplace_back();
            m_glyphBlocks.back().reserve(kGlyphRun * glyph.size());
        }
        m_glyphBlocks.back().append(glyph.begin(), glyph.end());
        addCode(code);
        ++m_count;
    }
}

void LibraryFile::readZmbCodes(InputFile &file)
{
    const std::int64_t size = file.size();
    // The window refuses the same files.
    checkZmb(
        size, [&file](std::int64_t offset, std::size_t length) { return file.readAt(offset, length); }, m_n);
    const ZmbLayout layout = zmbLayout(size, m_n, std::numeric_limits<int>::max());
    m_count = std::size_t(layout.fileGlyphs);
    m_codes.reserve(3 * m_count);
    // The codes stand together at the end of the file.
    constexpr std::size_t kCodeRun = 64 * 1024;
    for (std::size_t g = 0; g < m_count; g += kCodeRun) {
        const std::size_t run = std::min(kCodeRun, m_count - g);
        const std::string codes = file.readAt(layout.codeOffset + 2 * std::int64_t(g), 2 * run);
        for (std::size_t i = 0; i < run; ++i)
            addCode(std::string_view(codes).substr(2 * i, 2));
    }
}

LibraryFile::~LibraryFile() = default;

std::string LibraryFile::code(std::size_t g) const
{
    return m_codes.substr(3 * g + 1, std::size_t(static_cast<unsigned char>(m_codes[3 * g])));
}

LibraryContent LibraryFile::glyphs(std::size_t from, std::size_t to) const
{
    const std::size_t glyphSize = std::size_t(glyphBytes(m_n));
    const std::string read = m_file ? m_file->readAt(std::int64_t(from * glyphSize), (to - from) * glyphSize) : "";
    LibraryContent content;
    content.glyphs.reserve(to - from);
    content.codes.reserve(to - from);
    for (std::size_t g = from; g < to; ++g) {
        const char *bytes = m_file ? read.data() + (g - from) * glyphSize
                                   : m_glyphBlocks[g / kGlyphRun].data() + g % kGlyphRun * glyphSize;
        const auto *first = reinterpret_cast<const std::uint8_t *>(bytes);
        content.glyphs.emplace_back(first, first + glyphSize);
        content.codes.push_back(code(g));
    }
    return content;
}

LibraryContent readLibraryFile(const std::string &path, FileFormat format, int n)
{
    const LibraryFile file(path, format, n);
    return file.glyphs(0, file.count());
}

GridSpec gridOption(const Arguments &a, FileFormat format, const std::string &output, const std::string &formatOption,
    CharSet set, int n, Mode mode, bool latin)
{
    if (format != FileFormat::Grid) {
        for (const char *option : {"grid", "header"})
            if (a.has(option))
                throw UsageError(std::string("--") + option + " applies to --" + formatOption + " grid only");
        return {};
    }
    GridSpec spec;
    spec.form = *gridFormNamed(a.choice("grid", gridSpec().words, "full"));
    spec.set = set;
    spec.n = n;
    spec.mode = mode;
    spec.header = a.has("header");
    spec.latin = latin;
    if (const std::optional<std::string> problem = gridProblem(spec))
        throw UsageError(*problem);
    if (gridHeaderPath(output) == output)
        throw UsageError("a grid image writes its C header beside it as " + gridHeaderPath(output)
            + ": give the image another name (" + std::filesystem::path(output).stem().string() + ".bin)");
    return spec;
}

OptionSpec gridSpec()
{
    return {.name = "grid", .words = {"full", "rom"}};
}

std::string gridHeaderPath(const std::string &imagePath)
{
    return std::filesystem::path(imagePath).replace_extension(".h").string();
}

namespace {

// The grid image of a library: every glyph at its slot. Codes outside the
// grid are refused with the first of them named; a repeated code keeps its
// first glyph, with a warning.
std::string gridBytes(const LibrarySource &library, const GridSpec &grid, const CodeNaming &naming)
{
    std::vector<Sequence> glyphs;
    std::vector<std::string> codes;
    glyphs.reserve(library.count);
    codes.reserve(library.count);
    for (std::size_t from = 0; from < library.count; from += kGlyphRun) {
        LibraryContent run = library.glyphs(from, std::min(library.count, from + kGlyphRun));
        for (std::size_t k = 0; k < run.glyphs.size(); ++k) {
            glyphs.push_back(std::move(run.glyphs[k]));
            codes.push_back(setCode(naming, run.codes[k]));
        }
    }
    GridImage image = gridImage(grid, glyphs, codes, library.half);
    if (!image.outside.empty()) {
        const std::size_t g = image.outside.front();
        throw InputError("glyph " + std::to_string(g) + " (" + codeLabel(library.code(g), naming)
            + ") lies outside the " + std::string(gridFormName(grid.form)) + " grid of "
            + std::string(charSetTitle(grid.set)) + " (" + std::to_string(image.outside.size())
            + " glyph(s) in all); nothing is written");
    }
    for (const std::size_t g : image.duplicates)
        warn("glyph " + std::to_string(g) + " (" + codeLabel(library.code(g), naming)
            + ") repeats an earlier code: its slot keeps the earlier glyph");
    return std::move(image.bytes);
}

// The LVGL font of a library: every glyph upright at its code point (a code
// without a character at the private-use one its BDF glyph has), the
// half-width glyphs at their ASCII code points, in ascending order.
LvglFont lvglFontOf(const LibrarySource &library, int n, Mode mode, const std::string &name, const CodeNaming &naming)
{
    const std::vector<BdfEncoding> points = bdfEncodings(library.count, library.code, naming);
    LvglFont font;
    font.n = n;
    font.name = name;
    font.glyphs.reserve(library.count + library.half.characters.size());
    for (std::size_t from = 0; from < library.count; from += kGlyphRun) {
        const LibraryContent run = library.glyphs(from, std::min(library.count, from + kGlyphRun));
        for (std::size_t k = 0; k < run.glyphs.size(); ++k) {
            const BdfEncoding &point = points[from + k];
            if (point.duplicate)
                warn("glyph " + std::to_string(from + k) + " (" + codeLabel(run.codes[k], naming)
                    + ") has the character of an earlier glyph and is left out");
            else
                font.glyphs.push_back({point.codePoint, fromFileOrder(run.glyphs[k], n, mode), n});
        }
    }
    const HalfGlyphs &half = library.half;
    for (std::size_t i = 0; i < half.characters.size(); ++i)
        font.glyphs.push_back({char32_t(static_cast<unsigned char>(half.characters[i])),
            fromFileOrder(half.glyphs[i], half.box, mode), halfWidth(n)});
    std::sort(font.glyphs.begin(), font.glyphs.end(),
        [](const LvglGlyph &a, const LvglGlyph &b) { return a.codePoint < b.codePoint; });
    if (font.glyphs.size() > kLvglMaxGlyphs)
        throw InputError(std::to_string(font.glyphs.size()) + " glyphs are more than an LVGL font holds ("
            + std::to_string(kLvglMaxGlyphs) + "); nothing is written");
    if (lvglNeedsLargeFormat(font))
        warn("the font's bitmaps pass 1 MB: LVGL reads it only with LV_FONT_FMT_TXT_LARGE 1 in lv_conf.h");
    return font;
}

} // namespace

void writeLibraryFile(ByteSink &sink, const LibrarySource &library, FileFormat format, int n, Mode mode,
    const std::string &name, const std::vector<std::string> &buildNote, const CodeNaming &naming, const GridSpec &grid)
{
    const std::size_t count = library.count;
    switch (format) {
    case FileFormat::Zmb: {
        eachRun(library, [&sink](const LibraryContent &run, std::size_t) {
            std::string bytes;
            for (const Sequence &glyph : run.glyphs)
                bytes.append(glyph.begin(), glyph.end());
            sink.write(bytes);
        });
        eachCodeRun(library, [&sink](const std::vector<std::string> &codes, std::size_t) {
            std::string bytes;
            for (const std::string &code : codes)
                appendZmbCode(bytes, code);
            sink.write(bytes);
        });
        return;
    }
    case FileFormat::Asm:
        eachRun(library,
            [&sink, n](const LibraryContent &run, std::size_t) { sink.write(writeAsm(run.glyphs, run.codes, n)); });
        return;
    case FileFormat::CSource: {
        std::vector<std::uint32_t> codeNumbers(count);
        for (std::size_t g = 0; g < count; ++g)
            codeNumbers[g] = cCodeNumber(library.code(g));
        const CSourceText frame = cSourceFrame(codeNumbers, n, mode, name, kToolName, buildNote, naming, library.half);
        codeNumbers = {};
        sink.write(frame.opening);
        eachRun(library, [&sink, &naming, n, mode](const LibraryContent &run, std::size_t from) {
            sink.write(cGlyphText(run, n, mode, 0, run.glyphs.size(), from, naming).glyphs);
        });
        sink.write(frame.between);
        eachCodeRun(library, [&sink, &naming](const std::vector<std::string> &codes, std::size_t from) {
            sink.write(cCodeLines(codes, from, naming));
        });
        sink.write(frame.closing);
        return;
    }
    case FileFormat::CHeader: {
        std::uint32_t largest = 0;
        for (std::size_t g = 0; g < count && naming.set == CharSet::Unicode; ++g)
            largest = std::max(largest, cCodeNumber(library.code(g)));
        sink.write(cHeader(count, n, mode, name, kToolName, buildNote, naming, largest, library.half));
        return;
    }
    case FileFormat::Bdf: {
        const std::vector<BdfEncoding> encodings = bdfEncodings(count, library.code, naming);
        sink.write(bdfHead(encodings, n, name, library.half.characters.size()));
        eachRun(library, [&sink, &encodings, n, mode](const LibraryContent &run, std::size_t from) {
            std::vector<GlyphPlane> planes;
            planes.reserve(run.glyphs.size());
            for (const Sequence &glyph : run.glyphs)
                planes.push_back(fromFileOrder(glyph, n, mode));
            sink.write(bdfGlyphs(planes, run.codes, from, encodings, n));
        });
        sink.write(bdfHalfGlyphs(library.half, n, mode));
        sink.write(bdfEnd());
        return;
    }
    case FileFormat::Grid:
        sink.write(gridBytes(library, grid, naming));
        return;
    case FileFormat::Lvgl:
        sink.write(lvglSource(lvglFontOf(library, n, mode, name, naming), buildNote));
        return;
    case FileFormat::LvglBin:
        sink.write(lvglBinary(lvglFontOf(library, n, mode, name, naming)));
        return;
    }
}

std::string libraryFileBytes(const LibraryContent &content, FileFormat format, int n, Mode mode,
    const std::string &name, const std::vector<std::string> &buildNote, const CodeNaming &naming, const GridSpec &grid)
{
    struct StringSink : ByteSink {
        std::string bytes;
        void write(std::string_view part) override { bytes.append(part); }
    } sink;
    const auto code = [&content](std::size_t g) { return g < content.codes.size() ? content.codes[g] : std::string(); };
    LibrarySource library;
    library.count = content.glyphs.size();
    library.code = code;
    library.half = content.half;
    library.glyphs = [&content, &code](std::size_t from, std::size_t to) {
        LibraryContent run;
        run.glyphs.assign(content.glyphs.begin() + std::ptrdiff_t(from), content.glyphs.begin() + std::ptrdiff_t(to));
        for (std::size_t g = from; g < to; ++g)
            run.codes.push_back(code(g));
        return run;
    };
    writeLibraryFile(sink, library, format, n, mode, name, buildNote, naming, grid);
    return std::move(sink.bytes);
}

std::string ioErrorText(const IoError &error)
{
    return error.code() == ioerr::NotRegularFile ? "not a regular file (a device, pipe or socket)" : error.what();
}

std::string writeFailure(const std::string &path, const IoError &error)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (error.code() == ioerr::FileNotFound && !folder.empty() && !std::filesystem::is_directory(folder, ec))
        return "there is no folder " + folder.string();
    return ioErrorText(error);
}

} // namespace dotforge::cli
