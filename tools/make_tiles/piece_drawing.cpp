#include "tools/make_tiles/piece_drawing.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace make_tiles {
namespace {

struct Colour {
    std::uint8_t Red, Green, Blue;
};

constexpr Colour LightSquareColour = {0xF0, 0xD9, 0xB5};
constexpr Colour DarkSquareColour = {0xB5, 0x88, 0x63};
constexpr Colour WhitePieceBody = {0xFF, 0xFF, 0xFF};
constexpr Colour PieceInk = {0x10, 0x10, 0x10};
constexpr Colour BlackPieceDetail = {0xF4, 0xF4, 0xF4};

constexpr const char* FontFamily = "DejaVu Sans";
// Share of the square's edge that the king's ink takes in either direction,
// and the height above the square's top edge of the line all pieces stand on.
constexpr double KingShare = 0.88;
constexpr double StandingLine = 0.93;
// Extra stroke width, as a share of the square's edge, for the outline of a
// white piece and for the body of a black one.
constexpr double OutlineThickening = 0.022;
constexpr double SolidThickening = 0.008;
constexpr std::uint8_t InkThreshold = 128;  // a mask pixel at least this opaque belongs to the glyph

// The outline glyph (white chess piece) and the solid glyph (black chess
// piece) of each kind.
// The font draws every piece about as tall as the king; Relative shrinks the
// lesser pieces so that the set looks like one on a real board.
struct Glyphs {
    chess::PieceCode Kind;
    const char* Outline;
    const char* Solid;
    double Relative;  // height against the king's
};
constexpr std::array<Glyphs, 6> PieceGlyphs = {{
    {chess::King, "\u2654", "\u265A", 1.00},
    {chess::Queen, "\u2655", "\u265B", 0.96},
    {chess::Rook, "\u2656", "\u265C", 0.84},
    {chess::Bishop, "\u2657", "\u265D", 0.90},
    {chess::Knight, "\u2658", "\u265E", 0.88},
    {chess::Pawn, "\u2659", "\u265F", 0.74},
}};

// Coverage of one glyph, 0..255 per pixel, centred on a size x size square.
using Mask = std::vector<std::uint8_t>;

// `thickening` widens every stroke of the glyph by that share of the square's
// edge, so thin lines survive being scaled down to small squares.
Mask RenderGlyph(const char* glyph, double relative, double thickening, int size) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, size, size);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, FontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    // Size the font by the king, the largest glyph, so every kind keeps the
    // proportions the font gives it.
    cairo_set_font_size(cr, size);
    cairo_text_extents_t king;
    cairo_text_extents(cr, PieceGlyphs[0].Solid, &king);
    const double scale = KingShare * relative * size / std::max(king.width, king.height);
    cairo_set_font_size(cr, size * scale);

    // Centred across; the ink's lowest point on the standing line.
    cairo_text_extents_t ink;
    cairo_text_extents(cr, glyph, &ink);
    const double x = (size - ink.width) / 2 - ink.x_bearing;
    const double y = StandingLine * size - (ink.height + ink.y_bearing);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, glyph);
    cairo_fill_preserve(cr);
    if (thickening > 0) {
        cairo_set_line_width(cr, thickening * size);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    cairo_surface_flush(surface);

    Mask mask(static_cast<size_t>(size) * size);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < size; ++row) {
        std::copy_n(data + row * stride, size, mask.begin() + static_cast<long>(row) * size);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return mask;
}

// The glyph's silhouette: every pixel that cannot be reached from the edge of
// the square without crossing ink, so the enclosed insides count as well.
Mask Silhouette(const Mask& ink, int size) {
    Mask outside(ink.size(), 0);
    std::vector<int> pending;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= size || y >= size) return;
        const size_t at = static_cast<size_t>(y) * size + x;
        if (outside[at] != 0 || ink[at] >= InkThreshold) return;
        outside[at] = 1;
        pending.push_back(static_cast<int>(at));
    };
    for (int i = 0; i < size; ++i) {
        visit(i, 0);
        visit(i, size - 1);
        visit(0, i);
        visit(size - 1, i);
    }
    while (!pending.empty()) {
        const int at = pending.back();
        pending.pop_back();
        const int x = at % size;
        const int y = at / size;
        visit(x + 1, y);
        visit(x - 1, y);
        visit(x, y + 1);
        visit(x, y - 1);
    }
    Mask inside(ink.size());
    for (size_t at = 0; at < ink.size(); ++at) inside[at] = outside[at] != 0 ? ink[at] : 255;
    return inside;
}

void Blend(std::uint8_t* pixel, Colour colour, std::uint8_t coverage) {
    const int alpha = coverage;
    pixel[0] = static_cast<std::uint8_t>((colour.Red * alpha + pixel[0] * (255 - alpha) + 127) / 255);
    pixel[1] = static_cast<std::uint8_t>((colour.Green * alpha + pixel[1] * (255 - alpha) + 127) / 255);
    pixel[2] = static_cast<std::uint8_t>((colour.Blue * alpha + pixel[2] * (255 - alpha) + 127) / 255);
}

void Paint(RgbPicture& picture, const Mask& mask, Colour colour) {
    for (int y = 0; y < picture.Height; ++y) {
        for (int x = 0; x < picture.Width; ++x) Blend(picture.At(x, y), colour, mask[static_cast<size_t>(y) * picture.Width + x]);
    }
}

const Glyphs* GlyphsOf(chess::PieceCode kind) {
    for (const Glyphs& glyphs : PieceGlyphs) {
        if (glyphs.Kind == kind) return &glyphs;
    }
    return nullptr;
}

}  // namespace

RgbPicture DrawSquarePicture(chess::PieceCode code, int shade, int size) {
    RgbPicture picture(size, size);
    const Colour square = shade < 0 ? LightSquareColour : DarkSquareColour;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) Blend(picture.At(x, y), square, 255);
    }
    const Glyphs* glyphs = GlyphsOf(std::abs(code));
    if (glyphs == nullptr) return picture;

    if (code > 0) {
        // White: the outline glyph's silhouette filled white, then the
        // outline glyph itself in dark ink.
        const Mask outline = RenderGlyph(glyphs->Outline, glyphs->Relative, OutlineThickening, size);
        Paint(picture, Silhouette(outline, size), WhitePieceBody);
        Paint(picture, outline, PieceInk);
    } else {
        // Black: the solid glyph in dark ink; the detail lines the font cuts
        // into it are filled light so they show on either square.
        const Mask solid = RenderGlyph(glyphs->Solid, glyphs->Relative, SolidThickening, size);
        Paint(picture, Silhouette(solid, size), BlackPieceDetail);
        Paint(picture, solid, PieceInk);
    }
    return picture;
}

}  // namespace make_tiles
