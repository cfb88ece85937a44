// The full search that proves a position a sound two-mover: White to move
// mates in two against every defence by exactly one first move (the key),
// has no mate in one, and the key leaves Black a legal reply.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "problems/two_mover_rules.h"
#include "rules/position.h"

namespace problems {

enum class TwoMoverVerdict {
    Sound,
    IllegalPosition,  // kings touching, Black in check, a pawn on the first or last rank, or castling possible
    MateInOne,
    NoKey,        // no first move of the kind asked for forces mate in two (a stalemating move is no key)
    SeveralKeys,  // more than one first move does, whatever their kinds
};

// One Black defence and White's mates against it, in the order of the legal
// moves; all are counted, the first is the one written out.
struct TwoMoverDefence {
    rules::Move Defence;
    std::string DefenceAlgebraic;
    std::vector<rules::Move> Mates;
    std::string FirstMateAlgebraic;
};

struct TwoMoverSolution {
    rules::Move Key;
    std::string KeyAlgebraic;  // with "+" when it gives check
    bool KeyChecks = false;
    // White's mates if Black could pass after the key; none after a checking key.
    std::vector<rules::Move> Threats;
    std::string FirstThreatAlgebraic;
    std::vector<TwoMoverDefence> Defences;
    int Duals = 0;  // mates beyond the first, over all defences
};

// `firstMoveKind` for a key of any kind.
constexpr rules::PieceCode AnyKeyKind = 0;

struct TwoMoverCounters {
    std::int64_t Judged = 0;       // positions judged
    std::int64_t MovesPlayed = 0;  // moves played by the search, over all positions
};

class TwoMoverSearch {
  public:
    // The verdict on the position `board` with White to move. With Sound,
    // `key` is set to the key. `keyKind` is the kind the piece on the key's
    // target square must be (for a promotion, the piece promoted to), or AnyKeyKind.
    [[nodiscard]] TwoMoverVerdict Judge(const rules::BoardCellsArray& board, rules::PieceCode keyKind,
                                        rules::Move& key);

    // The key's defences and mates, threats and notations for a sound two-mover.
    [[nodiscard]] TwoMoverSolution Solve(const rules::BoardCellsArray& board, const rules::Move& key);

    TwoMoverCounters Counters;

    // True when `board` is a position a two-mover may have, before any
    // search: one king of each colour, the kings apart, Black not in check,
    // no pawn on the first or last rank, and no king and rook of one colour
    // on the squares castling starts from.
    [[nodiscard]] bool IsLegalStart(const rules::BoardCellsArray& board);

  private:
    [[nodiscard]] bool HasMateInOne(int ply);
    [[nodiscard]] bool KeyForcesMate(int ply);
    void CollectMates(int ply, std::vector<rules::Move>& mates);
    [[nodiscard]] std::string Algebraic(const std::vector<rules::Move>& legal, const rules::Move& move);

    FullRules Rules;
    static constexpr int Plies = 4;
    std::vector<rules::Move> PlyMoves[Plies];
    rules::Move Refutation{};  // the last defence that beat a candidate key: tried first on the next one
};

// The trainer's notation of a move ("Лa1-a6", "e7-e8Ф").
[[nodiscard]] std::string TrainerNotation(const rules::Move& move);

[[nodiscard]] inline bool SameMove(const rules::Move& a, const rules::Move& b) {
    return a.FromFile == b.FromFile && a.FromRow == b.FromRow && a.ToFile == b.ToFile && a.ToRow == b.ToRow &&
           a.PlacedPiece == b.PlacedPiece;
}

}  // namespace problems
