// Drawing one embedded SVG piece picture with librsvg.
#pragma once

#include <cairo.h>

#include "artwork/piece_pictures.h"

namespace artwork {

// Reads `picture` and draws it into the square at (x, y) with edge `edge`
// in cr's user units. cr's state and path are as before on return. False
// when the picture could not be read or drawn.
bool RenderPiecePicture(cairo_t* cr, const PiecePicture& picture, double x, double y, double edge);

}  // namespace artwork
