// `dotforge-cli collect`: the distinct non-ASCII characters a product shows,
// gathered from its sources, checked against a character set and written in
// code order as one line for `build --text-file`.

#include "cli/command.h"

#include "cli/collect.h"
#include "cli/errors.h"
#include "cli/exit_status.h"
#include "cli/library_files.h"
#include "cli/messages.h"
#include "core/gbk.h"
#include "core/io_error.h"
#include "formats/file_io.h"
#include "library/text_import.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <set>

namespace dotforge::cli {

namespace {

const std::vector<std::string> kCharsets{"gb2312", "gbk", "gbt12345", "jisx0208", "ksx1001", "unicode"};

const std::vector<OptionSpec> kCollectOptions{
    {.name = "charset", .words = kCharsets},
    {"strict", false},
    {.name = "output", .shortName = 'o', .files = kAnyFile},
    {"help", false, 'h'},
};

const char *const kCollectHelp = R"(Usage: dotforge-cli collect [OPTION]... PATH...
Gather the distinct non-ASCII characters a product shows from its sources and
write them in code order as one line, ready for 'dotforge-cli build
--text-file'. Folders are walked (hidden entries, links to folders and files
holding NUL bytes are passed over). A file is UTF-16 after its byte-order mark,
else UTF-8 or GBK as the text import tells: the whole file when it reads as
UTF-8, else each line on its own.

What counts as shown text:
  .c .h .cc .cpp .cxx .hh .hpp .hxx .inl   string and character literals (raw
                                          strings too), not comments
  .po                                     msgstr strings
  .json                                   string values, not keys
  any other file                          every line
Escapes \uXXXX and \UXXXXXXXX count as the characters they name.

      --charset SET            the character set of the target: gb2312
                                 (default), gbk, gbt12345 (traditional forms
                                 at GB2312's positions), jisx0208, ksx1001, or
                                 unicode (every character); the line is in
                                 code order of the set (code point order for
                                 unicode), for build --set SET
      --strict                 a character outside the set, or bytes that form
                               no character, fail the run
  -o, --output FILE            write the line to FILE (default: standard output)
  -h, --help                   display this help and exit

Every character outside the set is reported on stderr as
FILE:LINE:COLUMN: 'X' U+XXXX is not in GB2312 (columns count characters) and
is left out of the line; so are bytes that form no character, wherever they
stand, as FILE:LINE:COLUMN: byte E9 is neither UTF-8 nor GBK. Exit status: 0 on
success; 1 for bad arguments, or with --strict when a character lies outside
the set or bytes form no character (nothing is written then); 2 when an input
cannot be read (each one is named, the others are still read, and nothing is
written) or the output cannot be written.
)";

// The files a path names: itself, or the files below a folder in name order,
// hidden entries and links to folders left out. `named` tells a file given on
// the command line.
struct InputPath {
    std::string path;
    bool named;
};

using Unreadable = std::function<void(const std::string &path, int err)>;

// The regular files below `folder` (links to files included), each entry that
// cannot be read told to `unreadable` and the walk going on. A folder is read
// whole and closed before the ones below it are entered, so that the depth of a
// tree costs no open files.
std::vector<std::string> filesBelow(const std::string &folder, const Unreadable &unreadable)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::vector<fs::path> folders{folder};
    while (!folders.empty()) {
        const fs::path current = std::move(folders.back());
        folders.pop_back();
        std::error_code ec;
        std::vector<fs::directory_entry> entries;
        for (fs::directory_iterator it(current, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
            entries.push_back(*it);
        if (ec)
            unreadable(current.string(), ec.value()); // the entries read before still count
        // In name order, so that the reports come in an order of their own.
        std::sort(entries.begin(), entries.end());
        const std::size_t below = folders.size();
        for (const fs::directory_entry &entry : entries) {
            if (entry.path().filename().string().starts_with("."))
                continue;
            const fs::file_status own = entry.symlink_status(ec);
            const fs::file_status status = !ec && fs::is_symlink(own) ? entry.status(ec) : own;
            if (ec) {
                unreadable(entry.path().string(), ec.value());
            } else if (fs::is_directory(own)) {
                folders.push_back(entry.path());
            } else if (fs::is_regular_file(status)) {
                files.push_back(entry.path().string());
            }
        }
        std::reverse(folders.begin() + std::ptrdiff_t(below), folders.end());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<InputPath> inputFiles(const std::vector<std::string> &paths, const Unreadable &unreadable)
{
    std::vector<InputPath> files;
    for (const std::string &path : paths) {
        std::error_code ec;
        if (!std::filesystem::is_directory(path, ec)) {
            files.push_back({path, true});
            continue;
        }
        for (std::string &file : filesBelow(path, unreadable))
            files.push_back({std::move(file), false});
    }
    return files;
}

// What the inputs gave so far.
struct Collection {
    CharSet set = CharSet::Gb2312;
    std::set<std::uint32_t> collected;
    std::map<char32_t, std::optional<std::uint32_t>> known; // code of each character met, when in the set
    bool outside = false; // a character outside the set, or bytes that are no character
    bool unreadable = false; // an input that could not be read, each one named
};

void cannotRead(Collection &collection, const std::string &path, const std::string &why)
{
    error("cannot read " + path + ": " + why);
    collection.unreadable = true;
}

// One input read, decoded and collected, with what is wrong in it reported.
void collectFile(const InputPath &input, Collection &collection)
{
    std::string bytes;
    try {
        InputFile file(input.path);
        bytes = file.readAt(0, std::size_t(file.size()));
    } catch (const IoError &e) {
        cannotRead(collection, input.path, e.what());
        return;
    }
    const bool utf16 = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    if (!utf16 && bytes.find('\0') != std::string::npos) {
        if (input.named)
            warn(input.path + " holds NUL bytes and is no text; passed over");
        return;
    }
    const std::optional<std::u32string> text = decodeText(bytes);
    if (!text) {
        warn(input.path + " is broken UTF-16; passed over");
        collection.outside = true;
        return;
    }
    const std::vector<CollectNote> notes
        = collectText(*text, sourceKindOf(input.path), collection.set, collection.collected, collection.known);
    for (const CollectNote &note : notes)
        std::cerr << input.path << ':' << note.at.line << ':' << note.at.column << ": " << note.text << '\n';
    collection.outside = collection.outside || !notes.empty();
}

// The collected characters in code order as one line, to standard output or -o FILE.
int writeLine(const Arguments &a, CharSet set, const std::set<std::uint32_t> &collected)
{
    std::string line;
    for (const std::uint32_t code : collected)
        line += encodeUtf8(collectedCharacter(set, code));
    line += "\n";
    if (!a.has("output")) {
        std::cout << line;
        return kExitOk;
    }
    try {
        replaceFile(a.value("output"), line, FileSync::LeaveToSystem);
        return kExitOk;
    } catch (const IoError &e) {
        error("cannot write " + a.value("output") + ": " + writeFailure(a.value("output"), e));
    }
    return kExitIo;
}

// Exit status: 0, 1 for a character outside the set or bytes that form no
// character with --strict (or bad arguments), 2 when an input cannot be read
// (every one is named) or the output not written.
int runCollect(const Arguments &a)
{
    if (a.positionals().empty())
        throw UsageError("no input: give the files or folders to collect from");
    Collection collection;
    collection.set = *charSetNamed(a.choice("charset", kCharsets, "gb2312"));
    const bool strict = a.has("strict");
    if (a.has("output") && a.value("output").empty())
        throw UsageError("-o needs a file name");

    // Every input that cannot be read is named; the run then writes nothing.
    const auto inputs = inputFiles(a.positionals(), [&collection](const std::string &path, int err) {
        cannotRead(collection, path, IoError(IoError::fromErrno(err)).what());
    });
    for (const InputPath &input : inputs)
        collectFile(input, collection);
    if (collection.unreadable)
        return kExitIo;
    if (strict && collection.outside)
        return kExitUsage;
    return writeLine(a, collection.set, collection.collected);
}

} // namespace

const Command kCollectCommand{"collect",
    "gather the characters a product shows from its sources, check them\nagainst a character set and write them as one "
    "line for build",
    kCollectOptions, kCollectHelp, false, runCollect, {kAnyFile}};

} // namespace dotforge::cli
