#include "formats/asm.h"

#include "core/hex.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace dotforge {

namespace {

constexpr char kCtrlZ = '\x1a';
constexpr std::size_t kChunk = 64 * 1024;

void appendValue(std::string &line, std::uint8_t value)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    line += '0';
    line += kHex[value >> 4];
    line += kHex[value & 0x0F];
    line += 'H';
}

// The value ending at the next "H" of `rest`: the (up to) two characters before
// it; `rest` moves past the "H". Without an "H" the first two characters count
// and `rest` stays.
std::uint8_t takeValue(std::string_view &rest)
{
    const auto h = rest.find('H');
    if (h == std::string_view::npos)
        return std::uint8_t(HextoInt(rest.substr(0, 2)));
    const std::size_t from = h >= 2 ? h - 2 : 0;
    const auto value = std::uint8_t(HextoInt(rest.substr(from, h - from)));
    rest.remove_prefix(h + 1);
    return value;
}

// The first byte of a line's values (before its first ";", where a comment and
// on a glyph's first line the raw code begin) that no text holds: a control
// byte other than tab, form feed, carriage return and Ctrl-Z. -1 when none.
int firstBinaryByte(std::string_view line)
{
    const std::string_view values = line.substr(0, line.find(';'));
    for (const char c : values) {
        const auto b = std::uint8_t(c);
        if ((b < 0x20 && b != '\t' && b != '\f' && b != '\r' && b != 0x1A) || b == 0x7F)
            return b;
    }
    return -1;
}

} // namespace

int HextoInt(std::string_view text)
{
    std::uint32_t value = 0; // wraps like the 32-bit integer it stands for
    for (const char c : text) {
        const int digit = hexDigitValue(static_cast<unsigned char>(c));
        if (digit < 0)
            break;
        value = value * 16 + std::uint32_t(digit);
    }
    return int(value);
}

std::string writeAsm(const std::vector<Sequence> &glyphs, const std::vector<std::string> &codes, int n)
{
    std::string out;
    if (!isDotSize(n))
        return out;
    const int bytesPerRow = rowBytes(n);
    for (std::size_t g = 0; g < glyphs.size(); ++g) {
        const Sequence &glyph = glyphs[g];
        for (int i = 0; i < n / 4; ++i) {
            std::string line = "\tDB\t";
            for (int j = 0; j < 4; ++j)
                for (int b = 0; b < bytesPerRow; ++b) {
                    if (j > 0 || b > 0)
                        line += ',';
                    const std::size_t t = std::size_t((4 * i + j) * bytesPerRow + b);
                    appendValue(line, t < glyph.size() ? glyph[t] : 0);
                }
            if (i == 0) {
                line += ';';
                if (g < codes.size())
                    line += codes[g].substr(0, 2);
                // A backslash at the end of a line continues it for nasm,
                // comment or not: a code whose last byte is 5C ("\", a
                // trail byte of GBK) would take the next DB line into its
                // comment. A space after it ends the line instead; the
                // reader takes the two bytes after the ";", so a two-byte
                // code reads back as it was.
                if (line.back() == '\\')
                    line += ' ';
            }
            out += line;
            out += "\r\n";
        }
    }
    return out;
}

LineReader::LineReader(Fill fill)
    : m_fill(std::move(fill))
{
}

bool LineReader::fillMore()
{
    if (m_exhausted)
        return false;
    // Drop what was consumed before growing the buffer.
    m_buffer.erase(0, m_pos);
    m_pos = 0;
    m_chunk.resize(kChunk);
    const std::size_t got = std::min(m_fill(m_chunk.data(), kChunk), kChunk);
    m_buffer.append(m_chunk.data(), got);
    if (got == 0)
        m_exhausted = true;
    return got > 0;
}

bool LineReader::atEnd()
{
    while (m_pos >= m_buffer.size())
        if (!fillMore())
            return true;
    return m_buffer[m_pos] == kCtrlZ;
}

std::string LineReader::readLine()
{
    std::string line;
    if (atEnd())
        return line;
    bool cut = false;
    for (;;) {
        const auto lf = m_buffer.find('\n', m_pos);
        const std::size_t end = lf == std::string::npos ? m_buffer.size() : lf;
        // Bytes beyond kMaxLine are passed over, not kept.
        const std::size_t keep = std::min(end - m_pos, kMaxLine - line.size());
        cut = cut || keep < end - m_pos;
        line.append(m_buffer, m_pos, keep);
        if (lf != std::string::npos) {
            m_pos = lf + 1;
            break;
        }
        m_pos = m_buffer.size();
        if (!fillMore())
            break;
    }
    if (!cut && !line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

bool readAsmGlyph(LineReader &lines, int n, Sequence &glyph, std::string &code, std::int64_t &lineNumber)
{
    if (!isDotSize(n) || lines.atEnd())
        return false;
    const int bytesPerRow = rowBytes(n);
    // Rows of lines that are never read stay clear.
    glyph.assign(std::size_t(glyphBytes(n)), 0);
    code.clear();
    int linesRead = 0;
    for (int i = 0; i < n / 4; ++i) {
        const std::string line = lines.readLine();
        ++lineNumber;
        if (line.empty())
            break;
        // Binary bytes (a .ZMB file, say) are no assembler text.
        if (const int b = firstBinaryByte(line); b >= 0)
            throw FormatError(FormatError::Fault::NotText, lineNumber, n, std::string(1, char(b)));
        ++linesRead;
        std::string_view rest = line;
        for (int j = 0; j < 4; ++j)
            for (int b = 0; b < bytesPerRow; ++b)
                glyph[std::size_t((4 * i + j) * bytesPerRow + b)] = takeValue(rest);
        if (i == 0) {
            const auto semicolon = rest.find(';');
            code = std::string(semicolon == std::string_view::npos ? rest.substr(0, 2) : rest.substr(semicolon + 1, 2));
        }
    }
    return linesRead >= 3;
}

LibraryContent readAsm(LineReader &lines, int n, int limit)
{
    LibraryContent content;
    Sequence glyph;
    std::string code;
    std::int64_t lineNumber = 0;
    while (readAsmGlyph(lines, n, glyph, code, lineNumber)) {
        if (int(content.glyphs.size()) >= limit) {
            content.cutShort = true;
            break;
        }
        content.glyphs.push_back(std::move(glyph));
        content.codes.push_back(std::move(code));
    }
    return content;
}

LibraryContent readAsm(std::string_view text, int n, int limit)
{
    std::size_t pos = 0;
    LineReader lines([text, &pos](char *buffer, std::size_t max) {
        const std::size_t count = std::min(max, text.size() - pos);
        std::memcpy(buffer, text.data() + pos, count);
        pos += count;
        return count;
    });
    return readAsm(lines, n, limit);
}

} // namespace dotforge
