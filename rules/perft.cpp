#include "rules/perft.h"

namespace chess {

LeafCounter::LeafCounter(Position& position) : position_(position) {}

std::uint64_t LeafCounter::CountLeaves(int depth) {
    if (depth <= 0) return 1;
    if (static_cast<int>(savedLists_.size()) < depth) savedLists_.resize(depth);
    return CountBelow(depth, 0);
}

std::uint64_t LeafCounter::CountBelow(int depth, int ply) {
    Position& p = position_;
    const std::int32_t side = p.SideToMove;
    if (side == White) {
        p.GenerateWhiteMoves();
    } else {
        p.GenerateBlackMoves();
    }
    p.FilterLegalMoves();
    // On the last ply every legal move is one leaf.
    if (depth == 1) return static_cast<std::uint64_t>(p.MoveCount);

    const int count = p.MoveCount;
    MoveColumns& moves = savedLists_[ply];
    p.MoveList.CopyEntriesTo(moves, count);
    std::uint64_t leaves = 0;
    for (int entry = 1; entry <= count; ++entry) {
        const int fromFile = moves.FromFile[entry];
        const int fromRow = moves.FromRow[entry];
        const int toFile = moves.ToFile[entry];
        const int toRow = moves.ToRow[entry];
        const PieceCode captured = p.Board[toFile][toRow];
        p.Board[fromFile][fromRow] = NoPiece;
        p.Board[toFile][toRow] = moves.PlacedPiece[entry];
        p.SideToMove = -side;
        leaves += CountBelow(depth - 1, ply + 1);
        p.SideToMove = side;
        p.Board[fromFile][fromRow] = moves.MovedPiece[entry];
        p.Board[toFile][toRow] = captured;
    }
    return leaves;
}

}  // namespace chess
