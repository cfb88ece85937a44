// The mate solver: whether the side to move forces mate in n moves, for any
// n, under the whole rules of chess (checks, pins, en passant, the four
// promotions for both sides, stalemate); the verdict on a position offered
// as a problem, and the solution of a sound one as a tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rules/position.h"

namespace problems {

// What a position is as a problem of mate in n with White to move.
enum class MateVerdict {
    Sound,
    IllegalPosition,  // kings touching, Black in check, a pawn on the first or last rank, or castling possible
    ShorterMate,      // White mates in fewer moves
    NoKey,            // no first move of the kind asked for forces mate
    SeveralKeys,      // more than one first move does, whatever their kinds
    StalematingKey,   // no key; a first move of the kind stalemates Black, which solves nothing
};

// A key of any kind.
constexpr rules::PieceCode AnyKeyKind = 0;
// The longest mates the solver looks for.
constexpr int MostMateMoves = 5;

struct DefenceNode;

// A move of White's in the solution and the play after it: every Black
// defence, none after a mate.
struct WhiteNode {
    rules::Move Move;
    std::string Algebraic;  // standard algebraic notation, "+" or "#" included
    std::string Trainer;    // the trainer's notation ("Фd1-d5")
    bool Checks = false;
    bool Mates = false;
    bool Captures = false;              // takes a piece, en passant too
    std::vector<DefenceNode> Defences;  // in the order of Black's legal moves
};

// A Black defence and White's continuation: the one that mates soonest,
// the first in the order of the legal moves among those. Duals counts the
// other moves that mate as soon.
struct DefenceNode {
    rules::Move Move;
    std::string Algebraic;
    bool Captures = false;
    bool Checks = false;
    std::vector<WhiteNode> Continuation;  // one node; none when Black has no reply left to meet
    int MovesToMate = 0;                  // White's moves still needed after this defence
    int Duals = 0;
};

struct Solution {
    int Moves = 0;  // n of "mate in n"
    WhiteNode Key;  // the key, with the whole play below it
    // For a key that does not check: White's moves that would mate soonest,
    // within n - 1 moves, if Black could pass (not played out). None after a
    // checking key.
    std::vector<WhiteNode> Threats;
    int Duals = 0;  // over every White move of the tree
};

struct SolverCounters {
    std::int64_t Judged = 0;            // positions judged
    std::int64_t KeySearchMoves = 0;    // moves played to find keys of the kind asked for
    std::int64_t ShorterMateMoves = 0;  // moves played to rule out a shorter mate
    std::int64_t OtherKeyMoves = 0;     // moves played to rule out keys of other kinds
    std::int64_t TableHits = 0;         // positions whose answer the table of judged positions gave
    [[nodiscard]] std::int64_t MovesPlayed() const { return KeySearchMoves + ShorterMateMoves + OtherKeyMoves; }
};

class MateSolver {
  public:
    MateSolver();
    ~MateSolver();
    MateSolver(const MateSolver&) = delete;
    MateSolver& operator=(const MateSolver&) = delete;

    // Sets up the position the queries below look at.
    void SetUp(const rules::BoardCellsArray& board, rules::Side toMove, rules::Square enPassant = rules::NoSquare);
    void SetUp(const rules::Position& position);
    [[nodiscard]] const rules::Position& Current() const { return *Board; }
    // Forgets what the table of judged positions and the move order learnt,
    // so that the next search is the one a new solver would make.
    void Forget();

    // Whether the side to move mates in at most `n` moves (1..MostMateMoves)
    // against every defence. The position is as it was afterwards.
    [[nodiscard]] bool MateIn(int n);
    // Whether the side to move as set up is lost: mated now, or mated by the
    // other side within `n` moves (0..MostMateMoves - 1) against every defence.
    // The position is as it was afterwards.
    [[nodiscard]] bool MatedIn(int n);

    // How many moves of the side to move mate in at most `n` moves against
    // every defence, counted up to `most` (the count stops there). The
    // position is as it was afterwards.
    [[nodiscard]] int MatingMovesWithin(int n, int most);

    // Whether the position as set up may stand in a problem with its side to
    // move: one king each, the kings apart, the other side not in check, no
    // pawn on the first or last rank, no king and rook of one colour on the
    // squares castling starts from.
    [[nodiscard]] bool IsLegalStart() const;

    // The verdict on `board`, White to move, as a mate in `n`. With Sound,
    // `key` is set to the key. `keyKind` is the kind the piece on the key's
    // target square must be (for a promotion, the piece promoted to), or
    // AnyKeyKind. `keys` (may be null) receives the keys found, of any kind:
    // one with Sound, all of them with SeveralKeys.
    [[nodiscard]] MateVerdict Judge(const rules::BoardCellsArray& board, int n, rules::PieceCode keyKind,
                                    rules::Move& key, std::vector<rules::Move>* keys = nullptr);
    // The same for the position as set up (its side to move is the one who mates).
    [[nodiscard]] MateVerdict JudgeCurrent(int n, rules::PieceCode keyKind, rules::Move& key,
                                           std::vector<rules::Move>* keys = nullptr);

    // The solution tree of a sound problem on `board`, White to move.
    [[nodiscard]] Solution Solve(const rules::BoardCellsArray& board, int n, const rules::Move& key);
    [[nodiscard]] Solution SolveCurrent(int n, const rules::Move& key);

    SolverCounters Counters;

  private:
    struct TableEntry;
    struct Search;

    [[nodiscard]] bool MateInOne();
    [[nodiscard]] bool DefenderLoses(int movesLeft);
    [[nodiscard]] std::int64_t& PhaseCounter();
    rules::Undo Play(const rules::Move& move);
    void TakeBack(const rules::Move& move, const rules::Undo& undo);

    [[nodiscard]] int MovesToMateAfter(const rules::Move& move, int most);
    void Expand(WhiteNode& node, int movesLeft, int& duals);
    [[nodiscard]] WhiteNode NodeOf(const rules::Move& move);
    [[nodiscard]] std::vector<WhiteNode> SoonestMates(int most, int& soonest);

    std::unique_ptr<rules::Position> Board;
    std::unique_ptr<Search> State;
};

[[nodiscard]] const char* VerdictName(MateVerdict verdict);

}  // namespace problems
