// The signed piece codes and the two sides. The settings name the piece that
// must give mate by these same kind codes.
#pragma once

#include <cstdint>

namespace rules {

// A signed piece code: the sign is the colour (positive White, negative
// Black), the magnitude the kind. The magnitudes double as piece-kind codes.
using PieceCode = std::int32_t;

enum PieceKind : PieceCode {
    NoPiece = 0,
    Pawn = 2,
    Knight = 3,
    Bishop = 4,
    Rook = 5,
    Queen = 9,
    King = 100,
};

// Side to move, and the sign that turns a kind into that side's code.
enum Side : std::int32_t {
    White = 1,
    Black = -1,
};

}  // namespace rules
