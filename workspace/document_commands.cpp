// Open, Save, Save As, Exit and the close question: the library between the
// workspace and a .ZMB or .ASM file.

#include "core/io_error.h"
#include "formats/library_content.h"
#include "workspace/workspace.h"

#include <algorithm>
#include <vector>

namespace dotforge {

namespace {

// Puts the raw records 0 .. count - 1 back into the store after a save converted
// them. Every record is tried; the first failure is raised afterwards.
void restoreStore(GlyphPlane &libPlane, Library &library, const std::vector<GlyphPlane> &raw, std::size_t count)
{
    std::exception_ptr failure;
    for (std::size_t i = 0; i < count; ++i) {
        libPlane = raw[i];
        try {
            library.writeGlyph(int(i), raw[i]);
        } catch (const IoError &) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

// After a save the library plane holds the selected glyph again, so that undo
// and commit in the library view refer to the glyph the editor shows.
void reselectLibraryGlyph(GlyphPlane &libPlane, Library &library)
{
    if (library.LibIndex() >= 0 && library.LibIndex() < library.LibCount())
        libPlane = library.readGlyph(library.LibIndex());
}

// The caption names the file Save writes to, or the title alone when there is none.
std::string captionFor(const std::string &fileName)
{
    const std::string title = Workspace::kTitle;
    return fileName.empty() ? title : title + ": " + fileName;
}

} // namespace

void Workspace::showOpenedGlyphs(int &cellsShown)
{
    for (int i = 0; i < m_library.LibCount(); ++i) {
        m_library.select(i);
        ReadXDot();
        XDotEffect();
        cellsShown = std::max(cellsShown, i + 1);
    }
    if (m_library.LibCount() > 0) {
        // The first ReadXDot switched the editor to glyph 0; show the glyph
        // that is selected now, the last one, so that a commit writes what is seen.
        m_editPlane = m_libPlane;
        DispDot();
        m_controls.RG1.enabled = true;
        m_controls.DelBtn.enabled = true;
        m_controls.mnuSaveAs.enabled = true;
    }
}

void Workspace::reportOpen(bool failed)
{
    if (failed)
        m_prompts.message("文件打开错误!");
    else if (m_library.LibCount() == 0)
        m_prompts.ask(BoxKind::Warning, "文件中字模数为0!", Buttons::Ok);
    else if (m_documents.readCutShort())
        m_prompts.ask(BoxKind::Warning, "文件中字模数超过200,只读入了前200个!", Buttons::Ok);
}

void Workspace::mnuOpenClick()
{
    if (keepsLibraryForSaving())
        return;
    const auto choice = m_prompts.openFile(Documents::openDialog());
    if (!choice)
        return;

    const int previousCount = m_library.LibCount();
    m_documents.beginOpen(*choice);
    int cellsShown = m_library.LibCount(); // list cells that may show a glyph of the old library
    m_library.setCount(0);
    bool failed = false;
    try {
        if (m_documents.fileType() == FileType::ASM)
            ReadXASM();
        else
            ReadXZMB();
        showOpenedGlyphs(cellsShown);
    } catch (const FormatError &e) {
        // Checked before a glyph is stored: the library, its records and the
        // window's file stay as they were.
        m_documents.restorePrevious();
        m_library.setCount(previousCount);
        m_prompts.ask(BoxKind::Warning, Documents::refusalText(e, choice->path), Buttons::Ok);
        return;
    } catch (const IoError &) {
        // A file read only in part brings nothing: the library is left empty.
        failed = true;
        m_library.setCount(0);
        m_documents.forget();
        m_controls.mnuSave.enabled = false;
    }
    if (m_library.LibCount() == 0) {
        m_library.select(0);
        m_controls.RG1.enabled = false;
        m_controls.DelBtn.enabled = false;
    }
    for (int i = m_library.LibCount(); i < cellsShown; ++i)
        notifyLibraryCell(i);
    updateXNLabel();
    notifyControls();

    reportOpen(failed);
    m_controls.caption = std::string(kTitle) + ": " + m_documents.fileName();
    notifyControls();
}

void Workspace::mnuSaveClick()
{
    SaveXFile();
}

void Workspace::mnuSaveAsClick()
{
    // The dialog is always shown; should the file then not be written, the
    // window goes back to the name it had.
    m_documents.beginSaveAs();
    saveLibrary();
}

void Workspace::SaveXFile()
{
    m_documents.beginSave();
    saveLibrary();
}

// A file that was not written is not the window's file: when the save fails,
// the name, its type and the caption go back to those of the last completed
// save or open, so that the caption never names a file that does not hold the
// library and Save does not write to a name the user gave up on.
void Workspace::saveLibrary()
{
    try {
        writeLibrary();
    } catch (const IoError &) {
        m_documents.restorePrevious();
        m_controls.caption = captionFor(m_documents.fileName());
        notifyControls();
        throw;
    }
}

// The store holds converted records only while the file is written: "JQT1.Tmp"
// keeps the raw ones meanwhile, so that a crash leaves them on disk. Whatever
// fails once the conversion has begun, the raw records go back into the store
// and "JQT1.Tmp" is removed before the error goes on to the caller; the previous
// file keeps its content because the writers replace it only when complete.
void Workspace::settleLibraryGlyphEdits()
{
    // Edits of a library glyph not yet committed would be neither saved nor
    // kept: ask for them as switching views does. "否" drops them and the
    // editor shows the stored glyph again.
    if (m_ViewMode != 1 || !m_EditModified)
        return;
    if (m_prompts.ask(BoxKind::Confirmation, "当前的点阵已被修改，要保存吗？", Buttons::YesNo) == Answer::Yes) {
        commitGrid(); // mnuSave is on already: the edits enabled it
    } else {
        reselectLibraryGlyph(m_libPlane, m_library);
        m_editPlane = m_libPlane;
        DispDot();
    }
}

bool Workspace::hasFileName()
{
    if (!m_documents.fileName().empty())
        return true;
    const auto choice = m_prompts.saveFile(Documents::saveDialog());
    if (!choice) {
        m_controls.caption = captionFor(m_documents.fileName());
        notifyControls();
        return false;
    }
    m_documents.nameChosen(*choice);
    return true;
}

void Workspace::writeLibrary()
{
    settleLibraryGlyphEdits();
    if (!hasFileName())
        return;

    RecordFile rawCopy(kPlaneBytes);
    rawCopy.createNew(workPath("JQT1.Tmp"));
    std::vector<GlyphPlane> raw;
    std::size_t converted = 0; // store records that may no longer be raw
    try {
        for (int i = 0; i < m_library.LibCount(); ++i) {
            m_libPlane = m_library.readGlyph(i);
            raw.push_back(m_libPlane);
            rawCopy.write(m_libPlane.bytes.data());
            TransXDot();
            ++converted;
            m_library.writeGlyph(i, m_libPlane);
        }
        if (m_documents.fileType() == FileType::ASM)
            SaveXASM();
        else
            SaveXZMB();
    } catch (const IoError &) {
        // When the store cannot be restored, "JQT1.Tmp" is the one copy of the
        // raw records on disk and stays.
        restoreStore(m_libPlane, m_library, raw, converted);
        rawCopy.closeAndErase();
        try {
            reselectLibraryGlyph(m_libPlane, m_library);
        } catch (const IoError &) {
            // The save's own error is the one to report.
        }
        throw;
    }
    restoreStore(m_libPlane, m_library, raw, converted);
    rawCopy.closeAndErase();
    reselectLibraryGlyph(m_libPlane, m_library);

    m_controls.caption = captionFor(m_documents.fileName());
    m_controls.mnuSave.enabled = false;
    m_EditModified = false;
    notifyControls();
}

void Workspace::mnuExitClick()
{
    notifyClose();
}

// A failed save keeps the window open; its error is shown here, as the default
// error handler would, because the answer must still reach the window.
bool Workspace::FormCloseQuery()
{
    if (!m_controls.mnuSave.enabled)
        return true;
    const Answer answer = m_prompts.ask(BoxKind::Warning, "你还没有保存小字库文件!要保存吗?", Buttons::YesNoCancel);
    if (answer == Answer::Cancel)
        return false;
    if (answer == Answer::Yes) {
        try {
            SaveXFile();
        } catch (const IoError &e) {
            showError(e);
            notifyControls();
            return false;
        }
        // The save dialog was cancelled: the library is still unsaved.
        if (m_controls.mnuSave.enabled)
            return false;
    }
    return true;
}

void Workspace::notifyClose()
{
    if (m_listener)
        m_listener->closeWindow();
}

} // namespace dotforge
