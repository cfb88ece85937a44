// The mate-in-one test and the thinning of an accepted problem.
#pragma once

#include <array>
#include <cstdint>

#include "rules/position.h"

namespace chess {
struct Attackers;
}

namespace problems {

// A copy of the 64 squares, indexed [file][row] with 1..8 used.
constexpr int SquareCopyCells = 9;
using SquareCopy = std::array<std::array<chess::PieceCode, SquareCopyCells>, SquareCopyCells>;

struct MateSearch {
    explicit MateSearch(chess::Position& rules) : Rules(rules) {}

    chess::Position& Rules;
    chess::MoveColumns SavedMoveList{};
    std::int32_t SavedMoveCount = 0;
    SquareCopy BoardBackup{};
    SquareCopy ProblemBoard{};
    std::int32_t MateCount = 0;
    std::int32_t MatePiece = 0;
    // Entries 1..MateCount: the numbers of the mating moves in SavedMoveList
    // (and so in MoveList after the test), in list order.
    std::array<std::int32_t, chess::MoveListCapacity + 1> MatingMoves{};
    // 1 when some mating move of the tested position is a White pawn double
    // step that Black could answer by taking that pawn en passant without
    // leaving his king attacked. The rules core knows no en passant; in chess
    // such a double step is no mate, so a position whose one mate it is is
    // never a problem. (Black may take en passant only right after the double
    // step, so a double step that merely gives check changes nothing.)
    std::int32_t EnPassantAnswer = 0;

    // Counts White's mating moves in the position on the board (White to
    // move); leaves the board as it was and MoveList holding White's legal moves.
    void MateInOneTest();
    // Takes off every piece but the kings whose absence keeps exactly one
    // mate by the kind firstMovePiece; ends with one more MateInOneTest.
    void ReduceProblem(std::int32_t firstMovePiece);

    // After MateInOneTest: exactly one mate, made by the kind firstMovePiece,
    // and that mate is no double step that Black could answer en passant.
    bool IsProblem(std::int32_t firstMovePiece) const;
    // After MateInOneTest: the one mate is a double step that Black could
    // answer en passant, so the position is no problem whatever the kind.
    bool OneMateAnsweredEnPassant() const;

  private:
    void SaveTestedPosition();
    void RestoreTestedPosition();
    bool CanGiveCheck(int candidate) const;
    void TryCandidate(int candidate, bool blackKingWasSafe);
    bool MoveGivesCheck(const chess::Move& move) const;
    bool BlackHasLegalReply();
    bool KingStepIsSafe(const chess::Attackers& attackers, const chess::Move& step);
    bool BlackTakesEnPassant(int candidate);
};

}  // namespace problems
