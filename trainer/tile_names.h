// The 26 square pictures: their numbers, their files in "JPG/" and which
// picture shows which piece on which square shade. Plain C++, so the
// picture generator in tools/ shares the table with the trainer.
#pragma once

#include <array>
#include <cstdlib>
#include <string_view>

#include "rules/position.h"

namespace trainer {

constexpr int TileCount = 26;
constexpr std::string_view TileFolder = "JPG/";
constexpr std::string_view TileExtension = ".bmp";

// Square shades as the board table stores them.
enum Shade : int {
    LightSquare = -1,
    DarkSquare = 1,
};

// File names without folder and extension. The first letter is the piece
// colour (B black, W white), the middle letter the piece, the last letter the
// square shade (B dark, W light); "B" and "W" alone are the empty squares.
constexpr std::array<std::string_view, TileCount> TileNames = {
    "B",   "W",                  // empty
    "BPB", "BPW", "WPB", "WPW",  // pawns
    "BNB", "BNW", "WNB", "WNW",  // knights
    "BBB", "BBW", "WBB", "WBW",  // bishops
    "BRB", "BRW", "WRB", "WRW",  // rooks
    "BQB", "BQW", "WQB", "WQW",  // queens
    "BKB", "BKW", "WKB", "WKW",  // kings
};

// Piece kinds in the order their pictures are numbered.
constexpr std::array<rules::PieceCode, 6> TileKindOrder = {rules::Pawn, rules::Knight, rules::Bishop,
                                                           rules::Rook, rules::Queen,  rules::King};
constexpr int FirstPieceTile = 2;   // pictures 0 and 1 are the empty squares
constexpr int TilesPerKind = 4;     // black on dark, black on light, white on dark, white on light
constexpr int WhiteTileOffset = 2;  // white pictures follow the black ones of the same kind
constexpr int LightTileOffset = 1;  // the light square follows the dark one

constexpr int KindIndex(rules::PieceCode kind) {
    for (int index = 0; index < static_cast<int>(TileKindOrder.size()); ++index) {
        if (TileKindOrder[index] == kind) return index;
    }
    return -1;
}

// The picture number for a piece code on a square of the given shade: the
// dark square gives the even number, the light square the next odd one;
// kinds come pawn to king, black before white. -1 for a code that is no piece.
constexpr int TileNumberFor(rules::PieceCode code, int shade) {
    const int lightOffset = shade == LightSquare ? LightTileOffset : 0;
    if (code == rules::NoPiece) return lightOffset;
    const int kind = KindIndex(code < 0 ? -code : code);
    if (kind < 0) return -1;
    return FirstPieceTile + kind * TilesPerKind + (code > 0 ? WhiteTileOffset : 0) + lightOffset;
}

// SquareShade[file][row]: -1 (light) where file + row is even, +1 (dark)
// where it is odd, so a8 and h1 are light, a1 and h8 dark. A shade flips once
// per file and once per row.
constexpr int ShadeCells = 9;  // indices 0..8; squares 1..8 used
using ShadeTable = std::array<std::array<int, ShadeCells>, ShadeCells>;
constexpr ShadeTable MakeSquareShade() {
    ShadeTable table{};
    int shade = LightSquare;
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        shade = -shade;
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
            shade = -shade;
            table[file][row] = shade;
        }
    }
    return table;
}
constexpr ShadeTable SquareShade = MakeSquareShade();

}  // namespace trainer
