// The whole rules of a two-mover's solution over the rules core, which makes
// no en-passant moves: they are found and played here.
#include "problems/two_mover_rules.h"

#include <cassert>
#include <cstdlib>

namespace problems {
namespace {

constexpr int DoubleStepRows = 2;
constexpr int BlackPassedRow = 3;  // rank 6, passed over by a black pawn's double step
constexpr int WhitePassedRow = 6;  // rank 3

[[nodiscard]] bool IsPawn(rules::PieceCode code) { return code == rules::Pawn || code == -rules::Pawn; }

}  // namespace

EnPassantSquare SquarePassedBy(const rules::Move& move) {
    if (!IsPawn(move.MovedPiece) || move.FromFile != move.ToFile ||
        std::abs(move.ToRow - move.FromRow) != DoubleStepRows) {
        return {};
    }
    return {move.ToFile, (move.FromRow + move.ToRow) / 2};
}

bool IsEnPassantCapture(const rules::BoardCellsArray& board, const rules::Move& move) {
    return IsPawn(move.MovedPiece) && move.FromFile != move.ToFile && board[move.ToFile][move.ToRow] == rules::NoPiece;
}

void FullRules::SetUp(const rules::BoardCellsArray& board, int sideToMove, EnPassantSquare enPassant) {
    Core->Clear();
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
            if (board[file][row] != rules::NoPiece) Core->Put(file, row, board[file][row]);
        }
    }
    Core->SetSideToMove(sideToMove == rules::White ? rules::White : rules::Black);
    // Only the square behind a double step of the other side: row 3 (rank 6)
    // after Black's, row 6 (rank 3) after White's.
    assert(enPassant.File == 0 || (rules::IsOnBoard(enPassant.File, enPassant.Row) &&
                                   enPassant.Row == (sideToMove == rules::White ? BlackPassedRow : WhitePassedRow)));
    EnPassant = enPassant;
}

void FullRules::AddEnPassantCaptures(std::vector<rules::Move>& moves) const {
    if (EnPassant.File == 0) return;
    const int us = Core->SideToMove();
    // White's pawns walk toward row 1: the capturer and the pawn taken stand
    // one row nearer White's side than the square passed over.
    const int pawnRow = EnPassant.Row + us;
    const rules::PieceCode ours = rules::Pawn * us;
    const rules::PieceCode theirs = -ours;
    if (!rules::IsOnBoard(EnPassant.File, pawnRow) || Core->At(EnPassant.File, pawnRow) != theirs ||
        Core->At(EnPassant.File, EnPassant.Row) != rules::NoPiece) {
        return;
    }
    for (const int file : {EnPassant.File - 1, EnPassant.File + 1}) {
        if (!rules::IsOnBoard(file, pawnRow) || Core->At(file, pawnRow) != ours) continue;
        Core->Put(file, pawnRow, rules::NoPiece);
        Core->Put(EnPassant.File, pawnRow, rules::NoPiece);
        Core->Put(EnPassant.File, EnPassant.Row, ours);
        const bool safe = !Core->InCheck();
        Core->Put(EnPassant.File, EnPassant.Row, rules::NoPiece);
        Core->Put(EnPassant.File, pawnRow, theirs);
        Core->Put(file, pawnRow, ours);
        if (safe) moves.push_back({file, pawnRow, EnPassant.File, EnPassant.Row, ours, ours});
    }
}

void FullRules::LegalMoves(std::vector<rules::Move>& moves) const {
    const rules::MoveList list = Core->LegalMoves();
    moves.clear();
    for (int entry = 1; entry <= list.Count(); ++entry) moves.push_back(list[entry]);
    AddEnPassantCaptures(moves);
}

bool FullRules::HasLegalMove() const {
    if (Core->HasLegalMove()) return true;
    std::vector<rules::Move> captures;
    AddEnPassantCaptures(captures);
    return !captures.empty();
}

bool FullRules::InCheck() const { return Core->InCheck(); }

PlayedMove FullRules::Play(const rules::Move& move) {
    PlayedMove played;
    played.Move = move;
    played.EnPassantBefore = EnPassant;
    played.EnPassant = IsEnPassantCapture(Core->Squares(), move);
    if (played.EnPassant) Core->Put(move.ToFile, move.FromRow, rules::NoPiece);
    played.CoreUndo = Core->Play(move);
    EnPassant = SquarePassedBy(move);
    return played;
}

void FullRules::TakeBack(const PlayedMove& played) {
    const rules::Move& move = played.Move;
    Core->TakeBack(move, played.CoreUndo);
    if (played.EnPassant) Core->Put(move.ToFile, move.FromRow, -move.MovedPiece);
    EnPassant = played.EnPassantBefore;
}

}  // namespace problems
