#include "core/program_folders.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace dotforge {

namespace {

std::optional<std::string> variable(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

// A folder a variable names: absolute, without its trailing slashes ("/"
// becomes "", to which "/dotforge" is added). Nullopt for anything else.
std::optional<std::string> absoluteFolder(const std::optional<std::string> &value)
{
    if (!value || value->empty() || value->front() != '/')
        return std::nullopt;
    std::string folder = *value;
    while (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// $NAME when it names a folder, else $HOME/`underHome`; nullopt when neither does.
std::optional<std::string> homeFolder(
    const std::optional<std::string> &value, const FolderEnvironment &env, const char *underHome)
{
    if (const auto folder = absoluteFolder(value))
        return folder;
    if (const auto home = absoluteFolder(env.home))
        return *home + underHome;
    return std::nullopt;
}

bool takesFiles(const std::string &folder)
{
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Makes `folder` and its missing parents, each with mode 0700.
bool makeFolder(const std::string &folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat st { };
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The data folder of the installation of the running executable: its folder
// with DOTFORGE_DATA_FROM_BIN ("../share/dotforge" for the usual layout).
std::optional<std::string> installedDataFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !program.is_absolute())
        return std::nullopt;
    return (program.parent_path() / DOTFORGE_DATA_FROM_BIN).lexically_normal().string();
}

} // namespace

FolderEnvironment processEnvironment()
{
    return {variable("HOME"), variable("XDG_DATA_HOME"), variable("XDG_DATA_DIRS"), variable("XDG_STATE_HOME"),
        installedDataFolder()};
}

bool mayExist(const std::string &path)
{
    std::error_code error;
    return std::filesystem::exists(path, error) || error;
}

std::vector<std::string> font16sPlaces(const std::string &startFolder, const FolderEnvironment &env)
{
    std::vector<std::string> places;
    const auto add = [&places](const std::string &place) {
        if (std::find(places.begin(), places.end(), place) == places.end())
            places.push_back(place);
    };
    add(startFolder.empty() || startFolder == "." ? "Font16s" : startFolder + "/Font16s");
    if (const auto dataHome = homeFolder(env.dataHome, env, "/.local/share"))
        add(*dataHome + "/dotforge/Font16s");
    const std::string dirs = env.dataDirs && !env.dataDirs->empty() ? *env.dataDirs : "/usr/local/share:/usr/share";
    for (std::size_t start = 0; start <= dirs.size();) {
        const std::size_t colon = std::min(dirs.find(':', start), dirs.size());
        if (const auto folder = absoluteFolder(dirs.substr(start, colon - start)))
            add(*folder + "/dotforge/Font16s");
        start = colon + 1;
    }
    if (const auto installed = absoluteFolder(env.installedData))
        add(std::filesystem::path(*installed + "/Font16s").lexically_normal().string());
    return places;
}

std::string firstFound(const std::vector<std::string> &places, const FileExists &exists)
{
    const auto hit = std::find_if(places.begin(), places.end(), exists);
    return hit != places.end() ? *hit : std::string();
}

Font16sSearch findFont16s(const std::string &startFolder, const FolderEnvironment &env, const FileExists &exists)
{
    Font16sSearch search{font16sPlaces(startFolder, env), {}};
    search.found = firstFound(search.places, exists);
    return search;
}

std::string stateFolder(const FolderEnvironment &env)
{
    const auto stateHome = homeFolder(env.stateHome, env, "/.local/state");
    return stateHome ? *stateHome + "/dotforge" : std::string();
}

std::string windowWriteFolder(const std::string &startFolder, const FolderEnvironment &env)
{
    if (takesFiles(startFolder))
        return startFolder;
    const std::string state = stateFolder(env);
    return !state.empty() && makeFolder(state) ? state : startFolder;
}

} // namespace dotforge
