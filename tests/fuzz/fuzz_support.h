#pragma once
// Shared by the fuzz targets: the first input byte picks the dot size, the mode
// and the glyph limit; a broken invariant aborts so that libFuzzer reports it.

#include "formats/layout.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace dotforge::fuzz {

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                        \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

struct Setup {
    int n;
    Mode mode;
    int limit;
};

inline Setup setupFrom(std::uint8_t b)
{
    static constexpr int kSizes[] = {16, 24, 32};
    return {kSizes[b % 3], Mode((b / 3) % 4), (b & 0x80) ? kLibraryCapacity : 2};
}

// Converting a sequence to a raw glyph and back gives the same sequence.
inline void checkLayouts(const Sequence &glyph, const Setup &s)
{
    FUZZ_CHECK(toFileOrder(fromFileOrder(glyph, s.n, s.mode), s.n, s.mode) == glyph);
}

} // namespace dotforge::fuzz
