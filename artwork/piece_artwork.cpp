#include "artwork/piece_artwork.h"

#include "artwork/piece_drawing.h"
#include "artwork/piece_pictures.h"

namespace artwork {

void DrawPiece(cairo_t* cr, rules::PieceCode code, double x, double y, double edge) {
    const PiecePicture* picture = FindPiecePicture(code);
    if (picture == nullptr || edge <= 0) return;
    // The pictures are compiled in and were read once at build time; one that
    // does not read draws nothing rather than stopping the program.
    RenderPiecePicture(cr, *picture, x, y, edge);
}

}  // namespace artwork
