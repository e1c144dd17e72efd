// Character entry: typed text in ChEdit and the import of a text file's first
// line. Both hand the text over as byte pairs of GBK: CurCode, ChTextOut, add.

#include "library/text_import.h"
#include "workspace/workspace.h"

namespace dotforge {

void Workspace::ChEditKeyPress(char32_t ch)
{
    if (ch != 13 || m_controls.ChEditText.size() < 2)
        return;
    m_CurCode = m_controls.ChEditText.substr(0, 2);
    ChTextOut(m_CurCode);
    m_TypedEntry = true;
    notifyControls();
}

void Workspace::ChEditChange(const std::string &gbk)
{
    m_controls.ChEditText = gbk;
}

void Workspace::Button1Click()
{
    FileDialogSpec spec;
    spec.title = "打开小汉字库文件...";
    spec.filter = "文本文件(*.TXT)| *.TXT";
    spec.defaultExt = ".TXT";
    spec.fileName = "*.TXT";
    spec.initialDir = ".";
    const auto choice = m_prompts.openFile(spec);
    if (!choice)
        return;

    // The line is read whole and the file closed before anything is rendered,
    // so an error later in the import leaves no file open.
    const TextLine line = readFirstLine(choice->path);
    std::string unencodable;
    const auto gbk = lineToGbk(line, &unencodable);
    if (!gbk) {
        // Dropping the character would shift every later pair and store wrong
        // glyphs under wrong codes: nothing is imported.
        m_prompts.ask(
            BoxKind::Warning, "文本文件中的字符\"" + unencodable + "\"没有GBK编码,未导入任何字!", Buttons::Ok);
        return;
    }
    // At most 200 pairs are read; a refused add warns and the import goes on.
    // An error while rendering ends the import; the glyphs added stay.
    for (const std::string &pair : bytePairs(*gbk, kLibraryCapacity)) {
        m_CurCode = pair;
        ChTextOut(m_CurCode);
        AddBtnClick();
    }
}

} // namespace dotforge
