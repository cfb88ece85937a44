// The mate-in-one test and the thinning of an accepted problem.
#pragma once

#include <array>
#include <cstdint>

#include "rules/position.h"

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
    // 1 when some legal White pawn double step of the tested position gives
    // check and Black could take that pawn en passant without leaving his
    // king attacked. The rules core knows no en passant, so such a check
    // (a mate among them) would be judged differently by a chess player: the
    // position is never a problem.
    std::int32_t EnPassantAnswer = 0;

    // Counts White's mating moves in the position on the board (White to
    // move); leaves the board as it was and MoveList holding White's legal moves.
    void MateInOneTest();
    // Takes off every piece but the kings whose absence keeps exactly one
    // mate by the kind firstMovePiece; ends with one more MateInOneTest.
    void ReduceProblem(std::int32_t firstMovePiece);

    // After MateInOneTest: exactly one mate, made by the kind firstMovePiece,
    // and no checking double step that Black could answer en passant.
    bool IsProblem(std::int32_t firstMovePiece) const;

  private:
    void SaveTestedPosition();
    void RestoreTestedPosition();
    bool CanGiveCheck(int candidate) const;
    void TryCandidate(int candidate, bool blackKingWasSafe);
    bool MoveGivesCheck(const chess::Move& move) const;
    bool BlackHasLegalReply();
    bool KingStepIsSafe(std::uint64_t occupied, const chess::Move& step);
    bool BlackTakesEnPassant(int candidate);
};

}  // namespace problems
