// The SVG text of the twelve piece pictures, compiled into the library at
// build time from the piece set the build was configured with.
#pragma once

#include <cstddef>

#include "rules/position.h"

namespace artwork {

struct PiecePicture {
    rules::PieceCode Code;      // signed piece code the picture shows
    const unsigned char* Text;  // SVG document, not terminated
    std::size_t Length;
};

constexpr int PiecePictureCount = 12;

// One entry per piece code of both colours (generated source).
extern const PiecePicture PiecePictures[PiecePictureCount];

// The picture of `code`, or nullptr for 0 and for codes that name no piece.
const PiecePicture* FindPiecePicture(rules::PieceCode code);

}  // namespace artwork
