// The twelve piece pictures read once and kept, for a program that draws
// many pieces (a sheet of diagrams): drawing from a PieceSet skips reading
// the picture again on every call. Create one in the entry point.
#pragma once

#include <cairo.h>

#include <array>

#include "artwork/piece_pictures.h"
#include "rules/position.h"

namespace artwork {

class PieceSet {
  public:
    PieceSet();
    ~PieceSet();
    PieceSet(const PieceSet&) = delete;
    PieceSet& operator=(const PieceSet&) = delete;

    // Draws as DrawPiece does (artwork/piece_artwork.h), with the same result.
    void Draw(cairo_t* cr, rules::PieceCode code, double x, double y, double edge) const;

  private:
    // Each picture recorded once as vector drawing into a square of
    // RecordedEdge units; nullptr where a picture could not be read.
    std::array<cairo_surface_t*, PiecePictureCount> Recorded{};
};

}  // namespace artwork
