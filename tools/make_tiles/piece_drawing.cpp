#include "tools/make_tiles/piece_drawing.h"

#include <cairo.h>

#include <cstdint>

#include "artwork/piece_artwork.h"

namespace make_tiles {
namespace {

struct Colour {
    double Red, Green, Blue;
};

constexpr Colour LightSquareColour = {0xF0 / 255.0, 0xD9 / 255.0, 0xB5 / 255.0};
constexpr Colour DarkSquareColour = {0xB5 / 255.0, 0x88 / 255.0, 0x63 / 255.0};

}  // namespace

RgbPicture DrawSquarePicture(rules::PieceCode code, int shade, int size) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size, size);
    cairo_t* cr = cairo_create(surface);
    const Colour square = shade < 0 ? LightSquareColour : DarkSquareColour;
    cairo_set_source_rgb(cr, square.Red, square.Green, square.Blue);
    cairo_paint(cr);
    artwork::DrawPiece(cr, code, 0, 0, size);
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    // RGB24 keeps each pixel in a native-endian 32-bit word 0x00RRGGBB.
    RgbPicture picture(size, size);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < size; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<long>(y) * stride);
        for (int x = 0; x < size; ++x) {
            std::uint8_t* pixel = picture.At(x, y);
            pixel[0] = static_cast<std::uint8_t>(row[x] >> 16);
            pixel[1] = static_cast<std::uint8_t>(row[x] >> 8);
            pixel[2] = static_cast<std::uint8_t>(row[x]);
        }
    }
    cairo_surface_destroy(surface);
    return picture;
}

}  // namespace make_tiles
