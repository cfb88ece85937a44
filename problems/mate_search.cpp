// The mate-in-one test: every legal White move is played and taken back, and
// it is a mate when the Black king then stands attacked and Black has no
// legal reply.
#include "problems/mate_search.h"

namespace problems {

void MateSearch::MateInOneTest() {
    Rules.SetSideToMove(rules::White);
    MateCount = 0;
    EnPassantAnswer = false;
    ProblemBoard = Rules;
    WhiteMoves = Rules.LegalMoves();
    // With the Black king attacked already (no position White may have to
    // move), a move's check is found by playing it.
    const bool blackKingSafe = !Rules.IsBlackKingAttacked();
    for (int candidate = 1; candidate <= WhiteMoves.Count(); ++candidate) TryCandidate(candidate, blackKingSafe);
    assert(Rules == ProblemBoard);
}

bool MateSearch::IsProblem(std::int32_t firstMovePiece) const {
    return MateCount == 1 && MatePiece == firstMovePiece && !EnPassantAnswer;
}

bool MateSearch::OneMateAnsweredEnPassant() const { return MateCount == 1 && EnPassantAnswer; }

// Only a checking move is played: a move that leaves Black without a move but
// not in check (stalemate) is no mate.
void MateSearch::TryCandidate(int candidate, bool blackKingWasSafe) {
    const rules::Move move = WhiteMoves[candidate];
    if (blackKingWasSafe && !Rules.GivesCheck(move)) return;
    const rules::Undo undo = Rules.Play(move);
    // Black to move: in check when GivesCheck said so, else as the attack test finds.
    if ((blackKingWasSafe || Rules.InCheck()) && !Rules.HasLegalMove()) {
        ++MateCount;
        MatingMoves[MateCount] = candidate;
        MatePiece = move.PlacedPiece;
        if (Rules.CanTakeEnPassant(move)) EnPassantAnswer = true;
    }
    Rules.TakeBack(move, undo);
}

}  // namespace problems
