// Counting the leaves of the legal-move tree: a check of the generators and
// the legal-move filter against counts found by other means, and a measure of
// their speed.
#pragma once

#include <cstdint>

#include "rules/position.h"

namespace rules {

// The number of move sequences of `depth` legal moves from `position`, with
// its side to move; 1 for depth 0. The moves are played on a copy.
[[nodiscard]] std::uint64_t CountLeaves(Position position, int depth);

}  // namespace rules
