// The eight directions and the knight's eight jumps. The generators walk them
// in the order of these tables; the attack tests look along the same lines and
// jumps in an order of their own, derived from the tables here.
#pragma once

#include <array>

#include "rules/position.h"

namespace rules {

// A step of (file step, row step); a row step of -1 goes up the drawn board,
// toward rank 8.
struct Step {
    int file;
    int row;
};

constexpr int DirectionCount = 8;

// D1..D4 are the diagonals, D5..D8 the straight lines, in the order the
// sliders walk them: the queen D1..D8, the bishop D1..D4, the rook D5..D8.
enum Direction : int { D1, D2, D3, D4, D5, D6, D7, D8 };
constexpr std::array<Step, DirectionCount> Directions = {{
    {+1, +1},  // D1 toward h1
    {-1, -1},  // D2 toward a8
    {-1, +1},  // D3 toward a1
    {+1, -1},  // D4 toward h8
    {-1, 0},   // D5 toward the a-file
    {+1, 0},   // D6 toward the h-file
    {0, -1},   // D7 toward rank 8
    {0, +1},   // D8 toward rank 1
}};
constexpr int FirstDiagonal = D1;
constexpr int LastDiagonal = D4;
constexpr int FirstStraight = D5;
constexpr int LastStraight = D8;

constexpr bool IsDiagonal(Step step) { return step.file != 0 && step.row != 0; }

// The knight's jumps in the order the generator tries them.
constexpr int JumpCount = 8;
constexpr std::array<Step, JumpCount> KnightJumps = {
    {{+2, -1}, {+2, +1}, {-2, -1}, {-2, +1}, {-1, +2}, {+1, +2}, {-1, -2}, {+1, -2}}};

template <std::size_t N>
constexpr std::array<Step, N> Reordered(const std::array<Step, N>& steps, const std::array<int, N>& order) {
    std::array<Step, N> result{};
    for (std::size_t i = 0; i < N; ++i) result[i] = steps[static_cast<std::size_t>(order[i])];
    return result;
}

// The lines the attack tests walk from a king: the four straight ones
// (-1, 0), (+1, 0), (0, -1), (0, +1), then the diagonals (-1, -1), (+1, +1),
// (-1, +1), (+1, -1). AttackLines[line] is Directions[AttackLineDirections[line]].
constexpr std::array<int, DirectionCount> AttackLineDirections = {{D5, D6, D7, D8, D2, D1, D3, D4}};
constexpr std::array<Step, DirectionCount> AttackLines = Reordered(Directions, AttackLineDirections);
constexpr int FirstAttackDiagonal = 4;  // AttackLines 0..3 are straight, 4..7 diagonal

// The squares from which a knight reaches a king, as the attack tests look at
// them: (-2, -1), (-2, +1), (+2, -1), (+2, +1), (-1, -2), (-1, +2), (+1, -2), (+1, +2).
constexpr std::array<Step, JumpCount> KnightAttackJumps = Reordered(KnightJumps, {{2, 3, 0, 1, 6, 4, 7, 5}});

// How many steps each direction of Directions can go from each square before
// it leaves the board.
using EdgeDistanceTable = std::array<std::array<std::array<int, DirectionCount>, BoardCells>, BoardCells>;
constexpr EdgeDistanceTable MakeEdgeDistances() {
    EdgeDistanceTable table{};
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            for (int d = 0; d < DirectionCount; ++d) {
                const Step step = Directions[d];
                int steps = 0;
                while (IsOnBoard(file + step.file * (steps + 1), row + step.row * (steps + 1))) ++steps;
                table[file][row][d] = steps;
            }
        }
    }
    return table;
}
constexpr EdgeDistanceTable EdgeDistances = MakeEdgeDistances();

namespace detail {
constexpr bool SameSteps(Step a, Step b) { return a.file == b.file && a.row == b.row; }
constexpr bool LinesSplitAtFirstDiagonal() {
    for (int line = 0; line < DirectionCount; ++line) {
        if (IsDiagonal(AttackLines[line]) != (line >= FirstAttackDiagonal)) return false;
    }
    for (int d = FirstDiagonal; d <= LastDiagonal; ++d) {
        if (!IsDiagonal(Directions[d])) return false;
    }
    for (int d = FirstStraight; d <= LastStraight; ++d) {
        if (IsDiagonal(Directions[d])) return false;
    }
    return true;
}
}  // namespace detail
static_assert(detail::LinesSplitAtFirstDiagonal(), "straight lines and diagonals are numbered apart");
static_assert(detail::SameSteps(AttackLines[0], {-1, 0}) && detail::SameSteps(AttackLines[7], {+1, -1}));
static_assert(detail::SameSteps(KnightAttackJumps[0], {-2, -1}) && detail::SameSteps(KnightAttackJumps[7], {+1, +2}));

}  // namespace rules
