#include "rules/move_text.h"

#include <cstdlib>

namespace chess {

std::string SquareName(int file, int row) {
    std::string name(FileLetters[file]);
    name += RankDigits[row];
    return name;
}

std::string MoveText(const MoveColumns& moves, int entry) {
    const PieceCode moved = moves.MovedPiece[entry];
    const PieceCode placed = moves.PlacedPiece[entry];
    std::string text(PieceLetters[std::abs(moved)]);
    text += SquareName(moves.FromFile[entry], moves.FromRow[entry]);
    text += '-';
    text += SquareName(moves.ToFile[entry], moves.ToRow[entry]);
    if (placed != moved) text += PieceLetters[std::abs(placed)];
    return text;
}

}  // namespace chess
