// The chess piece pictures, drawn as vectors with cairo, so the same pieces
// look sharp on the trainer's square pictures and on a printed page.
#pragma once

#include <cairo.h>

#include "rules/position.h"

namespace artwork {

// Draws the piece with the signed code `code` (0: nothing) into the square with top-left corner (x, y)
// and edge `edge` in the user units of `cr`; the square's background is left as it is. cr's state is
// restored on return. A program that draws many pieces draws them, with the same result, from one
// artwork::PieceSet (artwork/piece_set.h), which reads the pictures only once.
void DrawPiece(cairo_t* cr, rules::PieceCode code, double x, double y, double edge);

}  // namespace artwork
