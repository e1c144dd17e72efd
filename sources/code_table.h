#pragma once
// The code table and the glyph sources: the area the table shows and its 94
// codes, the table's selection and face, the dot-matrix font file "Font16s",
// the TrueType face and size, the drawing surface and the source plane a
// render fills. It asks nothing and tells no one: its methods return what the
// caller needs, and a file error is raised as IoError.

#include "core/glyph.h"
#include "core/rasterizer.h"
#include "core/record_file.h"
#include "sources/glyph_sources.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace dotforge {

// Cell of the code table as the painter draws it.
struct CodeTableCell {
    bool empty = true; // cells 94 to 99
    bool fromFont16s = false; // dot-matrix source: `record` holds the glyph
    std::string text; // TrueType source: the character, UTF-8
    std::string face; // TrueType source: the face to draw it in, at 12 points
    std::array<std::uint8_t, 32> record{};
};

// The source as the source buttons and the variant list leave it.
struct SourceChoice {
    bool trueType = true; // RW ticked: cells show the characters in FontName
    bool dotMatrix = false; // RU ticked: the Korean variant skips areas 13 to 15
    int variant = 0; // UJF item 0 to 3; -1 (no item) reads as the first
};

class CodeTable {
public:
    static constexpr int kColumns = 10;
    static constexpr int kRows = 10;
    static constexpr int kAreaCodes = 94; // cells 94 to 99 stay empty
    // The face drawn until the font dialog chooses another.
    static constexpr const char *kDefaultFace = "宋体";

    CodeTable() = default;
    CodeTable(const CodeTable &) = delete;
    CodeTable &operator=(const CodeTable &) = delete;

    // Start-up: the variants' sizes and first areas, the first cell, the
    // default face at 12 points and a white surface. The table's face stays.
    void reset();
    // "Font16s": opened read-only; an IoError when it cannot be.
    void openFontFile(const std::string &path);
    void closeFontFile();
    bool hasFontFile() const { return m_fontFile.isOpen(); }

    // ---- areas ----------------------------------------------------------------
    int curArea() const { return m_curArea; }
    // Takes the area the spin edit shows and returns the one the table shows:
    // the Korean variant has no areas 13 to 15, so a step into them goes on
    // in the direction stepped, to 16 or to 12.
    int setArea(int value, const SourceChoice &source);
    // Fills the table with the codes of the current area, selects the first
    // cell and starts the report of a cell read failure afresh: the next one is kept.
    void showArea(const SourceChoice &source);
    // The number of areas of a variant and the one its table opens at; no
    // item chosen counts as the first variant.
    int areaCount(int variant) const;
    int firstAreaOf(int variant) const;
    const std::array<int, 4> &sectionSizes() const { return m_sectionSize; }
    const std::array<int, 4> &firstAreas() const { return m_firstArea; }
    // Code of cell n (0 to 93) of the area shown.
    const std::string &areaCode(int n) const { return m_areaTable[std::size_t(n)]; }

    // ---- selection -------------------------------------------------------------
    // False, and nothing selected, for a cell past the 94th; (-1, -1), over no
    // cell, is taken: that selection is invalid and selects no code.
    bool select(int col, int row);
    int tableCol() const { return m_tableCol; }
    int tableRow() const { return m_tableRow; }
    // The code of the selected cell; none when the selection is no cell of
    // the 94.
    std::optional<std::string> selectedCode() const;

    // ---- cells ---------------------------------------------------------------
    // What cell (col, row) shows; a dot-matrix cell reads its record and
    // raises the read's IoError.
    CodeTableCell cell(int col, int row, const SourceChoice &source);
    // The paint request; never throws. A cell whose record cannot be read is
    // blank, and the first such failure since the area was last shown is kept
    // for takeError().
    CodeTableCell paintCell(int col, int row, const SourceChoice &source);
    std::string takeError(); // "" when there is nothing to report
    // The failure of the area shown was reported by other means: the cells
    // report none.
    void errorReported();
    // Face of the table and of the typed-entry field: FontName with the
    // TrueType source, the default face with the dot-matrix one.
    const std::string &tableFace() const { return m_tableFace; }
    void showFaceInTable() { m_tableFace = m_fontName; }
    void showDotMatrixInTable() { m_tableFace = kDefaultFace; }

    // ---- TrueType source ---------------------------------------------------
    const std::string &FontName() const { return m_fontName; }
    int FontSize() const { return m_fontSize; }
    // The face of the renders, the table's face too.
    void setFace(const std::string &face);
    void setPointSize(int points) { m_fontSize = points; }
    // Draws a GBK code in FontName at FontSize with its text cell at
    // (kSurfaceOrigin, kSurfaceOrigin) on the white surface and samples the
    // n x n square into the source plane.
    void drawTrueType(Rasterizer &rasterizer, const std::string &code, int dots);
    const Surface40 &Image1() const { return m_image1; }
    void clearSurface() { m_image1.fillWhite(); }

    // ---- dot-matrix source -------------------------------------------------
    // Whether the variant has a character of this code (codeInVariant).
    bool hasCode(const std::string &code, int variant) const;
    // Reads record `recordIndex` of a variant into the record buffer; the
    // buffer keeps the previous record when the read fails.
    void readRecord(std::int64_t recordIndex, int variant);
    // Reads a record and copies it into the source plane, which keeps its
    // contents when the read fails.
    void readSourceRecord(std::int64_t recordIndex, int variant);
    // A blank glyph in the source plane, for a code the variant lacks.
    void blankSourceRecord() { copyRecord(FontRecord{}, m_sourcePlane); }
    const FontRecord &recordBuf() const { return m_recordBuf; }

    // The glyph the last render gave, before any effects.
    const GlyphPlane &sourcePlane() const { return m_sourcePlane; }

private:
    // The area whose records and codes the table shows.
    int fileArea(const SourceChoice &source) const;

    int m_curArea = 16;
    std::array<std::string, kAreaCodes> m_areaTable;
    int m_tableCol = 0; // valid when both >= 0 and row * 10 + col < 94
    int m_tableRow = 0;
    std::string m_tableFace = kDefaultFace;
    std::string m_tableError; // failure of a cell read, not yet taken
    bool m_tableErrorReported = false; // one report per area shown

    RecordFile m_fontFile{32}; // "Font16s"
    std::array<int, 4> m_sectionSize{};
    std::array<int, 4> m_firstArea{};
    FontRecord m_recordBuf{};

    std::string m_fontName = kDefaultFace;
    int m_fontSize = 12;
    Surface40 m_image1; // the hidden drawing surface
    GlyphPlane m_sourcePlane;
};

} // namespace dotforge
