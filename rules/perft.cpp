#include "rules/perft.h"

#include "rules/play_move.h"

namespace chess {

LeafCounter::LeafCounter(Position& position) : position_(position) {}

std::uint64_t LeafCounter::CountLeaves(int depth) {
    if (depth <= 0) return 1;
    if (static_cast<int>(plyMoves_.size()) < depth) plyMoves_.resize(static_cast<std::size_t>(depth));
    return CountBelow(depth, 0);
}

std::uint64_t LeafCounter::CountBelow(int depth, int ply) {
    Position& p = position_;
    p.GenerateLegalMoves();
    // On the last ply every legal move is one leaf.
    if (depth == 1) return static_cast<std::uint64_t>(p.MoveCount);

    std::vector<Move>& moves = plyMoves_[static_cast<std::size_t>(ply)];
    moves.clear();
    for (int entry = 1; entry <= p.MoveCount; ++entry) moves.push_back(p.MoveList.Entry(entry));
    const std::int32_t side = p.SideToMove;
    std::uint64_t leaves = 0;
    for (const Move& move : moves) {
        const PieceCode captured = PlayMove(p.Board, move);
        p.SideToMove = -side;
        leaves += CountBelow(depth - 1, ply + 1);
        p.SideToMove = side;
        TakeBackMove(p.Board, move, captured);
    }
    return leaves;
}

}  // namespace chess
