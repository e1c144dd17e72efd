#pragma once
// The workspace: the whole state of one run and every command of the window.
//
// TForm1 owns one Workspace. Each command keeps the name of the window handler
// that triggers it (AddBtnClick, SG2MouseDown, mnuOpenClick ...) and is defined
// in workspace/, in the file of its group (size_commands.cpp, editor_commands.cpp
// ...); commands call one another directly.
// The window reads the state back (control states, cell texts, the library
// store) and draws it; nothing of the program's rules lives in a widget.
//
// File errors are raised as IoError and end the command at the failing step;
// run() is the event boundary that shows them through the default error
// handler. Commands called directly (as the tests do) let them through.

#include "core/font16s_variants.h"
#include "core/glyph.h"
#include "core/glyph_geometry.h"
#include "core/layout_modes.h"
#include "core/prompts.h"
#include "core/rasterizer.h"
#include "core/record_file.h"
#include "editor/editor_grid.h"
#include "formats/documents.h"
#include "library/library.h"
#include "sources/code_table.h"
#include "workspace/controls.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace dotforge {

// Mouse buttons as the editor grid distinguishes them.
enum class MouseButton { Left, Right, Middle };

// Keys the editor grid and the area spin edit react to.
enum class Key { Enter, Home, Shift, C, V, X, A, S, W, Z, Delete, Up, Down, Other };
struct KeyMods {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

// What the window has to redraw after a command. The window may also simply
// redraw everything after each command; these say what changed early, in the
// middle of a command (a message box may be up).
class WorkspaceListener {
public:
    virtual ~WorkspaceListener() = default;
    virtual void editorChanged() { } // SG2 cells, selection or geometry
    virtual void codeTableChanged() { } // SG1 content (area, source, font)
    virtual void libraryCellChanged(int) { } // DG1 cell of an index was painted or blanked
    virtual void libraryLayoutChanged() { } // DG1 geometry (New)
    virtual void controlsChanged() { } // enabled/ticked states, captions, labels
    virtual void focusEditor() { } // the grid takes the keyboard focus
    virtual void closeWindow() { } // mnuExitClick: close the main window
    virtual void showPrintDialog() { } // mnuPrintClick: TXPrint, modally
    virtual void openBlockMenu() { } // a right press on the grid: PMenu, at the pointer
};

class PrintDevice; // print/print_device.h
namespace test {
struct LibraryAccess; // tests/support/test_workspace.h
struct EditorAccess; // tests/support/test_workspace.h
} // namespace test

class Workspace {
public:
    // workDir: the working folder, where the window writes "JQT.TMP" and
    // "JQT1.Tmp". font16sPlaces: where start-up looks for "Font16s", in order
    // (core/program_folders.h); none: in the working folder.
    Workspace(
        Prompts &prompts, Rasterizer &rasterizer, std::string workDir, std::vector<std::string> font16sPlaces = {});
    ~Workspace();
    Workspace(const Workspace &) = delete;
    Workspace &operator=(const Workspace &) = delete;

    void setListener(WorkspaceListener *listener) { m_listener = listener; }
    Prompts &prompts() { return m_prompts; }

    // The event boundary: runs a command and shows an IoError it raises through
    // the default error handler. Returns false when the command failed.
    bool run(const std::function<void()> &command);
    // The default error handler's box for an error.
    void showError(const std::exception &error);

    // Path of a file of the working folder.
    std::string workPath(const std::string &name) const;

    // ---- start-up, close, size switching and reset ---------------------------
    void FormCreate();
    void FormClose();
    void mnuNewClick();
    void mnuCloseClick();
    void mnu16Click();
    void mnu24Click();
    void mnu32Click();
    void mnuViewClick();
    void mnuHelpClick();
    void mnuAboutClick();

    // ---- code table, rendering, dot-matrix font, default effects ---
    void SE1Change(); // after SE1.value changed
    void SE1Step(int delta); // spin buttons and arrow keys
    void SE1KeyPress(char32_t ch, bool &discard); // keeps digits only
    void SE1Typed(int value); // a typed number, on Enter or leaving the field
    void DispChs();
    CodeTableCell SDotEffect(int col, int row); // what code table cell (col, row) shows
    void SG1MouseDown(int col, int row); // -1, -1 over no cell
    void SelHZ();
    void ChTextOut(const std::string &code);
    void RWClick();
    void RUClick();
    void UJFClick(int itemIndex);
    void FontBtnClick();
    void ReadUDot(std::int64_t recordIndex); // fills recordBuf and the source plane
    void readFontRecord(std::int64_t recordIndex); // fills recordBuf only
    void applyDefaultEffects(); // render time, view option on
    void mnuRotationClick(Rotation r);
    void mnuFlipClick(Flip f);
    void mnuSwapClick(Swap s);
    // SG1's own paint request; never throws. A cell whose record cannot be read
    // paints blank, and the first such failure since the table last changed is
    // kept for takeTableError(): the window shows it once, after painting.
    CodeTableCell SG1DrawCell(int col, int row);
    std::string takeTableError(); // "" when there is nothing to report

    // ---- editor grid, transforms, blocks ----------------------------------
    void DispDot();
    void SG2MouseDown(int col, int row, MouseButton button);
    void SG2MouseMove(int col, int row);
    void SG2MouseUp(int col, int row, MouseButton button);
    void SG2DblClick();
    void SG2KeyDown(Key key, KeyMods mods);
    // Selecting an RG1 item, by the user or by the program, runs RG1Click at
    // once when the selection changes.
    void selectRG1(int item);
    void RG1Click(); // the view switch, v = RG1Index
    void ChgBtnClick();
    void undoBtnClick();
    void ClearBtnClick();
    // Transforms.
    void CCWBtnClick();
    void CWBtnClick();
    void HflipBtnClick();
    void VflipBtnClick();
    void ELBtnClick();
    void EUBtnClick();
    void LeftBtnClick();
    void RightBtnClick();
    void UpBtnClick();
    void DownBtnClick();
    // Blocks. prepareBlockMenu decides the block menu on a right press: true when it opens.
    bool prepareBlockMenu();
    void mnuCutClick();
    void mnuCopyClick();
    void mnuPasteClick();
    void mnuDelClick();
    void pmuLeftClick();
    void pmuRightClick();
    void pmuUpClick();
    void pmuDownClick();

    // ---- library store, list view, character entry -------------------------
    void AddBtnClick();
    void DelBtnClick();
    void ChgDone();
    void XDotEffect();
    // The glyph of list cell `index` as DG1DrawCell paints it; false for an empty
    // cell. Leaves LibIndex and the library plane as they were.
    bool DG1DrawCell(int index, GlyphPlane &glyph);
    void DG1MouseDown(int col, int row); // -1, -1 outside the cells
    void ReadXDot();
    void ChEditKeyPress(char32_t ch); // ch 13 = Enter
    // The field's text changed (GBK bytes); the window calls it on every edit.
    void ChEditChange(const std::string &gbk);
    void Button1Click();
    void updateXNLabel();

    // ---- layouts, files, document commands -------------------------
    void mnuModeClick(Mode m);
    // "控制器格式(&P)": ticks the mode and the default effects of the named
    // controller layout (formats/profiles.h) through their own commands, those
    // that change only, as if the user had ticked each. Unknown names do nothing.
    void mnuProfileClick(const std::string &name);
    void TransXDot();
    void TransDot();
    void SaveXZMB();
    void ReadXZMB();
    void SaveXASM();
    void ReadXASM();
    void mnuOpenClick();
    void mnuSaveClick();
    void mnuSaveAsClick();
    void SaveXFile();
    void mnuExitClick();
    bool FormCloseQuery(); // true: the window may close

    // ---- printing -------------------------------------------------------------
    void mnuPrintClick();
    // TXPrint: the range its FormShow proposes (Edit1, Edit2), and its print
    // (Button1Click) of the glyphs numbered by the two edit texts.
    std::pair<std::string, std::string> printRangeProposal() const;
    void printRange(const std::string &firstText, const std::string &lastText, PrintDevice &device);

    // ---- state --------------------------------------------------------------
    // The dot size N changes only through the size commands; 0 while start-up
    // stopped before choosing one.
    int dotSize() const { return m_dotSize; }
    // The editor grid SG2, its selection and block clipboard; the commands above
    // are its only writers.
    const EditorGrid &editorGrid() const { return m_editor; }
    // The code table and the glyph sources: the area, the selection, the
    // faces, the source plane and the drawing surface.
    const CodeTable &codeTable() const { return m_codeTable; }

    // The edit plane (the glyph the grid edits) and the library plane (the
    // selected library glyph); the commands are their only writers.
    const GlyphPlane &editPlane() const { return m_editPlane; }
    const GlyphPlane &libPlane() const { return m_libPlane; }

    // The shared variables of the commands.
    int ViewMode() const { return m_ViewMode; }
    bool EditModified() const { return m_EditModified; }
    const std::string &CurCode() const { return m_CurCode; } // two GBK bytes
    bool TypedEntry() const { return m_TypedEntry; }
    // The state of the window's controls: enabled and ticked states, texts,
    // the option ticks. The commands are its only writers; the window draws it.
    const Controls &controls() const { return m_controls; }

    // The library and its store "JQT.TMP" (library/), as the list view reads it.
    const Library &library() const { return m_library; }
    // The width the list view gives its cells; the list is laid out for it when
    // the library is next emptied (start-up, New, a dot size).
    void setLibraryClientWidth(int width) { m_library.setClientWidth(width); }

    // The library file: its name (CurFileName) and type.
    const Documents &documents() const { return m_documents; }

    // Help and About texts.
    static constexpr const char *kTitle = "Dotforge";
    static constexpr const char *kHelpFile = "JQT.HLP";
    // The face drawn until the font dialog chooses another.
    static constexpr const char *kDefaultFace = CodeTable::kDefaultFace;
    static constexpr const char *kAboutText = "Dotforge V3.0";

private:
    // Tests put glyphs into the library through its own methods.
    friend struct test::LibraryAccess;
    // Tests show ASCII art in the grid without touching the edit plane.
    friend struct test::EditorAccess;

    int m_dotSize = 16;
    Controls m_controls;
    GlyphPlane m_editPlane;
    GlyphPlane m_libPlane;
    int m_ViewMode = 0;
    bool m_EditModified = false;
    std::string m_CurCode;
    bool m_TypedEntry = false;
    Library m_library;
    void notifyEditor();
    void notifyControls();
    void notifyTable();
    void notifyLibraryCell(int index);
    void notifyLibraryLayout();
    // The dot-size commands after their question; New with or without
    // re-creating the store file (start-up has just created it).
    void chooseDotSize(int n, bool recreateStore = true);
    // Creates the store "JQT.TMP" empty, locked against a second program in
    // the same folder, which is told so in its own words.
    void createStore();
    void resetWorkspace(bool recreateStore);
    // The question before a command that would drop a non-empty library: true when
    // the user wants to save first ("请先保存小字库!" shown), so the command stops.
    bool keepsLibraryForSaving();
    // The question of an option that changes how the glyphs already added were
    // stored, so that the library store would mix two ways (the view option, a
    // controller layout's effects while it is on): true when the user agrees that
    // the library is emptied.
    bool confirmsLibraryReset();
    // Code table: the source as the controls choose it.
    CodeTable m_codeTable;
    SourceChoice tableSource() const { return {m_controls.RW.checked, m_controls.RU.checked, m_controls.UJFIndex}; }
    // Editor: the grid; the commit steps shared by ChgBtnClick and RG1Click;
    // the focus and block menu requests.
    EditorGrid m_editor;
    void commitGrid();
    // One transform, shift or block move by (dx, dy) on the grid, as the buttons
    // and the block menu run them.
    void transformGrid(Transform t);
    void shiftGrid(int dx, int dy);
    void moveBlock(int dx, int dy);
    void notifyFocusEditor();
    void notifyOpenBlockMenu();
    // Documents: asks the window to close (mnuExitClick). Save and Save As
    // once the file has been told the command began; a save that fails goes
    // back to the file before it. writeLibrary is the save itself.
    void notifyClose();
    void saveLibrary();
    void writeLibrary();
    // The steps of writeLibrary: uncommitted edits of a library glyph are
    // committed or dropped as the user answers; a library without a file name
    // gets one from the save dialog (false when it is cancelled).
    void settleLibraryGlyphEdits();
    bool hasFileName();
    // The steps of mnuOpenClick after the read: each glyph read is shown in its
    // list cell (cellsShown grows to cover them) and the last one in the
    // editor; then what the read left to say.
    void showOpenedGlyphs(int &cellsShown);
    void reportOpen(bool failed);
    // The files a running save must never write over: the store and its raw copy.
    std::vector<std::string> filesInUse() const;
    // Library: after a delete, the library plane and the editor follow the
    // glyph now selected. An add refused (library full, code already in it)
    // says so; after an add, the next typed character is rendered, or Add goes
    // off until a character is picked.
    void showSelectionAfterDelete();
    bool refusesAdd();
    void moveOnAfterAdd();

    Prompts &m_prompts;
    Rasterizer &m_rasterizer;
    std::string m_workDir;
    std::vector<std::string> m_font16sPlaces;
    WorkspaceListener *m_listener = nullptr;
    Documents m_documents;
};

} // namespace dotforge
