#include "cli/batch_build.h"

#include "core/gbk.h"
#include "core/io_error.h"
#include "core/record_file.h"
#include "core/workspace.h"
#include "cli/c_source.h"
#include "cli/glyph_text.h"
#include "cli/layouts.h"
#include "formats/file_io.h"
#include "library/text_import.h"
#include "render/freetype_rasterizer.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace dotforge::cli {

const std::vector<OptionSpec> kBuildOptions{
    {"size"},
    {"source"},
    {"font16s"},
    {"variant"},
    {"font"},
    {"point-size"},
    {"mode"},
    {"profile"},
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
      --font FACE              TrueType face (default 宋体)
      --point-size PT          12 to 28 (default 12, 18 or 22 by dot size)
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
                                 written (default) or when each glyph is rendered
Characters (one of):
      --text TEXT              the characters: UTF-8 (as the shell passes them),
                                 or GBK bytes where they are no valid UTF-8
      --text-file PATH         the first line of a text file; - or /dev/stdin
                                 reads standard input to its end
      --codes B0A1,B0A2,...    GBK codes, two bytes each in hexadecimal; no
                                 control bytes (00 to 1F, 7F)
  A text is cut into byte pairs like the window's import: at most 200, and a
  single-byte character shifts every later pair by one byte.
  Encodings of a text file: a byte-order mark names UTF-8, UTF-16LE or
  UTF-16BE. Without one, a line is UTF-8 when it is valid UTF-8 with a
  character of three or four bytes (every Chinese character is one); anything
  else is read as GBK, since two-byte UTF-8 alone (Latin, Greek, Cyrillic
  letters) is also valid GBK.
Output:
  -o, --output FILE            the library file to write
      --format zmb|asm|c       its format (default from the extension of FILE:
                                 .ZMB, .ASM, .c, or .h for the C declarations)
      --name NAME              prefix of the C names (default: the file's stem)
  -h, --help                   display this help and exit

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
        const std::string code{
            char(std::stoi(item.substr(0, 2), nullptr, 16)), char(std::stoi(item.substr(2), nullptr, 16))};
        // A control byte is no character, and a line end would split the code
        // comment of an .ASM line, which then reads back as other glyphs.
        const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
        if (std::any_of(code.begin(), code.end(), control))
            throw UsageError("invalid code '" + item + "' in --codes: control bytes (00 to 1F, 7F) are no characters");
        codes.push_back(code);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return codes;
}

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

// The scratch folder of a run: TMPDIR/dotforge-cli-PID-XXXXXX, removed at the
// end. One that a killed run left behind is removed by a later run, once the
// process named in it is gone.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::filesystem::path &temp)
    {
        removeStale(temp);
        std::string pattern = (temp / (kPrefix + std::to_string(::getpid()) + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data()))
            throw std::filesystem::filesystem_error(
                "mkdtemp", pattern, std::error_code(errno, std::generic_category()));
        m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    const std::filesystem::path &path() const { return m_path; }

private:
    static constexpr const char *kPrefix = "dotforge-cli-";

    // Our own folders of runs whose process is gone; links are never followed.
    static void removeStale(const std::filesystem::path &temp)
    {
        std::error_code ec;
        for (std::filesystem::directory_iterator it(temp, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            const auto owner = ownerOfName(name, kPrefix);
            struct stat st {};
            if (!owner || ::lstat(it->path().c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()
                || !processGone(*owner))
                continue;
            std::error_code ignored;
            std::filesystem::remove_all(it->path(), ignored);
        }
    }

    std::filesystem::path m_path;
};

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

// FormClose at the end of a run, also when it ends with an error.
struct CloseAtEnd {
    Workspace &ws;
    ~CloseAtEnd() { ws.FormClose(); }
};

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
    for (const char *option :
        o.font16s ? std::vector<const char *>{"font", "point-size"} : std::vector<const char *>{"font16s", "variant"}) {
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
    o.pointSize = a.integer("point-size", 12, 28);

    const Layout layout = layoutOption(a, "mode", Mode::A);
    o.mode = layout.mode;
    o.effects = layout.effects;
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
        // A stream is read to its end: its size tells nothing.
        if (const auto fd = openStream(o.text))
            line = readFirstLine(
                [fd](char *buffer, std::size_t max) { return readSome(*fd, buffer, max); }, kMaxLineBytes, true);
        else
            line = readFirstLine(o.text);
        if (line.truncated || line.moreLines)
            warn(textFileName(o.text) + ": only its first line is imported, as in the window");
    } else {
        const auto end = o.text.find_first_of("\r\n");
        line.bytes = o.text.substr(0, end);
        // An argument comes from the shell, which speaks UTF-8 here: valid UTF-8
        // is taken as such (its byte-order mark says so to the detection), and
        // only other bytes are GBK.
        if (longestUtf8Sequence(line.bytes).value_or(1) > 1)
            line.bytes.insert(0, "\xEF\xBB\xBF");
        if (end != std::string::npos && o.text.find_first_not_of("\r\n", end) != std::string::npos)
            warn("--text: only its first line is imported, as from a text file");
    }
    std::string unencodable;
    const auto gbk = lineToGbk(line, &unencodable);
    if (!gbk) {
        const std::string what = "the character \"" + unencodable + "\"";
        if (fromFile)
            throw InputError(textFileName(o.text) + ": " + what + " has no GBK code; nothing is imported");
        throw UsageError(what + " of --text has no GBK code");
    }
    if (hasSingleByteCharacter(*gbk))
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
        doing = "cannot read " + textFileName(o.text);
        const std::vector<std::string> codes = characterCodes(o);
        if (codes.empty())
            warn("no character to add: the library is empty");
        BatchRasterizer rasterizer;
        if (!o.font16s && !rasterizer.hasFace(o.face))
            throw UsageError("no TrueType face '" + o.face + "' is installed");

        if (o.font16s) {
            // Checked here so that a device or pipe is named as such.
            doing = "cannot open " + o.font16sPath;
            const InputFile font(o.font16sPath);
        }

        // The window's working folder: the store "JQT.TMP", the save's "JQT1.Tmp"
        // and "Font16s" live there, so a private one keeps runs apart.
        doing = "cannot create a temporary folder";
        const std::filesystem::path temp = std::filesystem::temp_directory_path();
        doing += " in " + temp.string();
        const ScratchFolder work(temp);
        const std::filesystem::path workDir = work.path();
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
            prompts.font = FontChoice{o.face, o.pointSize.value_or(ws.FontSize)};
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
        error(doing + ": " + (writing ? writeFailure(o.output, e) : ioErrorText(e)));
    } catch (const InputError &e) {
        error(e.what());
    } catch (const std::filesystem::filesystem_error &e) {
        error(doing + ": " + e.code().message());
    }
    return kExitIo;
}

} // namespace dotforge::cli
