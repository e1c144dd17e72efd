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
    std::string font16sPath = "Font16s";
    int variant = 0; // 0 simplified, 1 traditional, 2 Japanese, 3 Korean
    std::string face = "宋体"; // or, with fontFile, the font file's absolute path
    bool fontFile = false; // `face` is a path
    std::optional<int> pointSize; // the window's default for the size (or a bitmap font's only
                                  // strike) when not given
    Mode mode = Mode::A;
    Effects effects;
    bool effectsAtRender = false; // the view option "显示默认效果(&V)" ticked

    enum class Characters { Text, TextFile, Codes, Charset };
    Characters characters = Characters::Text;
    std::string text; // the text, or the path of the text file
    std::vector<std::string> codes; // two bytes each
    std::string charset; // gb2312, gb2312-hanzi, gbk or all

    std::string output;
    FileFormat format = FileFormat::Zmb;
    std::string name; // C identifier prefix, or the BDF family name
    bool check = false; // compare with the output file instead of writing it
    bool report = false; // print the data sizes
    int jobs = 0; // rendering threads; 0: one per core
};

// How the build's codes name their characters (C comments, BDF encodings,
// messages): a "Font16s" variant's own set, else GBK.
inline CodeNaming codeNaming(const BuildJob &job)
{
    return job.font16s ? font16sNaming(job.variant) : CodeNaming{};
}

} // namespace dotforge::cli
