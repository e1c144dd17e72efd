#pragma once
// cairo, loaded when a proof sheet is drawn and not before: the library and the
// X11 libraries it brings would otherwise be loaded, relocated and started by
// every run of the batch tool, a good part of a small build's time.

#include <cairo-pdf.h>
#include <cairo.h>

namespace dotforge::cli {

// The cairo functions the proof sheet calls, each named without its "cairo_".
#define DOTFORGE_CAIRO_FUNCTIONS(X)                                                                                    \
    X(create)                                                                                                          \
    X(destroy)                                                                                                         \
    X(fill)                                                                                                            \
    X(image_surface_create)                                                                                            \
    X(move_to)                                                                                                         \
    X(paint)                                                                                                           \
    X(pdf_surface_create_for_stream)                                                                                   \
    X(pdf_surface_set_metadata)                                                                                        \
    X(rectangle)                                                                                                       \
    X(scale)                                                                                                           \
    X(select_font_face)                                                                                                \
    X(set_font_size)                                                                                                   \
    X(set_line_width)                                                                                                  \
    X(set_source_rgb)                                                                                                  \
    X(show_page)                                                                                                       \
    X(show_text)                                                                                                       \
    X(status)                                                                                                          \
    X(status_to_string)                                                                                                \
    X(stroke)                                                                                                          \
    X(surface_destroy)                                                                                                 \
    X(surface_finish)                                                                                                  \
    X(surface_flush)                                                                                                   \
    X(surface_status)                                                                                                  \
    X(surface_write_to_png_stream)                                                                                     \
    X(text_extents)

struct CairoApi {
#define DOTFORGE_CAIRO_POINTER(name) decltype(&::cairo_##name) name = nullptr;
    DOTFORGE_CAIRO_FUNCTIONS(DOTFORGE_CAIRO_POINTER)
#undef DOTFORGE_CAIRO_POINTER
};

// cairo's functions, the library loaded on the first call; raises
// std::runtime_error naming the library when it cannot be loaded.
const CairoApi &cairo();

} // namespace dotforge::cli
