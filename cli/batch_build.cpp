#include "cli/batch_build.h"

#include "cli/c_source.h"
#include "core/io_error.h"
#include "core/workspace.h"
#include "formats/bdf.h"
#include "formats/file_io.h"
#include "library/store_records.h"
#include "library/text_import.h"
#include "render/freetype_rasterizer.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <stdlib.h>
#include <utility>

namespace dotforge::cli {

const std::vector<OptionSpec> kBuildOptions{
    {"size"},
    {"source"},
    {"font16s"},
    {"variant"},
    {"font"},
    {"font-file"},
    {"point-size"},
    {"mode"},
    {"rotate"},
    {"flip"},
    {"swap"},
    {"effects-at"},
    {"text"},
    {"text-file"},
    {"codes"},
    {"format"},
    {"name"},
    {"output", true, 'o'},
    {"help", false, 'h'},
};

const char *const kBuildHelp = R"(Usage: dotforge-cli build [OPTION]... -o FILE
Render characters into a new font library and write it, byte for byte as the
window writes the same choices.

Glyphs:
      --size 16|24|32          dot size (default 16)
      --source ttf|font16s     glyph source (default ttf; font16s at size 16 only)
      --font16s PATH           the dot-matrix font file (default ./Font16s)
      --variant 0|1|2|3        its variant: simplified, traditional, Japanese,
                                 Korean (default 0)
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
      --rotate 0|90|180|270    default rotation in degrees, counter-clockwise
                                 (default 0)
      --flip none|h|v          default flip: h mirrors left to right, v top to
                                 bottom (default none)
      --swap none|lr|ud        default swap of the 8-dot bands: lr of the
                                 columns, ud of the rows (default none)
      --effects-at save|render apply the default effects when the file is
                                 written (default) or when each glyph is rendered
Characters (one of):
      --text TEXT              the characters, UTF-8 or GBK
      --text-file PATH         the first line of a text file, UTF-8 or GBK
      --codes B0A1,B0A2,...    GBK codes, two bytes each in hexadecimal
  A text is cut into byte pairs like the window's import: at most 200, and a
  single-byte character shifts every later pair by one byte.
Output:
  -o, --output FILE            the library file to write
      --format zmb|asm|c|bdf   its format (default from the extension of FILE:
                                 .ZMB, .ASM, .c, .h for the C declarations, .bdf)
      --name NAME              prefix of the C names (default: the file's stem)
  -h, --help                   display this help and exit

A BDF font (BDF 2.1) holds the library's glyphs upright as the window stores
them, one character per glyph at the Unicode code point of its code; a code
without a Unicode character is written at a private-use code point (U+E000 +
its index, or the next free one) with a COMMENT naming it. --mode and the
default effects do not apply to it. Built again from it (--font-file FILE.bdf)
it gives back the same glyphs.

Duplicate codes and a full library (200 glyphs) are warnings on stderr. The
output file is replaced only when it has been written completely.
)";

namespace {

bool isHexDigit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> parseCodes(const std::string &list)
{
    std::vector<std::string> codes;
    std::size_t start = 0;
    for (;;) {
        const auto comma = list.find(',', start);
        const std::string item = trimmed(list.substr(start, comma == std::string::npos ? comma : comma - start));
        if (item.size() != 4 || !std::all_of(item.begin(), item.end(), isHexDigit))
            throw UsageError("invalid code '" + item + "' in --codes (four hexadecimal digits, as B0A1)");
        codes.push_back(
            {char(std::stoi(item.substr(0, 2), nullptr, 16)), char(std::stoi(item.substr(2), nullptr, 16))});
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return codes;
}

// True when something other than line ends follows the first line of a file
// (the next 64 KiB are looked at).
bool moreLinesFollow(const std::string &path, std::size_t firstLineBytes)
{
    InputFile file(path);
    const std::int64_t size = file.size();
    const std::int64_t from = std::int64_t(firstLineBytes);
    if (size <= from)
        return false;
    const std::string rest = file.readAt(from, std::size_t(std::min<std::int64_t>(size - from, 64 * 1024)));
    return rest.find_first_not_of("\r\n") != std::string::npos;
}

// The prompts of a batch run: warnings go to stderr, the questions the batch
// raises itself are answered as it set them up, the save and font dialogs
// answer the choices of the command line.
class BatchPrompts : public Prompts {
public:
    std::string context; // the character being added, for warnings
    std::optional<FontChoice> font; // the font dialog's answer
    std::optional<FileChoice> saveAs; // the save dialog's answer
    int yesAnswers = 0; // questions to answer Yes
    std::vector<std::string> errors; // texts of the default error handler

    Answer ask(BoxKind, const std::string &text, Buttons buttons) override
    {
        if (buttons == Buttons::Ok) {
            warn(context.empty() ? text : context + ": " + text);
            return Answer::Ok;
        }
        if (yesAnswers > 0) {
            --yesAnswers;
            return Answer::Yes;
        }
        warn("unexpected question answered No: " + text);
        return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
    void message(const std::string &text) override { warn(text); }
    void showError(const std::string &text) override
    {
        std::string plain = text;
        if (plain.ends_with('.'))
            plain.pop_back();
        errors.push_back(plain);
    }
    void beep() override { }
    std::optional<FileChoice> openFile(const FileDialogSpec &) override { return std::nullopt; }
    std::optional<FileChoice> saveFile(const FileDialogSpec &) override { return std::exchange(saveAs, std::nullopt); }
    std::optional<FontChoice> chooseFont(const std::string &, int) override { return font; }
    void showHelp(const std::string &) override { }
    void showAbout(const std::string &) override { }

    std::string lastError() const { return errors.empty() ? "I/O error" : errors.back(); }
};

// The rasteriser of a batch run: it draws nothing until the characters are
// added, so the renders of start-up, the dot size and the font choice (whose
// glyphs are never written) open no font.
class BatchRasterizer : public Rasterizer {
public:
    FreeTypeRasterizer fonts;
    bool drawing = false;

    void drawText(
        Surface40 &surface, const std::string &text, const std::string &face, int pointSize, int x, int y) override
    {
        if (drawing)
            fonts.drawText(surface, text, face, pointSize, x, y);
    }
    std::string fontFile(const std::string &face) override { return fonts.fontFile(face); }
    bool hasFace(const std::string &face) override { return fonts.hasFace(face); }
};

// A private folder in the system's temporary folder, removed with what it holds.
struct TemporaryDir {
    std::filesystem::path path;
    std::string error;

    TemporaryDir()
    {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::temp_directory_path(ec);
        if (ec)
            base = "/tmp";
        std::string name = (base / "dotforge-cli-XXXXXX").string();
        if (::mkdtemp(name.data()))
            path = name;
        else
            error = "cannot create a temporary folder in " + base.string() + ": " + std::strerror(errno);
    }
    ~TemporaryDir()
    {
        std::error_code ec;
        if (!path.empty())
            std::filesystem::remove_all(path, ec);
    }
};

// FormClose at the end of a run, also when it ends with an error.
struct CloseAtEnd {
    Workspace &ws;
    ~CloseAtEnd() { ws.FormClose(); }
};

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
FaceStrikes checkedFace(FreeTypeRasterizer &fonts, const BuildOptions &o)
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
int checkedPointSize(const FaceStrikes &strikes, std::optional<int> given, int windowDefault)
{
    if (strikes.scalable) {
        const int pt = given.value_or(windowDefault);
        if (pt < 12 || pt > 28)
            throw UsageError(
                "invalid argument '" + std::to_string(pt) + "' for '--point-size' (an integer from 12 to 28)");
        return pt;
    }
    const std::vector<int> &sizes = strikes.pixelSizes;
    if (!given && sizes.size() == 1 && pointSizeOfPixels(sizes.front()) > 0)
        return pointSizeOfPixels(sizes.front());
    const int pt = given.value_or(windowDefault);
    if (std::find(sizes.begin(), sizes.end(), pixelHeight(pt)) != sizes.end())
        return pt;
    throw UsageError((given ? "the bitmap font " : "give --point-size: the bitmap font ") + strikes.family
        + " has no strike of " + std::to_string(pixelHeight(pt)) + " px (" + std::to_string(pt)
        + " pt); its strikes: " + strikeList(sizes));
}

// The library as the store holds it, as a BDF font named after the output file.
std::string storeAsBdf(Workspace &ws, const std::string &output)
{
    std::vector<GlyphPlane> planes;
    std::vector<std::string> codes;
    for (int i = 0; i < ws.LibCount; ++i) {
        planes.push_back(readPlane(ws.storeFile, i));
        codes.push_back(ws.codeList[std::size_t(i)]);
    }
    return writeBdf(planes, codes, ws.dotSize, bdfFamilyName(std::filesystem::path(output).stem().string()));
}

} // namespace

BuildOptions buildOptions(const Arguments &a)
{
    if (!a.positionals().empty())
        throw UsageError("unexpected argument '" + a.positionals().front() + "'");
    BuildOptions o;
    o.size = std::stoi(a.choice("size", {"16", "24", "32"}, "16"));
    o.font16s = a.choice("source", {"ttf", "font16s"}, "ttf") == "font16s";
    if (o.font16s && o.size != 16)
        throw UsageError("--source font16s needs --size 16: the dot-matrix font holds 16-dot glyphs only");
    for (const char *option : o.font16s ? std::vector<const char *>{"font", "font-file", "point-size"}
                                        : std::vector<const char *>{"font16s", "variant"}) {
        if (a.has(option))
            throw UsageError(
                std::string("--") + option + " applies to --source " + (o.font16s ? "ttf" : "font16s") + " only");
    }
    o.font16sPath = a.value("font16s", "Font16s");
    if (o.font16sPath.empty())
        throw UsageError("--font16s needs a file name");
    o.variant = a.integer("variant", 0, 3).value_or(0);
    o.face = a.value("font", o.face);
    if (o.face.empty())
        throw UsageError("--font needs a face name");
    if (a.has("font-file")) {
        if (a.has("font"))
            throw UsageError("--font and --font-file exclude one another");
        if (a.value("font-file").empty())
            throw UsageError("--font-file needs a file name");
        o.fontFile = true;
        o.face = std::filesystem::absolute(a.value("font-file")).lexically_normal().string();
    }
    // Checked against the face once it is open: bitmap strikes may lie outside
    // the 12 to 28 points of scalable faces.
    o.pointSize = a.integer("point-size", 1, 99);

    o.mode = modeOption(a, "mode", Mode::A);
    o.effects = effectsOption(a);
    o.effectsAtRender = a.choice("effects-at", {"save", "render"}, "save") == "render";

    const int given = int(a.has("text")) + int(a.has("text-file")) + int(a.has("codes"));
    if (given == 0)
        throw UsageError("no characters: give --text, --text-file or --codes");
    if (given > 1)
        throw UsageError("--text, --text-file and --codes exclude one another");
    if (a.has("codes")) {
        o.characters = BuildOptions::Characters::Codes;
        o.codes = parseCodes(a.value("codes"));
    } else if (a.has("text-file")) {
        o.characters = BuildOptions::Characters::TextFile;
        o.text = a.value("text-file");
    } else {
        o.text = a.value("text");
    }

    if (!a.has("output") || a.value("output").empty())
        throw UsageError("no output file: give -o FILE");
    o.output = a.value("output");
    o.format = chooseFormat(a.value("format"), o.output, "format", true);
    if (o.format == FileFormat::Bdf) {
        for (const char *option : {"mode", "rotate", "flip", "swap", "effects-at"})
            if (a.has(option))
                throw UsageError(std::string("--") + option
                    + " does not apply to BDF output: it holds the glyphs upright, as the window stores them");
    }
    const bool cOutput = o.format == FileFormat::CSource || o.format == FileFormat::CHeader;
    if (a.has("name")) {
        if (!cOutput)
            throw UsageError("--name applies to C output only");
        o.name = a.value("name");
        if (!isCIdentifier(o.name))
            throw UsageError("invalid argument '" + o.name + "' for '--name' (a C identifier)");
    } else {
        o.name = cIdentifier(std::filesystem::path(o.output).stem().string());
    }
    return o;
}

std::vector<std::string> characterCodes(const BuildOptions &o)
{
    if (o.characters == BuildOptions::Characters::Codes)
        return o.codes;

    TextLine line;
    const bool fromFile = o.characters == BuildOptions::Characters::TextFile;
    if (fromFile) {
        line = readFirstLine(o.text);
        if (line.truncated || moreLinesFollow(o.text, line.bytes.size()))
            warn(o.text + ": only its first line is imported, as in the window");
    } else {
        const auto end = o.text.find_first_of("\r\n");
        line.bytes = o.text.substr(0, end);
        if (end != std::string::npos && o.text.find_first_not_of("\r\n", end) != std::string::npos)
            warn("--text: only its first line is imported, as from a text file");
    }
    std::string unencodable;
    const auto gbk = lineToGbk(line, &unencodable);
    if (!gbk) {
        const std::string what = "the character \"" + unencodable + "\"";
        if (fromFile)
            throw InputError(o.text + ": " + what + " has no GBK code; nothing is imported");
        throw UsageError(what + " of --text has no GBK code");
    }
    if (std::any_of(gbk->begin(), gbk->end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        warn("the text holds single-byte characters; it is cut into byte pairs all the same, so each one shifts "
             "every later pair by a byte");
    const std::size_t available = gbk->size() / 2;
    if (available > std::size_t(kLibraryCapacity))
        warn("the text holds " + std::to_string(available) + " character codes; only the first "
            + std::to_string(kLibraryCapacity) + " are imported, as in the window");
    return bytePairs(*gbk, kLibraryCapacity);
}

int runBuild(const BuildOptions &o)
{
    std::string doing;
    bool writing = false; // the output file is being written
    try {
        doing = "cannot read " + o.text;
        const std::vector<std::string> codes = characterCodes(o);
        if (codes.empty())
            warn("no character to add: the library is empty");
        BatchRasterizer rasterizer;
        FaceStrikes strikes;
        if (!o.font16s)
            strikes = checkedFace(rasterizer.fonts, o);

        // The window's working folder: the store "JQT.TMP", the save's "JQT1.Tmp"
        // and "Font16s" live there, so a private one keeps runs apart.
        const TemporaryDir work;
        if (work.path.empty()) {
            error(work.error);
            return kExitIo;
        }
        const std::filesystem::path &workDir = work.path;
        if (o.font16s) {
            std::error_code ec;
            std::filesystem::create_symlink(std::filesystem::absolute(o.font16sPath), workDir / "Font16s", ec);
            if (ec) {
                error("cannot link " + o.font16sPath + " into " + workDir.string() + ": " + ec.message());
                return kExitIo;
            }
        }

        BatchPrompts prompts;
        Workspace ws(prompts, rasterizer, workDir.string());
        ws.FormCreate();
        CloseAtEnd closer{ws};
        if (!ws.storeFile.isOpen()) {
            error("cannot create the store file in " + workDir.string() + ": " + prompts.lastError());
            return kExitIo;
        }
        if (o.font16s && !ws.fontFile.isOpen()) {
            error("cannot open " + o.font16sPath + ": " + prompts.lastError());
            return kExitIo;
        }

        doing = "cannot prepare the library";
        if (o.size == 24)
            ws.mnu24Click();
        else if (o.size == 32)
            ws.mnu32Click();
        if (o.font16s) {
            ws.RUClick();
            ws.UJFClick(o.variant);
        } else {
            prompts.font = FontChoice{o.face, checkedPointSize(strikes, o.pointSize, ws.FontSize)};
            ws.FontBtnClick();
        }
        ws.mnuModeClick(o.mode);
        if (o.effects.rotation != Rotation::R0)
            ws.mnuRotationClick(o.effects.rotation);
        if (o.effects.flip != Flip::None)
            ws.mnuFlipClick(o.effects.flip);
        if (o.effects.swap != Swap::None)
            ws.mnuSwapClick(o.effects.swap);
        if (o.effectsAtRender) {
            prompts.yesAnswers = 1; // "本选项改变后,当前小字库中已加入字模将全部清除!继续吗?"
            ws.mnuViewClick();
        }

        // As the text import does it, pair by pair.
        rasterizer.drawing = true;
        for (const std::string &code : codes) {
            prompts.context = codeLabel(code);
            doing = "cannot render " + prompts.context + (o.font16s ? " from " + o.font16sPath : "");
            ws.CurCode = code;
            ws.ChTextOut(ws.CurCode);
            doing = "cannot add " + prompts.context;
            ws.AddBtnClick();
        }
        prompts.context.clear();

        if (o.format == FileFormat::Bdf) {
            doing = "cannot write " + o.output;
            writing = true;
            replaceFile(o.output, storeAsBdf(ws, o.output));
            return kExitOk;
        }

        // The save dialog answers the output file and its type entry; C source is
        // made from the .ZMB the window writes.
        const bool cOutput = o.format == FileFormat::CSource || o.format == FileFormat::CHeader;
        const std::string saved
            = cOutput ? (workDir / "library.ZMB").string() : std::filesystem::absolute(o.output).string();
        prompts.saveAs = FileChoice{saved, o.format == FileFormat::Asm ? int(FileType::ASM) : int(FileType::ZMB)};
        doing = "cannot write " + o.output;
        writing = true;
        ws.SaveXFile();
        if (cOutput) {
            doing = "cannot read back the library";
            writing = false;
            const LibraryContent content = readLibraryFile(saved, FileFormat::Zmb, ws.dotSize);
            doing = "cannot write " + o.output;
            writing = true;
            replaceFile(o.output, libraryFileBytes(content, o.format, ws.dotSize, ws.mode, o.name));
        }
        return kExitOk;
    } catch (const IoError &e) {
        error(doing + ": " + (writing ? writeFailure(o.output, e) : e.what()));
    } catch (const InputError &e) {
        error(e.what());
    } catch (const std::filesystem::filesystem_error &e) {
        error(doing + ": " + e.code().message());
    }
    return kExitIo;
}

} // namespace dotforge::cli
