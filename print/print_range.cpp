#include "print/print_range.h"

#include "core/io_error.h"
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

std::pair<std::string, std::string> printRangeProposal(int count)
{
    return {"1", std::to_string(count)};
}

std::string printGlyphs(const std::string &firstText, const std::string &lastText, int count, int n,
    PrintDevice &device, const std::function<const GlyphPlane &(int number)> &glyphOf)
{
    const int first = integerFromText(firstText);
    const int last = integerFromText(lastText);
    if (first < 1 || last < first || last > count)
        return "范围指定错误!";
    if (device.printing())
        return "打印机正在处理其他打印任务，请稍候再试";

    device.beginDoc("Dotforge 小字库 第" + std::to_string(first) + "-" + std::to_string(last) + "字");
    try {
        const int width = device.pageWidth();
        const int height = device.pageHeight();
        device.setDotTools();
        int page = 0;
        for (int number = first; number <= last; ++number) {
            const GlyphPlane &glyph = glyphOf(number);
            const PrintSpot spot = printSpot(number - first, n, width, height);
            if (spot.page > page) {
                device.newPage();
                page = spot.page;
            }
            for (int y = 0; y < n; ++y) {
                for (int x = 0; x < n; ++x) {
                    if (glyph.dot(x, y))
                        device.ellipse(spot.x + 10 * x, spot.y + 10 * y, spot.x + 10 * x + 7, spot.y + 10 * y + 7);
                }
            }
        }
        device.endDoc();
    } catch (...) {
        // An open document would make every later print look busy.
        device.abortDoc();
        throw;
    }
    return {};
}

} // namespace dotforge
