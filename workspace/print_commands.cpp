#include "core/io_error.h"
#include "workspace/workspace.h"
#include "print/print_device.h"
#include "print/print_layout.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace dotforge {

namespace {

// The edits' text as a decimal integer; spaces around it are allowed.
int integerFromText(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    const std::string digits = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    const auto fail = [&] { return IoError(0, "'" + text + "' is not a valid integer value"); };
    const std::size_t start = digits.size() > 1 && (digits[0] == '+' || digits[0] == '-') ? 1 : 0;
    if (start >= digits.size() || digits.find_first_not_of("0123456789", start) != std::string::npos)
        throw fail();
    errno = 0;
    const long long value = std::strtoll(digits.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        throw fail();
    return int(value);
}

} // namespace

void Workspace::mnuPrintClick()
{
    if (m_listener)
        m_listener->showPrintDialog();
}

std::pair<std::string, std::string> Workspace::printRangeProposal() const
{
    return {"1", std::to_string(m_library.LibCount())};
}

// Glyph numbers count from 1 (LibIndex + 1). Each glyph is read the way a
// selection in the list reads it (ReadXDot), so the print shows what the store
// holds; afterwards the last glyph printed is the selected one and the editor
// shows it, so a later commit writes the grid over the glyph the editor shows.
void Workspace::printRange(const std::string &firstText, const std::string &lastText, PrintDevice &device)
{
    const int first = integerFromText(firstText);
    const int last = integerFromText(lastText);
    if (first < 1 || last < first || last > m_library.LibCount()) {
        m_prompts.ask(BoxKind::Error, "范围指定错误!", Buttons::Ok);
        return;
    }
    if (device.printing()) {
        m_prompts.ask(BoxKind::Error, "打印机正在处理其他打印任务，请稍候再试", Buttons::Ok);
        return;
    }

    const auto showSelected = [this] {
        editPlane = libPlane;
        DispDot();
        updateXNLabel();
    };
    // The glyph the editor may show if the print stops half-way.
    int shownIndex = m_library.LibIndex();
    GlyphPlane shownPlane = libPlane;
    bool readAny = false;

    const int n = dotSize();
    device.beginDoc("Dotforge 小字库 第" + std::to_string(first) + "-" + std::to_string(last) + "字");
    try {
        const int width = device.pageWidth();
        const int height = device.pageHeight();
        device.setDotTools();
        int page = 0;
        for (int number = first; number <= last; ++number) {
            m_library.select(number - 1);
            ReadXDot();
            shownIndex = m_library.LibIndex();
            shownPlane = libPlane;
            readAny = true;

            const PrintSpot spot = printSpot(number - first, n, width, height);
            if (spot.page > page) {
                device.newPage();
                page = spot.page;
            }
            for (int y = 0; y < n; ++y) {
                for (int x = 0; x < n; ++x) {
                    if (libPlane.dot(x, y))
                        device.ellipse(spot.x + 10 * x, spot.y + 10 * y, spot.x + 10 * x + 7, spot.y + 10 * y + 7);
                }
            }
        }
        device.endDoc();
    } catch (...) {
        // An open document would make every later print look busy.
        device.abortDoc();
        m_library.select(shownIndex);
        libPlane = shownPlane;
        if (readAny)
            showSelected();
        throw;
    }
    showSelected();
    if (!device.outputFile().empty())
        m_prompts.message("已打印到文件 " + device.outputFile());
}

} // namespace dotforge
