#pragma once
// `dotforge-cli build`: its options, the characters they name, and the run.
// The glyphs are made as the window makes them (cli/batch_library.h), without
// the window's limit of 200.

#include "cli/arguments.h"
#include "cli/library_files.h"
#include "formats/layout.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace dotforge::cli {

struct BuildOptions {
    int size = 16;
    bool font16s = false; // the dot-matrix source instead of TrueType
    std::string font16sPath = "Font16s";
    int variant = 0; // 0 simplified, 1 traditional, 2 Japanese, 3 Korean
    std::string face = "宋体"; // or, with --font-file, the font file's absolute path
    bool fontFile = false; // --font-file: `face` is a path
    std::optional<int> pointSize; // the window's default for the size (or a bitmap font's only
                                  // strike) when not given
    Mode mode = Mode::A;
    Effects effects;
    bool effectsAtRender = false; // the view option "显示默认效果(&V)" ticked

    enum class Characters { Text, TextFile, Codes, Charset };
    Characters characters = Characters::Text;
    std::string text; // --text, or the path of --text-file
    std::vector<std::string> codes; // --codes: two bytes each
    std::string charset; // --charset: gb2312, gb2312-hanzi, gbk or all

    std::string output;
    FileFormat format = FileFormat::Zmb;
    std::string name; // C identifier prefix
    bool check = false; // compare with the output file instead of writing it
    bool report = false; // print the data sizes
    int jobs = 0; // rendering threads; 0: one per core
};

// How much of the first line of a --text-file is read: far more than the
// 21,886 GBK characters take in any encoding.
constexpr std::size_t kMaxTextFileLine = 1024 * 1024;

extern const std::vector<OptionSpec> kBuildOptions;
extern const char *const kBuildHelp;

// Raises UsageError for bad or contradictory arguments.
BuildOptions buildOptions(const Arguments &arguments);

// The character codes to add, in order: --codes as given; a text (or a text
// file's first line) converted to GBK like the window's import and cut into
// byte pairs, all of them; the codes of a --charset other than "all" (which
// needs the font file, see font16sCodes). Warns on stderr about what the
// window would silently drop. Raises UsageError for a --text character without
// a GBK code, and InputError or IoError for a text file that cannot be used;
// with --source font16s, UsageError (InputError for a text file) for a code
// outside the chosen variant.
std::vector<std::string> characterCodes(const BuildOptions &options);

// An input that can be read but not used; exit status kExitIo.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Returns the exit status; messages go to stderr.
int runBuild(const BuildOptions &options);

} // namespace dotforge::cli
