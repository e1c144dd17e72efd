#include "workspace/workspace.h"

#include "core/io_error.h"
#include "core/program_folders.h"

#include <filesystem>

namespace dotforge {

namespace {

// The full path of a file of the working folder, as a message names it.
std::string absolutePath(const std::string &path)
{
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

// The error of one of the program's own files, naming the file and so the
// folder it was looked for in: "File not found: "/home/li/lcd/Font16s"", or
// each place a file that is nowhere was looked for, in order. Only the
// run-time texts get the names; an error with a text of its own (a link or a
// pipe in the file's place, another Dotforge holding the store) says more.
IoError namingFiles(const IoError &error, const std::vector<std::string> &paths)
{
    if (error.what() != IoError::textFor(error.code()))
        return error;
    std::string text = std::string(error.what()) + ": ";
    for (std::size_t i = 0; i < paths.size(); ++i)
        text += (i ? ", \"" : "\"") + absolutePath(paths[i]) + "\"";
    return IoError(error.code(), text);
}

IoError namingFile(const IoError &error, const std::string &path)
{
    return namingFiles(error, {path});
}

} // namespace

Workspace::Workspace(
    Prompts &prompts, Rasterizer &rasterizer, std::string workDir, std::vector<std::string> font16sPlaces)
    : m_prompts(prompts)
    , m_rasterizer(rasterizer)
    , m_workDir(std::move(workDir))
    , m_font16sPlaces(std::move(font16sPlaces))
{
}

Workspace::~Workspace() = default;

std::string Workspace::workPath(const std::string &name) const
{
    if (m_workDir.empty() || m_workDir == ".")
        return name;
    return m_workDir + "/" + name;
}

bool Workspace::run(const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const IoError &e) {
        showError(e);
    }
    notifyControls();
    notifyEditor();
    return false;
}

void Workspace::showError(const std::exception &error)
{
    m_prompts.showError(errorBoxText(error.what()));
}

// Start-up. When the store file or the font file cannot be opened the error is
// shown and start-up still lays out the window for 16 dots, so the window is
// usable: without "Font16s" the TrueType source works and the dot-matrix source
// stays disabled; without a store the library commands fail until New manages
// to create it: with the reason when another Dotforge holds "JQT.TMP" in this
// folder, otherwise (a read-only folder) with "I/O error 103". "Font16s" is
// opened at the first of its places where there is something; found nowhere,
// the message names every place.
void Workspace::FormCreate()
{
    m_codeTable.reset();
    m_editor.resetSelectionAndClipboard();

    try {
        createStore();
    } catch (const IoError &e) {
        showError(e);
    }
    const std::vector<std::string> places
        = m_font16sPlaces.empty() ? std::vector<std::string>{workPath("Font16s")} : m_font16sPlaces;
    const std::string found = firstFound(places, mayExist);
    try {
        m_codeTable.openFontFile(found.empty() ? places.front() : found);
    } catch (const IoError &e) {
        showError(found.empty() ? namingFiles(e, places) : namingFile(e, found));
    }
    // The store was just created (or could not be): New need not create it again.
    run([this] { chooseDotSize(16, false); });
}

void Workspace::createStore()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(m_workDir.empty() ? "." : m_workDir, error);
    std::string name = (error ? std::filesystem::path(m_workDir) : folder.lexically_normal()).string();
    if (name.size() > 1 && name.back() == '/')
        name.pop_back();
    try {
        m_library.createStore(workPath("JQT.TMP"),
            "另一个 Dotforge 正在使用文件夹 " + name
                + " 中的小字库暂存文件 JQT.TMP，本窗口不能加入或保存字模。请先关闭那个 Dotforge 再选“新建”，"
                  "或在另一个文件夹中启动本程序!");
    } catch (const IoError &e) {
        throw namingFile(e, workPath("JQT.TMP"));
    }
}

// Closing: the font file, then the store, which is deleted. Files that never
// opened are skipped; the store is only deleted by the run that created it, so a
// second program in the same folder never removes the first one's store.
void Workspace::FormClose()
{
    m_codeTable.closeFontFile();
    m_library.closeStore();
}

void Workspace::notifyEditor()
{
    if (m_listener)
        m_listener->editorChanged();
}

void Workspace::notifyControls()
{
    if (m_listener)
        m_listener->controlsChanged();
}

void Workspace::notifyTable()
{
    if (m_listener)
        m_listener->codeTableChanged();
}

void Workspace::notifyLibraryCell(int index)
{
    if (m_listener)
        m_listener->libraryCellChanged(index);
}

void Workspace::notifyLibraryLayout()
{
    if (m_listener)
        m_listener->libraryLayoutChanged();
}

} // namespace dotforge
