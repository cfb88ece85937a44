// The whole rules of chess for a two-mover's solution, over the rules core:
// the core's legal moves with the en-passant captures a double step allows,
// moves played and taken back with what they took. Castling cannot arise in
// the positions a two-mover is made from. Every look of the two-mover search
// at the rules goes through these few operations.
#pragma once

#include <memory>
#include <vector>

#include "rules/position.h"

namespace problems {

// The square a pawn's double step passed over, where the other side may take
// it on the very next move; File 0 when the last move was no double step.
struct EnPassantSquare {
    int File = 0;
    int Row = 0;
};

// The square left by `move` when it is a pawn's double step, else none.
[[nodiscard]] EnPassantSquare SquarePassedBy(const rules::Move& move);

// True when `move`, about to be played on `board`, is a pawn's diagonal step
// onto an empty square: an en-passant capture.
[[nodiscard]] bool IsEnPassantCapture(const rules::BoardCellsArray& board, const rules::Move& move);

// What taking a move back needs.
struct PlayedMove {
    rules::Move Move;
    rules::Undo CoreUndo;
    bool EnPassant = false;  // the pawn taken stood beside the target, on (Move.ToFile, Move.FromRow)
    EnPassantSquare EnPassantBefore;
};

struct FullRules {
    FullRules() : Core(std::make_unique<rules::Position>()) {}

    // Sets the squares with `sideToMove` to move and `enPassant` as the square
    // a double step of the other side has just passed over (none by default).
    void SetUp(const rules::BoardCellsArray& board, int sideToMove, EnPassantSquare enPassant = {});

    [[nodiscard]] const rules::BoardCellsArray& Board() const { return Core->Squares(); }
    [[nodiscard]] int SideToMove() const { return Core->SideToMove(); }

    [[nodiscard]] EnPassantSquare EnPassantTarget() const { return EnPassant; }

    // Fills `moves` with the legal moves of the side to move, en passant
    // included, in the core's order with en passant last.
    void LegalMoves(std::vector<rules::Move>& moves) const;
    // True when the side to move has at least one legal move.
    [[nodiscard]] bool HasLegalMove() const;
    // True when the king of the side to move stands attacked.
    [[nodiscard]] bool InCheck() const;
    // True when the side to move is checkmated.
    [[nodiscard]] bool IsMated() const { return InCheck() && !HasLegalMove(); }

    // Plays a legal move of the side to move; the other side is then to move.
    PlayedMove Play(const rules::Move& move);
    // Takes back the last move played.
    void TakeBack(const PlayedMove& played);

  private:
    // Appends the en-passant captures of the side to move onto EnPassant
    // that leave its king unattacked. Each capture is tried on the core's
    // squares and taken back at once: the position is as it was.
    void AddEnPassantCaptures(std::vector<rules::Move>& moves) const;

    std::unique_ptr<rules::Position> Core;
    EnPassantSquare EnPassant;
};

}  // namespace problems
