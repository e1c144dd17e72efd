#pragma once
// The end of a build: what C output records about it, the comparison of
// --check and the sizes of --report.

#include "cli/build_job.h"
#include "formats/library_content.h"

#include <cstddef>
#include <string>
#include <vector>

namespace dotforge::cli {

// The opening comment's record of the build: every option that shaped the
// bytes, written out whether given or defaulted (the glyphs drawn at
// `pointSize`), and the font file with its digest. `codeCount`: the codes a
// --text gave, repeats included.
std::vector<std::string> buildNote(const BuildJob &job, int pointSize, const std::string &fontPath,
    const std::string &fontDigest, std::size_t codeCount);

// --check: 0 when the output file `path` (the job's output, or the C header
// of a grid) holds exactly `fresh`, 1 when it is missing or differs (said on
// stderr, with the first differing glyph). `cStarts` as cSource's glyphStarts
// for C output. IoError when the file cannot be read.
int checkFile(const BuildJob &job, const std::string &path, const std::string &fresh, const LibraryContent &content,
    const std::vector<std::size_t> &cStarts);

// --report: the bytes of the glyphs, the codes, the search index and the total.
void printReport(const BuildJob &job, const LibraryContent &content);

} // namespace dotforge::cli
