#include "rules/move_text.h"

#include <cstdlib>

namespace rules {

std::string SquareName(int file, int row) {
    std::string name(FileLetters[file]);
    name += RankDigits[row];
    return name;
}

std::string MoveText(const Move& move, char between) {
    std::string text(PieceLetters[std::abs(move.MovedPiece)]);
    text += SquareName(move.FromFile, move.FromRow);
    text += between;
    text += SquareName(move.ToFile, move.ToRow);
    if (move.IsPromotion()) text += PieceLetters[std::abs(move.PlacedPiece)];
    return text;
}

}  // namespace rules
