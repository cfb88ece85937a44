// The mate-in-one test and the thinning of an accepted problem.
#pragma once

#include <array>
#include <cstdint>

#include "problems/trainer_rules.h"
#include "rules/position.h"

namespace problems {

struct MateSearch {
    explicit MateSearch(rules::Position& rules) : Rules(rules) {}

    rules::Position& Rules;

    // The results of the last MateInOneTest.
    rules::Position ProblemBoard{TrainerEnPassant};  // the tested position, White to move
    rules::MoveList WhiteMoves;                      // White's legal moves in it
    std::int32_t MateCount = 0;
    // PlacedPiece of the last mating move found; meaningful only when
    // MateCount is at least 1.
    rules::PieceCode MatePiece = rules::NoPiece;
    // Entries 1..MateCount: the numbers of the mating moves in WhiteMoves,
    // in list order.
    std::array<std::int32_t, rules::MoveListCapacity + 1> MatingMoves{};
    // Whether some mating move of the tested position is a White pawn double
    // step that Black could answer by taking that pawn en passant without
    // leaving his king attacked. The rules core makes no en passant moves; in
    // chess such a double step is no mate, so a position whose one mate it is
    // is never a problem. (Black may take en passant only right after the
    // double step, so a double step that merely gives check changes nothing.)
    bool EnPassantAnswer = false;

    // Counts White's mating moves in the position on the board, with White
    // to move; the position is the same afterwards.
    void MateInOneTest();
    // Takes off every piece but the kings whose absence keeps exactly one
    // mate by the kind firstMovePiece; ends with one more MateInOneTest.
    void ReduceProblem(std::int32_t firstMovePiece);

    // After MateInOneTest: exactly one mate, made by the kind firstMovePiece,
    // and that mate is no double step that Black could answer en passant.
    [[nodiscard]] bool IsProblem(std::int32_t firstMovePiece) const;
    // After MateInOneTest: the one mate is a double step that Black could
    // answer en passant, so the position is no problem whatever the kind.
    [[nodiscard]] bool OneMateAnsweredEnPassant() const;
    // After MateInOneTest with at least one mate: the first mating move.
    [[nodiscard]] rules::Move FirstMate() const { return WhiteMoves[MatingMoves[1]]; }

  private:
    void TryCandidate(int candidate, bool blackKingWasSafe);
};

}  // namespace problems
