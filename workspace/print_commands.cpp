#include "print/print_device.h"
#include "print/print_range.h"
#include "workspace/workspace.h"

namespace dotforge {

void Workspace::mnuPrintClick()
{
    if (m_listener)
        m_listener->showPrintDialog();
}

std::pair<std::string, std::string> Workspace::printRangeProposal() const
{
    return dotforge::printRangeProposal(m_library.LibCount());
}

// Each glyph is read the way a selection in the list reads it (ReadXDot), so
// the print shows what the store holds; afterwards the last glyph printed is
// the selected one and the editor shows it, so a later commit writes the grid
// over the glyph the editor shows.
void Workspace::printRange(const std::string &firstText, const std::string &lastText, PrintDevice &device)
{
    const auto showSelected = [this] {
        m_editPlane = m_libPlane;
        DispDot();
        updateXNLabel();
    };
    // The glyph the editor may show if the print stops half-way.
    int shownIndex = m_library.LibIndex();
    GlyphPlane shownPlane = m_libPlane;
    bool readAny = false;

    std::string refusal;
    try {
        refusal = printGlyphs(
            firstText, lastText, m_library.LibCount(), dotSize(), device, [&](int number) -> const GlyphPlane & {
                m_library.select(number - 1);
                ReadXDot();
                shownIndex = m_library.LibIndex();
                shownPlane = m_libPlane;
                readAny = true;
                return m_libPlane;
            });
    } catch (...) {
        m_library.select(shownIndex);
        m_libPlane = shownPlane;
        if (readAny)
            showSelected();
        throw;
    }
    if (!refusal.empty()) {
        m_prompts.ask(BoxKind::Error, refusal, Buttons::Ok);
        return;
    }
    showSelected();
    if (!device.outputFile().empty())
        m_prompts.message("已打印到文件 " + device.outputFile());
}

} // namespace dotforge
