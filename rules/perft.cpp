#include "rules/perft.h"

namespace rules {
namespace {

std::uint64_t CountBelow(Position& position, int depth) {
    const MoveList moves = position.LegalMoves();
    // On the last ply every legal move is one leaf.
    if (depth == 1) return static_cast<std::uint64_t>(moves.Count());
    std::uint64_t leaves = 0;
    for (int entry = 1; entry <= moves.Count(); ++entry) {
        const Move move = moves[entry];
        const Undo undo = position.Play(move);
        leaves += CountBelow(position, depth - 1);
        position.TakeBack(move, undo);
    }
    return leaves;
}

}  // namespace

std::uint64_t CountLeaves(Position position, int depth) { return depth <= 0 ? 1 : CountBelow(position, depth); }

}  // namespace rules
