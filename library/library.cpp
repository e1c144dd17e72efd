#include "library/library.h"

#include "core/store_records.h"

#include <algorithm>

namespace dotforge {

void Library::createStore(const std::string &path, const std::string &inUseText)
{
    m_store.rewriteExclusive(path, inUseText);
}

void Library::closeStore()
{
    m_store.closeAndErase();
}

GlyphPlane Library::readGlyph(int index)
{
    return readPlane(m_store, index);
}

void Library::writeGlyph(int index, const GlyphPlane &plane)
{
    writePlane(m_store, index, plane);
}

void Library::replaceSelected(const GlyphPlane &plane)
{
    writePlane(m_store, m_index, plane);
}

int Library::room() const
{
    return std::max(kLibraryCapacity - m_count, 0);
}

bool Library::contains(const std::string &code) const
{
    const auto end = m_codes.begin() + std::clamp(m_count, 0, kLibraryCapacity);
    return std::find(m_codes.begin(), end, code) != end;
}

const std::string &Library::code(int index) const
{
    static const std::string none;
    return index >= 0 && index < kLibraryCapacity ? m_codes[std::size_t(index)] : none;
}

std::vector<std::string> Library::codes() const
{
    return {m_codes.begin(), m_codes.begin() + std::clamp(m_count, 0, kLibraryCapacity)};
}

void Library::writeNext(const GlyphPlane &plane, int ahead)
{
    writePlane(m_store, std::int64_t(m_count) + ahead, plane);
}

void Library::admit(const std::string &code)
{
    m_codes[std::size_t(m_count++)] = code;
}

Library::Removal Library::removeSelected()
{
    if (m_count <= 0)
        return {0, 0};
    // A press beside the list cells may have left a negative index. Nothing
    // before the first record may be touched: the last glyph goes, as for an
    // index beyond the end, and the new last glyph is selected.
    if (m_index < 0)
        m_index = m_count - 1;

    const int selected = m_index;
    // Close the gap record by record.
    for (; m_index < m_count - 1; ++m_index) {
        writePlane(m_store, m_index, readPlane(m_store, m_index + 1));
        m_codes[std::size_t(m_index)] = m_codes[std::size_t(m_index) + 1];
    }
    --m_count;
    m_index = selected;
    if (m_index >= m_count && m_index > 0)
        --m_index;
    m_store.truncate(m_count);
    return {selected, m_count};
}

void Library::clear(int n)
{
    m_count = 0;
    m_index = 0;
    m_marked = -1;
    m_cellSize = n + 4;
    m_colCount = m_clientWidth / m_cellSize;
    m_rowCount = (m_colCount + kLibraryCapacity - 1) / m_colCount;
    for (auto &code : m_codes)
        code.clear();
}

int Library::glyphAt(int col, int row) const
{
    // A press beside the cells is (-1, -1) whatever part of it the grid mapped.
    if (col < 0 || row < 0 || col >= m_colCount)
        return -1;
    const int index = row * m_colCount + col;
    return index < m_count ? index : -1;
}

std::string Library::labelText() const
{
    return "共 " + std::to_string(m_count) + "字 第 " + std::to_string(m_index + 1) + "字";
}

Library::Marking Library::markSelected()
{
    const int previous = m_marked;
    m_marked = m_index >= 0 && m_index < m_count ? m_index : -1;
    return {previous >= 0 && previous != m_marked ? previous : -1, m_marked};
}

} // namespace dotforge
