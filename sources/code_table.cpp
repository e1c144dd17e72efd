// The code table and the glyph sources.

#include "sources/code_table.h"

#include "core/font16s_variants.h"
#include "core/gbk.h"
#include "core/io_error.h"

#include <limits>

namespace dotforge {

namespace {
constexpr int kVariants = 4;
constexpr int kKorean = 3; // UJF item "韩文"

// Cell number of a table position, -1 for a position outside the grid.
int cellNumber(int col, int row)
{
    if (col < 0 || row < 0 || col >= CodeTable::kColumns || row >= CodeTable::kRows)
        return -1;
    return row * CodeTable::kColumns + col;
}

// The row of the variant tables; no item chosen reads as the first variant.
std::size_t variantRow(int variant)
{
    return std::size_t(variant >= 0 && variant < kVariants ? variant : 0);
}
} // namespace

void CodeTable::reset()
{
    m_sectionSize = kSectionSizes;
    m_firstArea = kFirstAreas;
    m_tableCol = 0;
    m_tableRow = 0;
    m_fontSize = 12;
    m_fontName = kDefaultFace;
    m_image1.fillWhite();
}

void CodeTable::openFontFile(const std::string &path)
{
    m_fontFile.reset(path, true);
}

void CodeTable::closeFontFile()
{
    m_fontFile.close();
}

int CodeTable::setArea(int value, const SourceChoice &source)
{
    if (source.dotMatrix && source.variant == kKorean && value >= 13 && value <= 15)
        value = value > m_curArea ? 16 : 12;
    m_curArea = value;
    return value;
}

// The Korean variant has no areas 13 to 15: its area 16 is file area 13.
int CodeTable::fileArea(const SourceChoice &source) const
{
    if (source.dotMatrix && source.variant == kKorean && m_curArea > 15)
        return m_curArea - 3;
    return m_curArea;
}

void CodeTable::showArea(const SourceChoice &source)
{
    const int area = fileArea(source);
    for (int n = 0; n < kAreaCodes; ++n)
        m_areaTable[std::size_t(n)] = {char(area + 0xA0), char(n + 0xA1)};
    m_tableCol = 0;
    m_tableRow = 0;
    m_tableError.clear();
    m_tableErrorReported = false;
}

int CodeTable::areaCount(int variant) const
{
    return m_sectionSize[variantRow(variant)] / kAreaCodes;
}

int CodeTable::firstAreaOf(int variant) const
{
    return m_firstArea[variantRow(variant)];
}

bool CodeTable::select(int col, int row)
{
    if (row * kColumns + col >= kAreaCodes)
        return false;
    m_tableCol = col;
    m_tableRow = row;
    return true;
}

std::optional<std::string> CodeTable::selectedCode() const
{
    const int n = cellNumber(m_tableCol, m_tableRow);
    if (n < 0 || n >= kAreaCodes)
        return std::nullopt;
    return m_areaTable[std::size_t(n)];
}

CodeTableCell CodeTable::cell(int col, int row, const SourceChoice &source)
{
    CodeTableCell cell;
    const int n = cellNumber(col, row);
    if (n < 0 || n >= kAreaCodes)
        return cell;
    cell.empty = false;
    if (source.trueType) {
        cell.text = gbkToUtf8(m_areaTable[std::size_t(n)]);
        cell.face = m_fontName;
    } else {
        readRecord(cellRecordIndex(fileArea(source), n), source.variant);
        cell.fromFont16s = true;
        cell.record = m_recordBuf;
    }
    return cell;
}

CodeTableCell CodeTable::paintCell(int col, int row, const SourceChoice &source)
{
    try {
        return cell(col, row, source);
    } catch (const IoError &e) {
        if (!m_tableErrorReported) {
            m_tableError = e.what();
            m_tableErrorReported = true;
        }
        CodeTableCell blank;
        blank.empty = false;
        blank.fromFont16s = true;
        return blank;
    }
}

std::string CodeTable::takeError()
{
    std::string error;
    error.swap(m_tableError);
    return error;
}

void CodeTable::errorReported()
{
    m_tableErrorReported = true;
    m_tableError.clear();
}

void CodeTable::setFace(const std::string &face)
{
    m_fontName = face;
    m_tableFace = face;
}

void CodeTable::drawTrueType(Rasterizer &rasterizer, const std::string &code, int dots)
{
    rasterizer.drawText(m_image1, gbkToUtf8(code), m_fontName, m_fontSize, kSurfaceOrigin, kSurfaceOrigin);
    sampleSurface(m_image1, dots, m_sourcePlane);
}

bool CodeTable::hasCode(const std::string &code, int variant) const
{
    return codeInVariant(code, m_sectionSize, variant);
}

void CodeTable::readRecord(std::int64_t recordIndex, int variant)
{
    const std::int64_t base = variantFirstRecord(m_sectionSize, variant);
    // base + index must not wrap around: such a record lies past any file's end.
    if (recordIndex > std::numeric_limits<std::int64_t>::max() - base)
        throw IoError(ioerr::ReadBeyondEnd);
    FontRecord record;
    m_fontFile.seek(base + recordIndex);
    m_fontFile.read(record.data());
    m_recordBuf = record;
}

void CodeTable::readSourceRecord(std::int64_t recordIndex, int variant)
{
    readRecord(recordIndex, variant);
    copyRecord(m_recordBuf, m_sourcePlane);
}

} // namespace dotforge
