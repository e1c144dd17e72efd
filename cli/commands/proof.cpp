// `dotforge-cli proof`: a proof sheet of a library drawn with cairo, every glyph
// enlarged as a display reading the file in the given layout shows it.

#include "cli/command.h"

#include "cli/cairo_api.h"
#include "cli/errors.h"
#include "cli/exit_status.h"
#include "cli/glyph_text.h"
#include "cli/library_files.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/proof_layout.h"
#include "formats/file_io.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

namespace dotforge::cli {

namespace {

const std::vector<OptionSpec> kProofOptions = [] {
    std::vector<OptionSpec> options = libraryLayoutSpecs();
    options.insert(options.end(),
        {
            formatSpec("format", false),
            {"bytes", false},
            namingSetSpec(),
            variantSpec(),
            {.name = "output", .shortName = 'o', .files = {"pdf", "png"}},
            {"help", false, 'h'},
        });
    return options;
}();

const char *const kProofHelp
    = R"(Usage: dotforge-cli proof --size N --mode MODE|--profile NAME [OPTION]... LIBRARY -o FILE
Draw a proof sheet of a .ZMB or .ASM font library: every glyph enlarged as a
display reading the file in the given layout will show it, decoded from the
file's bytes, with its number, code and character. A wrong layout shows as
turned, mirrored or scrambled glyphs before anything is flashed.

)" DOTFORGE_LIBRARY_LAYOUT_HELP R"(      --format zmb|asm         format of LIBRARY (default from its extension)
      --bytes                  print each glyph's bytes in hexadecimal under it
)" DOTFORGE_NAMING_HELP R"(  -o, --output FILE            the sheet: FILE.pdf gives A4 pages, FILE.png
                                 one image
  -h, --help                   display this help and exit

FILE is replaced only when it has been drawn completely.
)";

// The faces of the sheet, found through fontconfig.
constexpr const char *kTextFace = "AR PL UMing CN"; // CJK characters and labels
constexpr const char *kDigitFace = "DejaVu Sans Mono";

struct SurfaceFree {
    void operator()(cairo_surface_t *s) const { cairo().surface_destroy(s); }
};
struct ContextFree {
    void operator()(cairo_t *c) const { cairo().destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceFree>;
using Context = std::unique_ptr<cairo_t, ContextFree>;

// What cairo fails to draw.
class DrawError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void check(cairo_status_t status, const std::string &what)
{
    if (status != CAIRO_STATUS_SUCCESS)
        throw DrawError(what + ": " + cairo().status_to_string(status));
}

// The output file as cairo writes it: the first failure of a write is kept, to
// be raised once cairo has returned, and cairo is told that writing failed.
struct Output {
    ByteSink *sink = nullptr;
    std::exception_ptr failure;
    void raiseFailure() const
    {
        if (failure)
            std::rethrow_exception(failure);
    }
};

cairo_status_t writeOutput(void *closure, const unsigned char *data, unsigned int length)
{
    auto *output = static_cast<Output *>(closure);
    if (output->failure)
        return CAIRO_STATUS_WRITE_ERROR;
    try {
        output->sink->write(std::string_view(reinterpret_cast<const char *>(data), length));
    } catch (...) {
        output->failure = std::current_exception();
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

struct Sheet {
    std::string title; // the header's left part
    int count = 0; // glyphs in the library
    // Glyphs [from, to) of the library.
    std::function<LibraryContent(std::size_t from, std::size_t to)> glyphs;
    int n = 16;
    Layout layout;
    CodeNaming naming; // how the codes name their characters
    ProofGeometry geometry;
};

void text(cairo_t *cr, const char *face, double size, double x, double y, const std::string &utf8)
{
    cairo().select_font_face(cr, face, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo().set_font_size(cr, size);
    cairo().move_to(cr, x, y);
    cairo().show_text(cr, utf8.c_str());
}

void drawHeader(cairo_t *cr, const Sheet &sheet, const std::string &pageText)
{
    const ProofGeometry &g = sheet.geometry;
    cairo().set_source_rgb(cr, 0, 0, 0);
    text(cr, kTextFace, 10, g.margin, g.margin + 12, sheet.title);
    if (!pageText.empty()) {
        cairo_text_extents_t extents;
        cairo().text_extents(cr, pageText.c_str(), &extents);
        text(cr, kTextFace, 10, g.pageWidth - g.margin - extents.x_advance, g.margin + 12, pageText);
    }
}

// Glyph `index` of the library, the glyph `k` of `run`.
void drawGlyph(
    cairo_t *cr, const Sheet &sheet, int index, const LibraryContent &run, std::size_t k, const ProofPlace &at)
{
    const ProofGeometry &g = sheet.geometry;
    const Sequence &bytes = run.glyphs[k];
    const std::string code = k < run.codes.size() ? run.codes[k] : std::string();

    cairo().set_source_rgb(cr, 0, 0, 0);
    const std::string shown = shownCharacter(code, sheet.naming);
    text(cr, kTextFace, 9, at.x, at.y - 4,
        std::to_string(index + 1) + "  " + codeHex(code) + (shown.empty() ? "" : "  " + shown));

    // The dots: light squares, ink in black, as the display shows the glyph.
    const GlyphPlane glyph = decodeGlyph(bytes, sheet.n, sheet.layout.mode, sheet.layout.effects);
    const double d = g.dot();
    const double inset = d * 0.06;
    cairo().set_source_rgb(cr, 0.93, 0.93, 0.93);
    cairo().rectangle(cr, at.x, at.y, g.glyphSide, g.glyphSide);
    cairo().fill(cr);
    cairo().set_source_rgb(cr, 0, 0, 0);
    for (int y = 0; y < sheet.n; ++y)
        for (int x = 0; x < sheet.n; ++x)
            if (glyph.dot(x, y))
                cairo().rectangle(cr, at.x + x * d + inset, at.y + y * d + inset, d - 2 * inset, d - 2 * inset);
    cairo().fill(cr);
    cairo().set_source_rgb(cr, 0.6, 0.6, 0.6);
    cairo().set_line_width(cr, 0.5);
    cairo().rectangle(cr, at.x - 0.25, at.y - 0.25, g.glyphSide + 0.5, g.glyphSide + 0.5);
    cairo().stroke(cr);

    if (g.bytes) {
        cairo().set_source_rgb(cr, 0.15, 0.15, 0.15);
        for (int line = 0; line < g.bytesLines(); ++line) {
            std::string hex;
            for (int k = 0; k < g.bytesPerLine(); ++k) {
                const std::size_t t = std::size_t(line * g.bytesPerLine() + k);
                char digits[4];
                std::snprintf(digits, sizeof digits, "%02X", t < bytes.size() ? bytes[t] : 0);
                hex += (k > 0 ? " " : "") + std::string(digits);
            }
            text(cr, kDigitFace, 6.5, at.x, at.y + g.glyphSide + 4 + (line + 1) * g.bytesLineHeight - 1.5, hex);
        }
    }
}

// The pages are written as they are drawn.
void drawPdf(const Sheet &sheet, ByteSink &sink)
{
    const ProofGeometry &g = sheet.geometry;
    Output output{&sink, {}};
    const Surface surface(cairo().pdf_surface_create_for_stream(writeOutput, &output, g.pageWidth, g.pageHeight));
    check(cairo().surface_status(surface.get()), "cannot start the PDF");
    cairo().pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, sheet.title.c_str());
    cairo().pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "dotforge-cli");
    const Context cr(cairo().create(surface.get()));
    const int count = sheet.count;
    const int pages = std::max(1, (count + g.glyphsPerPage() - 1) / g.glyphsPerPage());
    for (int page = 0; page < pages; ++page) {
        drawHeader(cr.get(), sheet, "page " + std::to_string(page + 1) + " of " + std::to_string(pages));
        const int first = page * g.glyphsPerPage();
        const int last = std::min(count, (page + 1) * g.glyphsPerPage());
        const LibraryContent run
            = first < last ? sheet.glyphs(std::size_t(first), std::size_t(last)) : LibraryContent();
        for (int i = first; i < last; ++i)
            drawGlyph(cr.get(), sheet, i, run, std::size_t(i - first), proofPlace(g, i, false, count));
        cairo().show_page(cr.get());
        output.raiseFailure();
    }
    check(cairo().status(cr.get()), "cannot draw the PDF");
    cairo().surface_finish(surface.get());
    output.raiseFailure();
    check(cairo().surface_status(surface.get()), "cannot write the PDF");
}

void drawPng(const Sheet &sheet, ByteSink &sink)
{
    const ProofGeometry &g = sheet.geometry;
    const int count = sheet.count;
    const int width = int(std::ceil(g.imageWidth(count) * kPngScale));
    const int height = int(std::ceil(g.imageHeight(count) * kPngScale));
    const Surface surface(cairo().image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    check(cairo().surface_status(surface.get()),
        "cannot make an image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
    const Context cr(cairo().create(surface.get()));
    cairo().set_source_rgb(cr.get(), 1, 1, 1);
    cairo().paint(cr.get());
    cairo().scale(cr.get(), kPngScale, kPngScale);
    drawHeader(cr.get(), sheet, "");
    for (int first = 0; first < count; first += int(kGlyphRun)) {
        const int last = std::min(count, first + int(kGlyphRun));
        const LibraryContent run = sheet.glyphs(std::size_t(first), std::size_t(last));
        for (int i = first; i < last; ++i)
            drawGlyph(cr.get(), sheet, i, run, std::size_t(i - first), proofPlace(g, i, true, count));
    }
    check(cairo().status(cr.get()), "cannot draw the image");
    cairo().surface_flush(surface.get());
    Output output{&sink, {}};
    const cairo_status_t written = cairo().surface_write_to_png_stream(surface.get(), writeOutput, &output);
    output.raiseFailure();
    check(written, "cannot encode the PNG");
}

bool endsWithIgnoringCase(const std::string &text, const std::string &end)
{
    if (text.size() < end.size())
        return false;
    for (std::size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) != end[i])
            return false;
    return true;
}

int runProof(const Arguments &a)
{
    const int n = dotSizeOption(a, std::nullopt);
    const Layout layout = layoutOption(a, "mode", std::nullopt);
    const CodeNaming naming = namingOption(a);
    const std::string &path = a.positionals(1, "give the library file")[0];
    const FileFormat format = chooseFormat(a.value("format"), path, "format", false);
    if (!a.has("output") || a.value("output").empty())
        throw UsageError("no output file: give -o FILE.pdf or -o FILE.png");
    const std::string out = a.value("output");
    const bool png = endsWithIgnoringCase(out, ".png");
    if (!png && !endsWithIgnoringCase(out, ".pdf"))
        throw UsageError("cannot tell the kind of sheet from '" + out + "': name it .pdf or .png");

    const std::string reading = "cannot read " + path;
    std::string doing = reading;
    bool writing = false;
    try {
        const LibraryFile file(path, format, n);
        if (file.count() == 0)
            warn(path + " holds no glyph at " + std::to_string(n) + " dots");
        Sheet sheet;
        sheet.count = int(file.count());
        sheet.glyphs = [&](std::size_t from, std::size_t to) {
            doing = reading;
            writing = false;
            LibraryContent run = file.glyphs(from, to);
            doing = "cannot write " + out;
            writing = true;
            return run;
        };
        sheet.n = n;
        sheet.layout = layout;
        sheet.naming = naming;
        sheet.geometry.n = n;
        sheet.geometry.bytes = a.has("bytes");
        const LayoutProfile *profile = profileOf(layout);
        // The name as it can be shown, whatever its encoding.
        sheet.title = readableText(std::filesystem::path(path).filename().string()) + ": "
            + std::to_string(file.count()) + " glyphs of " + std::to_string(n) + " dots as "
            + (profile ? std::string(profile->name) + " (" + layoutOptions(layout) + ")" : layoutOptions(layout))
            + " shows them";
        doing = "cannot write " + out;
        writing = true;
        replaceFileBy(
            out, [&](ByteSink &sink) { png ? drawPng(sheet, sink) : drawPdf(sheet, sink); }, FileSync::LeaveToSystem);
        return kExitOk;
    } catch (const IoError &e) {
        error(doing + ": " + (writing ? writeFailure(out, e) : e.what()));
    } catch (const DrawError &e) {
        error("cannot draw " + out + ": " + e.what());
    } catch (const std::runtime_error &e) {
        error(doing + ": " + e.what());
    }
    return kExitIo;
}

} // namespace

const Command kProofCommand{"proof", "draw a proof sheet (PDF or PNG) of a library as a display shows it",
    kProofOptions, kProofHelp, true, runProof, {kLibraryFiles}};

} // namespace dotforge::cli
