#pragma once
// Whole-record access to the store file "JQT.TMP": record i is the raw plane of
// library glyph i, 128 bytes at byte 128 x i.

#include "core/glyph.h"
#include "core/record_file.h"

#include <cstdint>

namespace dotforge {

// Reads record `record`. The caller's plane is only replaced once the whole
// record has been read, so a failing read leaves it as it was.
inline GlyphPlane readPlane(RecordFile &store, std::int64_t record)
{
    GlyphPlane plane;
    store.seek(record);
    store.read(plane.bytes.data());
    return plane;
}

inline void writePlane(RecordFile &store, std::int64_t record, const GlyphPlane &plane)
{
    store.seek(record);
    store.write(plane.bytes.data());
}

} // namespace dotforge
