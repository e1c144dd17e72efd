#pragma once
// Where the program's own files are: the dot-matrix font file "Font16s" it
// reads, and the folder the window writes its store "JQT.TMP" in when the
// folder it started in takes no files. The window and the batch tool look for
// "Font16s" the same way: in the folder they started in, then in
// "dotforge/Font16s" under $XDG_DATA_HOME (else ~/.local/share) and under each
// folder of $XDG_DATA_DIRS (else /usr/local/share:/usr/share), and last in the
// data folder of the installation the program runs from, so that an install
// under any prefix finds its own. A variable that is empty, or a folder in it
// that is not absolute, counts as not set.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dotforge {

// The variables the folders follow, each as set (nullopt when it is not).
struct FolderEnvironment {
    std::optional<std::string> home = std::nullopt; // HOME
    std::optional<std::string> dataHome = std::nullopt; // XDG_DATA_HOME
    std::optional<std::string> dataDirs = std::nullopt; // XDG_DATA_DIRS
    std::optional<std::string> stateHome = std::nullopt; // XDG_STATE_HOME
    // The installation's "share/dotforge", found from the program's own place
    // ("bin/.." of the running executable).
    std::optional<std::string> installedData = std::nullopt;
};

// The variables of this process.
FolderEnvironment processEnvironment();

// Whether there is something at a path.
using FileExists = std::function<bool(const std::string &path)>;

// True unless the path is known to be absent: a file, a folder, a pipe or a
// path that cannot be looked at (its folder refuses access) may be there, and
// opening it says what is wrong with it.
bool mayExist(const std::string &path);

struct Font16sSearch {
    std::vector<std::string> places; // where it was looked for, in order, each once
    std::string found; // the first of them where `exists` finds it; "" when none
};

// Where "Font16s" is looked for, in order, each place once: in `startFolder`
// ("." gives the bare name "Font16s"), then in the data folders of `env`.
std::vector<std::string> font16sPlaces(const std::string &startFolder, const FolderEnvironment &env);
// The first of `places` where `exists` finds something; "" when none.
std::string firstFound(const std::vector<std::string> &places, const FileExists &exists);
// Both: the places and the one found.
Font16sSearch findFont16s(const std::string &startFolder, const FolderEnvironment &env, const FileExists &exists);

// The folder the window keeps its store in when the one it started in takes no
// files: "dotforge" under $XDG_STATE_HOME (else ~/.local/state). "" when
// neither variable names a folder.
std::string stateFolder(const FolderEnvironment &env);

// The folder the window writes its own files in (the store "JQT.TMP" and its
// raw copy "JQT1.Tmp"): `startFolder` when files can be created in it, else
// stateFolder(env), made with mode 0700 (and its missing parents with it)
// when it does not exist. When that cannot be made either, `startFolder`, so
// that the store's own error names the folder it could not be made in.
std::string windowWriteFolder(const std::string &startFolder, const FolderEnvironment &env);

} // namespace dotforge
