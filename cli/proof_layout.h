#pragma once
// Where a proof sheet puts each glyph: cells of an enlarged glyph under a line
// with its number, code and character, and optionally its bytes below. Sizes
// are in points; A4 pages for PDF, one image of kPngScale pixels a point for PNG.

#include <algorithm>

namespace dotforge::cli {

constexpr double kPngScale = 2.0;

struct ProofGeometry {
    int n = 16; // dot size
    bool bytes = false; // the bytes under each glyph
    double pageWidth = 595.276; // A4
    double pageHeight = 841.89;
    double margin = 36;
    double headerHeight = 30; // the title line of a page
    double labelHeight = 14; // number, code and character above a glyph
    double glyphSide = 96; // the enlarged glyph
    double bytesLineHeight = 8;
    double gap = 14; // between cells
    double dot() const { return glyphSide / n; }
    int bytesPerLine() const { return n / 2; }
    int bytesLines() const { return bytes ? n * n / 8 / bytesPerLine() : 0; }
    double bytesWidth() const { return bytes ? bytesPerLine() * 3 * 3.9 : 0; } // 6.5-point monospace digits
    double cellWidth() const { return std::max(glyphSide, bytesWidth()) + gap; }
    double cellHeight() const
    {
        return labelHeight + glyphSide + (bytes ? 4 + bytesLines() * bytesLineHeight : 0) + gap;
    }
    // Cells in a row: as many as fit an A4 page, or for an image of `count`
    // glyphs up to 10.
    int columns(bool image, int count) const
    {
        if (image)
            return std::max(1, std::min(count, 10));
        return std::max(1, int((pageWidth - 2 * margin + gap) / cellWidth()));
    }
    int rowsPerPage() const { return std::max(1, int((pageHeight - 2 * margin - headerHeight + gap) / cellHeight())); }
    int glyphsPerPage() const { return columns(false, 0) * rowsPerPage(); }
    double imageWidth(int count) const { return 2 * margin + columns(true, count) * cellWidth() - gap; }
    double imageHeight(int count) const
    {
        const int columnCount = columns(true, count);
        const int rows = std::max(1, (count + columnCount - 1) / columnCount);
        return 2 * margin + headerHeight + rows * cellHeight() - gap;
    }
};

struct ProofPlace {
    int page = 0; // always 0 in an image
    double x = 0; // top left corner of the enlarged glyph, in points
    double y = 0;
};

// Glyph `index` (from 0) of `count`.
inline ProofPlace proofPlace(const ProofGeometry &g, int index, bool image, int count)
{
    const int columnCount = g.columns(image, count);
    const int perPage = image ? count : g.glyphsPerPage();
    ProofPlace p;
    p.page = image ? 0 : index / perPage;
    const int onPage = image ? index : index % perPage;
    p.x = g.margin + (onPage % columnCount) * g.cellWidth();
    p.y = g.margin + g.headerHeight + (onPage / columnCount) * g.cellHeight() + g.labelHeight;
    return p;
}

} // namespace dotforge::cli
