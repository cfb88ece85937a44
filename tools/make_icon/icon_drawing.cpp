#include "tools/make_icon/icon_drawing.h"

#include <cairo.h>

#include <cstdint>

#include "tools/make_tiles/piece_drawing.h"
#include "trainer/tile_names.h"

namespace make_icon {
namespace {

// Radius of the rounded corners as a share of the edge.
constexpr double CornerShare = 0.12;
constexpr double QuarterTurn = 1.57079632679489661923;  // pi / 2, in radians

// The picture copied into an opaque cairo surface.
cairo_surface_t* SurfaceOf(make_tiles::RgbPicture& picture) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.Width, picture.Height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < picture.Height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<long>(y) * stride);
        for (int x = 0; x < picture.Width; ++x) {
            const std::uint8_t* pixel = picture.At(x, y);
            row[x] = (std::uint32_t{pixel[0]} << 16) | (std::uint32_t{pixel[1]} << 8) | pixel[2];
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

void RoundedSquare(cairo_t* cr, int edge) {
    const double radius = CornerShare * edge;
    const double quarter = QuarterTurn;
    cairo_new_sub_path(cr);
    cairo_arc(cr, edge - radius, radius, radius, -quarter, 0);
    cairo_arc(cr, edge - radius, edge - radius, radius, 0, quarter);
    cairo_arc(cr, radius, edge - radius, radius, quarter, 2 * quarter);
    cairo_arc(cr, radius, radius, radius, 2 * quarter, 3 * quarter);
    cairo_close_path(cr);
}

}  // namespace

bool WriteIcon(int edge, const std::string& path) {
    make_tiles::RgbPicture knight =
        make_tiles::DrawSquarePicture(rules::Knight * rules::White, trainer::LightSquare, edge);
    cairo_surface_t* square = SurfaceOf(knight);
    cairo_surface_t* icon = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, edge, edge);
    cairo_t* cr = cairo_create(icon);
    RoundedSquare(cr, edge);
    cairo_set_source_surface(cr, square, 0, 0);
    cairo_fill(cr);
    cairo_destroy(cr);
    const bool written = cairo_surface_write_to_png(icon, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(icon);
    cairo_surface_destroy(square);
    return written;
}

}  // namespace make_icon
