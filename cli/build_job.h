#pragma once
// What a build makes, as the engine (cli/batch_build.h) runs it: the glyph
// source, the dot size and layout, the characters and the output file. The
// command line of `build` is read into one by cli/commands/build.cpp.

#include "cli/library_files.h"
#include "formats/layout.h"

#include <optional>
#include <string>
#include <vector>

namespace dotforge::cli {

struct BuildJob {
    int size = 16;
    bool font16s = false; // the dot-matrix source instead of TrueType
    // The dot-matrix font file: as --font16s gives it, else the first of
    // font16sPlaces that holds one ("" when none does; core/program_folders.h).
    std::string font16sPath = "Font16s";
    std::vector<std::string> font16sPlaces;
    int variant = 0; // 0 simplified, 1 traditional, 2 Japanese, 3 Korean
    std::string face = "宋体"; // or, with fontFile, the font file's absolute path
    bool fontFile = false; // `face` is a path
    std::optional<int> pointSize; // the window's default for the size (or a bitmap font's only
                                  // strike) when not given
    Mode mode = Mode::A;
    Effects effects;
    bool effectsAtRender = false; // the view option "显示默认效果(&V)" ticked

    // What the text and the codes are read in: by default GBK, as the window's
    // import reads them. With the dot-matrix source and no set given, they are
    // the variant's codes as they stand (the window's way); with a set given,
    // their characters are looked up in the variant.
    CharSet set = CharSet::Gbk;
    bool setGiven = false; // --set, or a whole set of its own (--charset jisx0208)
    enum class Characters { Text, TextFile, Codes, Charset };
    Characters characters = Characters::Text;
    std::string text; // the text, or the path of the text file
    std::vector<std::string> codes; // two bytes each
    std::string charset; // gb2312, gb2312-hanzi, gbk, jisx0208, ksx1001 or all

    // What NAME_codes of C output holds: the library's codes, or the code
    // points of their characters.
    enum class Key { Code, Unicode };
    Key key = Key::Code;
    // Half-width glyphs of printable ASCII beside the square ones (C and BDF
    // output): none, the text's, or all 95.
    enum class Latin { None, Text, All };
    Latin latin = Latin::None;

    std::string output;
    FileFormat format = FileFormat::Zmb;
    std::string name; // C identifier prefix, or the BDF family name
    GridSpec grid; // with FileFormat::Grid
    bool check = false; // compare with the output file instead of writing it
    bool report = false; // print the data sizes
    int jobs = 0; // rendering threads; 0: one per core
};

// How the build's codes name their characters (C comments, BDF encodings,
// messages): a "Font16s" variant's own set, else GBK.
inline CodeNaming codeNaming(const BuildJob &job)
{
    return job.font16s ? font16sNaming(job.variant) : CodeNaming{job.set};
}

// How C output names its codes: as the build reads them, or as code points
// (PreparedBuild::keyCodes in cli/batch_build.h).
inline CodeNaming cNaming(const BuildJob &job)
{
    return job.key == BuildJob::Key::Unicode ? CodeNaming{CharSet::Unicode} : codeNaming(job);
}

// The set whose grid a grid image has: the set given; else the variant's with
// the dot-matrix source; GB2312 for its whole set; else GBK.
inline CharSet gridSetOf(const BuildJob &job)
{
    if (job.font16s && !job.setGiven)
        return font16sSet(job.variant);
    if (!job.setGiven && job.characters == BuildJob::Characters::Charset && job.charset.starts_with("gb2312"))
        return CharSet::Gb2312;
    return job.set;
}

// The set the library's codes are in: the variant's with the dot-matrix
// source, else the one the characters are read in.
inline CharSet librarySet(const BuildJob &job)
{
    return job.font16s ? font16sSet(job.variant) : job.set;
}

} // namespace dotforge::cli
