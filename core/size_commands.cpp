// New, Close, the dot sizes, the view option, help and About.

#include "core/io_error.h"
#include "core/workspace.h"

namespace dotforge {

void Workspace::mnuNewClick() { resetWorkspace(true); }

void Workspace::mnuCloseClick() { mnuNewClick(); }

void Workspace::resetWorkspace(bool recreateStore)
{
    const int n = dotSize;
    CurFileName.clear();
    if (recreateStore)
        createStore();
    LibCount = 0;
    LibIndex = 0;
    // The label and the delete button show the empty list.
    XNLabel = kEmptyXNLabel;
    DelBtn.enabled = false;
    DG1Marked = -1;
    caption = kTitle;
    mnuSave.enabled = false;
    mnuSaveAs.enabled = false;

    DG1CellSize = n + 4;
    DG1ColCount = DG1ClientWidth / DG1CellSize;
    DG1RowCount = (DG1ColCount + kLibraryCapacity - 1) / DG1ColCount;
    for (auto &code : codeList)
        code.clear();
    notifyLibraryLayout();

    SG2CellSize = kSG2Pixels / n - 1;
    SG2.fill(kBlank);
    // The blanked grid holds no edits: leaving the library view below must not
    // ask to commit it into the store just emptied.
    EditModified = false;
    notifyEditor();

    ChEditText.clear();
    selectRG1(0);
    RG1.enabled = false;
    notifyControls();

    SE1Change();
    tableCol = 0;
    tableRow = 0;
    SelHZ();
}

void Workspace::chooseDotSize(int n, bool recreateStore)
{
    // The library is emptied below: the edits of a library glyph go with it.
    // Ticking the TrueType source (24 and 32 dots) re-renders the table's
    // character and leaves the library view, which must neither ask to commit
    // them nor write them into the store about to be emptied.
    EditModified = false;
    mnu16.checked = n == 16;
    mnu24.checked = n == 24;
    mnu32.checked = n == 32;
    if (n == 16) {
        // The dot-matrix source needs the font file; without it the button stays off.
        RU.enabled = fontFile.isOpen();
    } else {
        RWClick();
        RU.enabled = false;
        UJF.enabled = false;
    }
    dotSize = n;
    FontSize = defaultPointSize(n);
    notifyControls();
    resetWorkspace(recreateStore);
}

bool Workspace::keepsLibraryForSaving()
{
    if (LibCount <= 0)
        return false;
    if (m_prompts.ask(BoxKind::Confirmation, "当前小字库中已有内容!你要先将其保存为文件吗?", Buttons::YesNo)
        != Answer::Yes)
        return false;
    m_prompts.message("请先保存小字库!");
    return true;
}

void Workspace::mnu16Click()
{
    if (!keepsLibraryForSaving())
        chooseDotSize(16);
}

void Workspace::mnu24Click()
{
    if (!keepsLibraryForSaving())
        chooseDotSize(24);
}

void Workspace::mnu32Click()
{
    if (!keepsLibraryForSaving())
        chooseDotSize(32);
}

void Workspace::mnuViewClick()
{
    if (m_prompts.ask(BoxKind::Warning, "本选项改变后,当前小字库中已加入字模将全部清除!继续吗?", Buttons::YesNo)
        != Answer::Yes)
        return;
    mnuView = !mnuView;
    notifyControls();
    mnuNewClick();
}

void Workspace::mnuHelpClick() { m_prompts.showHelp(kHelpFile); }

void Workspace::mnuAboutClick() { m_prompts.showAbout(kAboutText); }

} // namespace dotforge
