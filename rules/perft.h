// Counting the leaves of the legal-move tree: a check of the generators and
// the legal-move filter against counts found by other means, and a measure of
// their speed.
#pragma once

#include <cstdint>
#include <vector>

#include "rules/position.h"

namespace chess {

struct LeafCounter {
    // The counter plays its moves on `position`'s board and takes them back.
    explicit LeafCounter(Position& position);

    // The number of move sequences of `depth` legal moves from the position,
    // with position.SideToMove to move; 1 for depth 0. The board and
    // SideToMove are the same afterwards; the move list is overwritten.
    std::uint64_t CountLeaves(int depth);

  private:
    std::uint64_t CountBelow(int depth, int ply);

    Position& position_;
    // The legal moves of each ply above the last, since each ply below
    // overwrites the one move list; each holds only that ply's moves.
    std::vector<std::vector<Move>> plyMoves_;
};

}  // namespace chess
