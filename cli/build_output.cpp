#include "cli/build_output.h"

#include "cli/exit_status.h"
#include "cli/glyph_text.h"
#include "cli/options.h"
#include "cli/tool_name.h"
#include "core/gbk.h"
#include "core/io_error.h"
#include "formats/c_source.h"
#include "formats/file_io.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <string_view>

namespace dotforge::cli {

namespace {

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

// Where a difference at `offset` of an LVGL font's C source lies: at the
// bitmap of a glyph (named by its comment line) or around the bitmaps.
std::string lvglSourcePlace(std::string_view fresh, std::size_t offset)
{
    constexpr std::string_view comment = "\n    /* U+";
    const std::size_t first = fresh.find(comment);
    if (first == std::string_view::npos || offset <= first)
        return "before the first glyph (the opening comment or a declaration)";
    if (offset > fresh.find("\n};", first))
        return "after the bitmaps (the glyph descriptors, the character maps or the font)";
    const std::size_t at = fresh.rfind(comment, offset) + comment.size();
    const std::size_t end = fresh.find(" */", at);
    return "at the bitmap of U+" + std::string(fresh.substr(at, end - at));
}

// Where a difference at `offset` of an LVGL binary font lies: in which table.
std::string lvglBinaryPlace(std::string_view fresh, std::size_t offset)
{
    for (std::size_t at = 0; at + 8 <= fresh.size();) {
        const auto b = [&](std::size_t i) { return std::size_t(static_cast<unsigned char>(fresh[at + i])); };
        const std::size_t length = b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
        if (length < 8)
            break;
        if (offset < at + length)
            return "in its " + std::string(fresh.substr(at + 4, 4)) + " table";
        at += length;
    }
    return "after its last table";
}

// Where the first difference of a checked file lies, in words: the glyph
// (or its code) that the byte at `offset` of the fresh bytes belongs to.
std::string differencePlace(std::size_t offset, const BuildJob &o, const LibraryContent &content,
    const std::string &fresh, const std::vector<std::size_t> &cStarts)
{
    const std::size_t count = content.glyphs.size();
    const std::size_t glyphSize = std::size_t(glyphBytes(o.size));
    auto glyph = [&content, &o](std::size_t g) {
        return "glyph " + std::to_string(g) + " (" + codeLabel(content.codes[g], codeNaming(o)) + ")";
    };
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
    case FileFormat::Lvgl:
        return lvglSourcePlace(fresh, offset);
    case FileFormat::LvglBin:
        return lvglBinaryPlace(fresh, offset);
    case FileFormat::Grid: {
        const GridGeometry grid = gridGeometry(o.grid);
        if (offset < grid.headerBytes)
            return "in the image's header";
        if (offset >= grid.latinOffset && grid.latinSlots > 0)
            return "in the Latin block, at the half-width glyph of "
                + codeHex(std::string(1, char(0x20 + (offset - grid.latinOffset) / grid.latinSlotBytes)));
        const auto slot = std::uint32_t((offset - grid.headerBytes) / grid.slotBytes);
        return "at slot " + std::to_string(slot) + " ("
            + codeLabel(gridCode(o.grid.form, o.grid.set, slot), {o.grid.set}) + ")";
    }
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
    const std::string &half = content.half.characters;
    if (o.format == FileFormat::Bdf && g >= count && g - count < half.size())
        return "at the half-width glyph of " + codeHex(half.substr(g - count, 1)) + " '" + half[g - count] + "'";
    if (g >= count)
        return half.empty() ? "after the last glyph" : "after the last glyph: at the half-width glyphs or after them";
    return code ? "at the code of " + glyph(g) : "at " + glyph(g);
}

} // namespace

// The opening comment's record of the build: every option that shaped the
// bytes, written out whether given or defaulted, and the font file with its
// digest. Options that only steer the run (--check, --report, --jobs, -o) are
// left out, so that a check compares with what a build wrote.
std::vector<std::string> buildNote(
    const BuildJob &o, int pointSize, const std::string &fontPath, const std::string &fontDigest, std::size_t codeCount)
{
    std::string made = std::string(kProgram) + " build --size " + std::to_string(o.size);
    if (o.font16s)
        made += " --source font16s --font16s " + quoted(o.font16sPath) + " --variant " + std::to_string(o.variant);
    else
        made += std::string(" --source ttf ") + (o.fontFile ? "--font-file " : "--font ") + quoted(o.face)
            + " --point-size " + std::to_string(pointSize);
    made += std::string(" --mode ") + modeLetter(o.mode) + " --rotate " + rotationWord(o.effects.rotation) + " --flip "
        + flipWord(o.effects.flip) + " --swap " + swapWord(o.effects.swap) + " --effects-at "
        + (o.effectsAtRender ? "render" : "save");
    switch (o.characters) {
    case BuildJob::Characters::Charset:
        made += " --charset " + o.charset;
        break;
    case BuildJob::Characters::TextFile:
        made += " --text-file " + quoted(o.text);
        break;
    case BuildJob::Characters::Codes:
        made += " --codes (" + std::to_string(o.codes.size()) + " codes)";
        break;
    case BuildJob::Characters::Text:
        made += " --text (" + std::to_string(codeCount) + " codes)";
        break;
    }
    // The set and the keys, where they are not what the build reads by default.
    if (o.setGiven && !(o.characters == BuildJob::Characters::Charset && o.set == charSetNamed(o.charset)))
        made += " --set " + std::string(charSetName(o.set));
    if (o.key == BuildJob::Key::Unicode)
        made += " --key unicode";
    if (o.latin != BuildJob::Latin::None)
        made += o.latin == BuildJob::Latin::All ? " --latin all" : " --latin";
    made += " --name " + o.name;

    std::vector<std::string> note{"Made by: " + made};
    if (o.font16s)
        note.push_back("Glyphs: variant " + std::to_string(o.variant) + " of the dot-matrix font " + fontPath);
    else
        note.push_back("Face: " + o.face + " at " + std::to_string(pointSize) + " points, from "
            + (fontPath.empty() ? "a font file the rasteriser does not name" : fontPath));
    if (!fontDigest.empty())
        note.push_back("SHA-256 of the font file: " + fontDigest);
    return note;
}

// --check: 0 when the file holds exactly `fresh`, 1 when it is missing or differs.
int checkFile(const BuildJob &o, const std::string &path, const std::string &fresh, const LibraryContent &content,
    const std::vector<std::size_t> &cStarts)
{
    std::string old;
    try {
        InputFile file(path);
        old = file.readAt(0, std::size_t(file.size()));
    } catch (const IoError &e) {
        if (e.code() != ioerr::FileNotFound)
            throw;
        std::cerr << kProgram << ": " << path << " is missing\n";
        return 1;
    }
    if (old == fresh)
        return kExitOk;
    const auto [at, unused] = std::mismatch(fresh.begin(), fresh.end(), old.begin(), old.end());
    (void)unused;
    const auto offset = std::size_t(at - fresh.begin());
    std::cerr << kProgram << ": " << path << " differs from the build, first "
              << (path == o.output ? differencePlace(offset, o, content, fresh, cStarts) : "in the declarations")
              << '\n';
    return 1;
}

void printReport(const BuildJob &o, const LibraryContent &content)
{
    const std::size_t count = content.glyphs.size();
    const std::size_t glyphSize = std::size_t(glyphBytes(o.size));
    CDataSizes sizes;
    if (o.format == FileFormat::CSource || o.format == FileFormat::CHeader) {
        sizes = cDataSizes(content, o.size, cNaming(o));
    } else {
        sizes.glyphs = count * glyphSize;
        sizes.codes = 2 * count;
        sizes.half = content.half.characters.size() * std::size_t(boxBytes(content.half.box));
    }
    std::cout << "glyphs: " << count << " x " << glyphSize << " = " << sizes.glyphs << " bytes\n"
              << "codes: " << sizes.codes << " bytes\n"
              << "index: " << sizes.index << " bytes\n"
              << (content.half.empty() ? std::string()
                                       : "half-width glyphs: " + std::to_string(content.half.characters.size()) + " x "
                             + std::to_string(boxBytes(content.half.box))
                             + " + their characters = " + std::to_string(sizes.half) + " bytes\n")
              << "total: " << sizes.total() << " bytes\n";
}

} // namespace dotforge::cli
