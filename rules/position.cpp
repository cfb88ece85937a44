// Setting up a position, playing a move and taking it back.
#include "rules/position.h"

#include <cstdlib>

namespace rules {
namespace {

constexpr int DoubleStepRows = 2;
constexpr int WhiteToMovePassedRow = 3;  // rank 6: passed over by a black pawn's double step
constexpr int BlackToMovePassedRow = 6;  // rank 3: passed over by a white pawn's double step

[[nodiscard]] bool IsPawn(PieceCode code) { return std::abs(code) == Pawn; }

}  // namespace

void Position::Clear() {
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) board_[file][row] = NoPiece;
    }
    kings_ = {};
    enPassant_ = NoSquare;
}

void Position::SetSquares(const BoardCellsArray& board) {
    Clear();
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            if (board[file][row] != NoPiece) Put(file, row, board[file][row]);
        }
    }
}

bool Position::CanBeEnPassantSquare(Square square) const {
    if (square.IsNone()) return true;
    if (!IsOnBoard(square.File, square.Row)) return false;
    if (square.Row != (sideToMove_ == White ? WhiteToMovePassedRow : BlackToMovePassedRow)) return false;
    // The pawn that stepped stands one row nearer the side to move; its
    // starting square and the square passed over are empty.
    const int landed = square.Row + sideToMove_;
    const int started = square.Row - sideToMove_;
    return board_[square.File][landed] == -Pawn * sideToMove_ && board_[square.File][square.Row] == NoPiece &&
           board_[square.File][started] == NoPiece;
}

void Position::SetEnPassantSquare(Square square) {
    assert(CanBeEnPassantSquare(square));
    enPassant_ = square;
}

void Position::Put(int file, int row, PieceCode code) {
    assert(IsOnBoard(file, row));
    for (const Side side : {White, Black}) {
        KingSquare& king = kings_[IndexOf(side)];
        if (king.File == file && king.Row == row) king = {};  // the king is replaced
        if (code == King * side) {
            assert(!HasKing(side) && "one king of each colour at most");
            king = {file, row};
        }
    }
    board_[file][row] = code;
}

Undo Position::Play(const Move& move) {
    assert(board_[move.FromFile][move.FromRow] == move.MovedPiece && move.MovedPiece * sideToMove_ > 0);
    Undo undo{board_[move.ToFile][move.ToRow], enPassant_, IsEnPassantCapture(move)};
    const Side other = sideToMove_ == White ? Black : White;
    if (undo.TookEnPassant) board_[move.ToFile][move.FromRow] = NoPiece;
    board_[move.FromFile][move.FromRow] = NoPiece;
    board_[move.ToFile][move.ToRow] = move.PlacedPiece;
    if (move.MovedPiece == King * sideToMove_) kings_[IndexOf(sideToMove_)] = {move.ToFile, move.ToRow};
    if (undo.Captured == King * other) kings_[IndexOf(other)] = {};  // only in a position no game reaches
    enPassant_ = NoSquare;
    // A double step is recorded only where a pawn of the other side stands
    // beside it, ready to take: elsewhere no capture could follow.
    if (enPassantRule_ == EnPassantRule::Played && IsPawn(move.MovedPiece) &&
        std::abs(move.ToRow - move.FromRow) == DoubleStepRows) {
        const PieceCode theirPawn = Pawn * other;
        if (board_[move.ToFile - 1][move.ToRow] == theirPawn || board_[move.ToFile + 1][move.ToRow] == theirPawn) {
            enPassant_ = {move.ToFile, (move.FromRow + move.ToRow) / 2};
        }
    }
    sideToMove_ = other;
    return undo;
}

void Position::TakeBack(const Move& move, const Undo& undo) {
    const Side other = sideToMove_;
    const Side mover = other == White ? Black : White;
    sideToMove_ = mover;
    board_[move.FromFile][move.FromRow] = move.MovedPiece;
    board_[move.ToFile][move.ToRow] = undo.Captured;
    if (undo.TookEnPassant) board_[move.ToFile][move.FromRow] = Pawn * other;
    enPassant_ = undo.EnPassantBefore;
    if (move.MovedPiece == King * mover) kings_[IndexOf(mover)] = {move.FromFile, move.FromRow};
    if (undo.Captured == King * other) kings_[IndexOf(other)] = {move.ToFile, move.ToRow};
    assert(KingsAsRecorded());
}

bool Position::KingsAsRecorded() const {
    for (const Side side : {White, Black}) {
        const KingSquare& king = KingOf(side);
        if (HasKing(side) && board_[king.File][king.Row] != King * side) return false;
    }
    return true;
}

bool Position::operator==(const Position& other) const {
    const auto sameKing = [&](Side side) {
        return KingOf(side).File == other.KingOf(side).File && KingOf(side).Row == other.KingOf(side).Row;
    };
    return board_ == other.board_ && sideToMove_ == other.sideToMove_ && sameKing(White) && sameKing(Black) &&
           enPassant_ == other.enPassant_;
}

}  // namespace rules
