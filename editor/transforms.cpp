// Whole-glyph transforms of the editor grid: quarter turns, mirrors, band swaps
// and one-dot shifts. They move cell texts within the N x N square only.
//
// The selection rectangle stays where it was, but the cells under it changed:
// a block move after a transform takes the block from the grid as it now
// stands, never from the snapshot of the glyph before the transform.

#include "core/workspace.h"

#include <utility>

namespace dotforge {

void Workspace::wholeGlyphChanged(bool makesSavable)
{
    m_snapshotStale = true;
    if (makesSavable)
        ChgDone();
    else
        EditModified = true;
    notifyEditor();
}

// The dot at (x, y) moves to (y, N - 1 - x): four cells at a time, ring by ring.
void Workspace::CCWBtnClick()
{
    const int n = dotSize;
    for (int i = 0; i < n / 2; ++i)
        for (int j = i; j < n - 1 - i; ++j) {
            std::string t = std::move(SG2.at(j, i));
            SG2.at(j, i) = std::move(SG2.at(n - 1 - i, j));
            SG2.at(n - 1 - i, j) = std::move(SG2.at(n - 1 - j, n - 1 - i));
            SG2.at(n - 1 - j, n - 1 - i) = std::move(SG2.at(i, n - 1 - j));
            SG2.at(i, n - 1 - j) = std::move(t);
        }
    wholeGlyphChanged(true);
}

// The dot at (x, y) moves to (N - 1 - y, x).
void Workspace::CWBtnClick()
{
    const int n = dotSize;
    for (int i = 0; i < n / 2; ++i)
        for (int j = i; j < n - 1 - i; ++j) {
            std::string t = std::move(SG2.at(j, i));
            SG2.at(j, i) = std::move(SG2.at(i, n - 1 - j));
            SG2.at(i, n - 1 - j) = std::move(SG2.at(n - 1 - j, n - 1 - i));
            SG2.at(n - 1 - j, n - 1 - i) = std::move(SG2.at(n - 1 - i, j));
            SG2.at(n - 1 - i, j) = std::move(t);
        }
    wholeGlyphChanged(true);
}

void Workspace::HflipBtnClick()
{
    const int n = dotSize;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n / 2; ++x)
            std::swap(SG2.at(x, y), SG2.at(n - 1 - x, y));
    wholeGlyphChanged(true);
}

void Workspace::VflipBtnClick()
{
    const int n = dotSize;
    for (int y = 0; y < n / 2; ++y)
        for (int x = 0; x < n; ++x)
            std::swap(SG2.at(x, y), SG2.at(x, n - 1 - y));
    wholeGlyphChanged(true);
}

// Reverses the order of the 8-dot bands of every row (the byte order of a plane
// row); the dots inside a band keep their order.
void Workspace::ELBtnClick()
{
    const int n = dotSize;
    for (int y = 0; y < n; ++y)
        for (int i = 0; i < 8; ++i) {
            std::swap(SG2.at(i, y), SG2.at(n - 8 + i, y));
            if (n == 32)
                std::swap(SG2.at(8 + i, y), SG2.at(16 + i, y));
        }
    wholeGlyphChanged(true);
}

// The same on the 8-row bands.
void Workspace::EUBtnClick()
{
    const int n = dotSize;
    for (int x = 0; x < n; ++x)
        for (int i = 0; i < 8; ++i) {
            std::swap(SG2.at(x, i), SG2.at(x, n - 8 + i));
            if (n == 32)
                std::swap(SG2.at(x, 8 + i), SG2.at(x, 16 + i));
        }
    wholeGlyphChanged(true);
}

// The shifts drop the line pushed past the edge and bring in a blank one. They
// mark the grid as edited but, unlike the turns, do not make the library savable.
void Workspace::LeftBtnClick()
{
    const int n = dotSize;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n - 1; ++x)
            SG2.at(x, y) = SG2.at(x + 1, y);
        SG2.at(n - 1, y) = kBlank;
    }
    wholeGlyphChanged(false);
}

void Workspace::RightBtnClick()
{
    const int n = dotSize;
    for (int y = 0; y < n; ++y) {
        for (int x = n - 1; x >= 1; --x)
            SG2.at(x, y) = SG2.at(x - 1, y);
        SG2.at(0, y) = kBlank;
    }
    wholeGlyphChanged(false);
}

void Workspace::UpBtnClick()
{
    const int n = dotSize;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n - 1; ++y)
            SG2.at(x, y) = SG2.at(x, y + 1);
        SG2.at(x, n - 1) = kBlank;
    }
    wholeGlyphChanged(false);
}

void Workspace::DownBtnClick()
{
    const int n = dotSize;
    for (int x = 0; x < n; ++x) {
        for (int y = n - 1; y >= 1; --y)
            SG2.at(x, y) = SG2.at(x, y - 1);
        SG2.at(x, 0) = kBlank;
    }
    wholeGlyphChanged(false);
}

} // namespace dotforge
