#include "tests/support/test_workspace.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dotforge::test {

TempDir::TempDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "dotforge-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Folders a test made read-only must become writable again to be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(
            it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::string font16sPath()
{
#ifdef FONT16S_PATH
    return FONT16S_PATH;
#else
    return "Font16s";
#endif
}

TestWorkspace::TestWorkspace(WorkspaceOptions options)
{
    if (options.withFont16s)
        std::filesystem::create_symlink(font16sPath(), m_dir.path() / "Font16s");
    m_ws = std::make_unique<Workspace>(
        m_prompts, options.rasterizer ? *options.rasterizer : m_blank, m_dir.path().string());
    if (options.start)
        m_ws->FormCreate();
}

TestWorkspace::~TestWorkspace()
{
    if (m_ws)
        m_ws->FormClose();
}

void TestWorkspace::renderArt(const std::vector<std::string> &rows)
{
    m_blank.art = rows;
    try {
        m_ws->SelHZ();
    } catch (...) {
        m_blank.art.clear();
        throw;
    }
    m_blank.art.clear();
}

void TestWorkspace::setGrid(const std::vector<std::string> &rows)
{
    showGrid(*m_ws, rows);
}

// The grid shows the art as DispDot would; the plane the grid was shown from
// and whether it was edited stay as they were, so the art stands for edits of
// that glyph.
void showGrid(Workspace &ws, const std::vector<std::string> &rows)
{
    EditorAccess::show(ws, planeFromArt(rows));
}

void showLibraryGlyph(Workspace &ws, const GlyphPlane &glyph)
{
    addToLibrary(ws, {glyph});
    const int index = ws.library().LibCount() - 1;
    const Library &library = ws.library();
    for (int row = 0; row < library.DG1RowCount(); ++row)
        for (int col = 0; col < library.DG1ColCount(); ++col)
            if (library.glyphAt(col, row) == index) {
                ws.DG1MouseDown(col, row);
                return;
            }
    throw std::logic_error("the list shows no cell for glyph " + std::to_string(index));
}

std::vector<std::string> TestWorkspace::grid() const
{
    return gridArt(*m_ws);
}

std::vector<std::string> gridArt(const Workspace &ws)
{
    std::vector<std::string> rows;
    for (int r = 0; r < ws.dotSize(); ++r) {
        std::string row;
        for (int c = 0; c < ws.dotSize(); ++c)
            row += ws.editorGrid().inked(c, r) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

long goneProcessId()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    if (child < 0)
        throw std::runtime_error("fork failed");
    ::waitpid(child, nullptr, 0);
    return long(child);
}

LockedByAnotherProcess::LockedByAnotherProcess(const std::string &path)
{
    int ready[2];
    int hold[2];
    if (::pipe2(ready, O_CLOEXEC) != 0 || ::pipe2(hold, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        ::close(hold[1]);
        const int fd = ::open(path.c_str(), O_RDWR);
        const char locked = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
        [[maybe_unused]] const auto told = ::write(ready[1], &locked, 1);
        char end;
        while (::read(hold[0], &end, 1) > 0) { }
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(hold[0]);
    m_child = long(child);
    m_hold = hold[1];
    char locked = 'n';
    const auto got = ::read(ready[0], &locked, 1);
    ::close(ready[0]);
    if (got != 1 || locked != 'y')
        throw std::runtime_error("the child could not lock " + path);
}

LockedByAnotherProcess::~LockedByAnotherProcess()
{
    ::close(m_hold);
    ::waitpid(pid_t(m_child), nullptr, 0);
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot write " + path);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

GlyphPlane planeFromArt(const std::vector<std::string> &rows)
{
    GlyphPlane p;
    for (std::size_t r = 0; r < rows.size() && r < 32; ++r)
        for (std::size_t c = 0; c < rows[r].size() && c < 32; ++c)
            p.setDot(int(c), int(r), rows[r][c] == '#');
    return p;
}

std::vector<std::string> artFromPlane(const GlyphPlane &plane, int n)
{
    std::vector<std::string> rows;
    for (int r = 0; r < n; ++r) {
        std::string row;
        for (int c = 0; c < n; ++c)
            row += plane.dot(c, r) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

} // namespace dotforge::test
