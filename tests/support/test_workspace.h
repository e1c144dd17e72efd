#pragma once
// A workspace in a fresh temporary folder, with scripted prompts. The folder
// gets a link to the generated "Font16s" unless a test asks for none.

#include "tests/support/scripted_prompts.h"
#include "workspace/workspace.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace dotforge::test {

// Draws nothing unless given `art`: every rendered glyph is blank. For tests
// that do not look at glyph shapes and must not depend on installed fonts.
class BlankRasterizer : public Rasterizer {
public:
    void drawText(
        Surface40 &surface, const std::string &text, const std::string &face, int pointSize, int x, int y) override
    {
        lastText = text;
        lastFace = face;
        lastPointSize = pointSize;
        lastX = x;
        lastY = y;
        ++calls;
        for (std::size_t r = 0; r < art.size() && y + int(r) < Surface40::kSize; ++r)
            for (std::size_t c = 0; c < art[r].size() && x + int(c) < Surface40::kSize; ++c)
                if (art[r][c] == '#')
                    surface.setPixel(x + int(c), y + int(r), 0x000000);
    }
    // ASCII art rows ('#' ink) drawn in black from the text cell's corner for
    // every character, as a face with this one glyph would.
    std::vector<std::string> art;
    std::string lastText;
    std::string lastFace;
    int lastPointSize = 0;
    int lastX = 0;
    int lastY = 0;
    int calls = 0;
};

// A fresh temporary folder, removed again at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path &path() const { return m_path; }
    std::string file(const std::string &name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

struct WorkspaceOptions {
    bool withFont16s = true;
    bool start = true; // run FormCreate
    Rasterizer *rasterizer = nullptr; // default: a BlankRasterizer
};

// The library of a workspace, for tests that put glyphs straight into the store
// or select one through the library's own methods.
struct LibraryAccess {
    static Library &of(Workspace &ws) { return ws.m_library; }
};

// Puts glyphs after those the library holds, as the add command stores them,
// leaving the selection as it is. Codes default to none.
inline void addToLibrary(
    Workspace &ws, const std::vector<GlyphPlane> &glyphs, const std::vector<std::string> &codes = {})
{
    Library &library = LibraryAccess::of(ws);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        library.writeNext(glyphs[i]);
        library.admit(i < codes.size() ? codes[i] : std::string());
    }
}

// Puts a glyph after those of the library and selects it in the list, as a
// click on its cell does: the library view shows it (editPlane, libPlane).
void showLibraryGlyph(Workspace &ws, const GlyphPlane &glyph);

// Types GBK text into ChEdit and confirms it with Enter: a typed entry of its
// first character.
inline void typeCharacter(Workspace &ws, const std::string &gbk)
{
    ws.ChEditChange(gbk);
    ws.ChEditKeyPress(13);
}

// The editor grid of a workspace, for showGrid.
struct EditorAccess {
    static void show(Workspace &ws, const GlyphPlane &plane)
    {
        ws.m_editor.show(plane);
        ws.notifyEditor();
    }
};

class TestWorkspace {
public:
    explicit TestWorkspace(WorkspaceOptions options = {});
    ~TestWorkspace();

    Workspace &ws() { return *m_ws; }
    Workspace *operator->() { return m_ws.get(); }
    ScriptedPrompts &prompts() { return m_prompts; }
    BlankRasterizer &blank() { return m_blank; }
    const TempDir &dir() const { return m_dir; }
    Library &library() { return LibraryAccess::of(*m_ws); }

    // Renders the selected character with the blank rasteriser drawing `rows`
    // (the TrueType source): the source plane, the edit plane and the grid hold
    // that glyph.
    void renderArt(const std::vector<std::string> &rows);
    // Sets the grid of the editor from ASCII art rows ('#' ink, anything else
    // blank), as showGrid does.
    void setGrid(const std::vector<std::string> &rows);
    // The editor grid as ASCII art rows of the current dot size.
    std::vector<std::string> grid() const;

private:
    TempDir m_dir;
    ScriptedPrompts m_prompts;
    BlankRasterizer m_blank;
    std::unique_ptr<Workspace> m_ws;
};

// The path of the generated "Font16s" of the build.
std::string font16sPath();

// Reads a whole file as bytes; throws when it cannot.
std::string readFile(const std::string &path);
// The id of a process that has just ended (a child that exited at once): names
// that carry it belong to a run that is gone.
long goneProcessId();

// A child process that holds an exclusive lock (flock) on a file, as a writer
// busy with its temporary does, until the object goes.
class LockedByAnotherProcess {
public:
    explicit LockedByAnotherProcess(const std::string &path);
    ~LockedByAnotherProcess();
    LockedByAnotherProcess(const LockedByAnotherProcess &) = delete;
    LockedByAnotherProcess &operator=(const LockedByAnotherProcess &) = delete;

private:
    long m_child = -1;
    int m_hold = -1; // the child runs until this end of its pipe closes
};
void writeFile(const std::string &path, const std::string &bytes);

// Shows ASCII art rows in the editor grid as DispDot does (the top-left cell
// selected); editPlane and EditModified keep their values.
void showGrid(Workspace &ws, const std::vector<std::string> &rows);
// The editor grid of a workspace as ASCII art rows of its dot size.
std::vector<std::string> gridArt(const Workspace &ws);

// ASCII art <-> glyph plane (the N x N square only).
GlyphPlane planeFromArt(const std::vector<std::string> &rows);
std::vector<std::string> artFromPlane(const GlyphPlane &plane, int n);

} // namespace dotforge::test
