// New, Close, the dot sizes, the view option, help and About.

#include "core/io_error.h"
#include "workspace/workspace.h"

namespace dotforge {

void Workspace::mnuNewClick()
{
    resetWorkspace(true);
}

void Workspace::mnuCloseClick()
{
    mnuNewClick();
}

void Workspace::resetWorkspace(bool recreateStore)
{
    const int n = dotSize();
    m_documents.forget();
    if (recreateStore)
        createStore();
    m_library.clear(n);
    // The label and the delete button show the empty list.
    m_controls.XNLabel = kEmptyXNLabel;
    m_controls.DelBtn.enabled = false;
    m_controls.caption = kTitle;
    m_controls.mnuSave.enabled = false;
    m_controls.mnuSaveAs.enabled = false;

    notifyLibraryLayout();

    m_editor.layOut();
    // The blanked grid holds no edits: leaving the library view below must not
    // ask to commit it into the store just emptied.
    m_EditModified = false;
    notifyEditor();

    m_controls.ChEditText.clear();
    selectRG1(0);
    m_controls.RG1.enabled = false;
    notifyControls();

    SE1Change();
    m_codeTable.select(0, 0);
    SelHZ();
}

void Workspace::chooseDotSize(int n, bool recreateStore)
{
    // The library is emptied below: the edits of a library glyph go with it.
    // Ticking the TrueType source (24 and 32 dots) re-renders the table's
    // character and leaves the library view, which must neither ask to commit
    // them nor write them into the store about to be emptied.
    m_EditModified = false;
    // A bitmap face keeps a strike that fits the new square, as the font
    // dialog would choose it; without one the default face takes over.
    std::optional<int> points = defaultPointSize(n);
    const std::string face = m_codeTable.FontName();
    if (face != kDefaultFace)
        points = m_rasterizer.pointSizeForDots(face, *points, n);
    if (!points) {
        m_prompts.message(
            "点阵字体“" + face + "”没有 " + std::to_string(n) + " 像素以内的字号,已改用" + kDefaultFace + "。");
        m_codeTable.setFace(kDefaultFace);
        points = defaultPointSize(n);
    }
    m_controls.mnu16.checked = n == 16;
    m_controls.mnu24.checked = n == 24;
    m_controls.mnu32.checked = n == 32;
    if (n == 16) {
        // The dot-matrix source needs the font file; without it the button stays off.
        m_controls.RU.enabled = m_codeTable.hasFontFile();
    } else {
        RWClick();
        m_controls.RU.enabled = false;
        m_controls.UJF.enabled = false;
    }
    m_dotSize = n;
    m_editor.setDotSize(n);
    m_codeTable.setPointSize(*points);
    notifyControls();
    resetWorkspace(recreateStore);
}

bool Workspace::keepsLibraryForSaving()
{
    if (m_library.LibCount() <= 0)
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

bool Workspace::confirmsLibraryReset()
{
    return m_prompts.ask(BoxKind::Warning, "本选项改变后,当前小字库中已加入字模将全部清除!继续吗?", Buttons::YesNo)
        == Answer::Yes;
}

void Workspace::mnuViewClick()
{
    if (!confirmsLibraryReset())
        return;
    m_controls.mnuView = !m_controls.mnuView;
    notifyControls();
    mnuNewClick();
}

void Workspace::mnuHelpClick()
{
    m_prompts.showHelp(kHelpFile);
}

void Workspace::mnuAboutClick()
{
    m_prompts.showAbout(kAboutText);
}

} // namespace dotforge
