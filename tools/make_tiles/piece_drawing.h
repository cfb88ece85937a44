// Drawing one square picture: a light or dark square with the shared piece
// artwork on it.
#pragma once

#include "rules/position.h"
#include "tools/make_tiles/bmp_file.h"

namespace make_tiles {

// `code` is a signed piece code (0 for an empty square), `shade` -1 light or
// +1 dark; the picture is `size` pixels square.
RgbPicture DrawSquarePicture(rules::PieceCode code, int shade, int size);

}  // namespace make_tiles
