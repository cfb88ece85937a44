// En-passant captures: found beside the pawn that has just made a double
// step, judged by playing them and asking whether the mover's king stands
// attacked.
#include "rules/en_passant.h"

#include <cstdlib>

namespace chess {
namespace {

constexpr int DoubleStepRows = 2;

}  // namespace

EnPassantSquare SquarePassedBy(const Move& move) {
    const bool pawn = move.MovedPiece == Pawn || move.MovedPiece == -Pawn;
    if (!pawn || move.FromFile != move.ToFile || std::abs(move.ToRow - move.FromRow) != DoubleStepRows) return {};
    return {move.ToFile, (move.FromRow + move.ToRow) / 2};
}

bool IsEnPassantCapture(const BoardCellsArray& board, const Move& move) {
    const bool pawn = move.MovedPiece == Pawn || move.MovedPiece == -Pawn;
    return pawn && move.FromFile != move.ToFile && board[move.ToFile][move.ToRow] == NoPiece;
}

void AddEnPassantCaptures(Position& position, EnPassantSquare square) {
    if (square.File == 0) return;
    const int us = position.SideToMove;
    // White's pawns walk toward row 1: the capturer and the pawn taken stand
    // one row nearer White's side than the square passed over.
    const int pawnRow = square.Row + us;
    BoardCellsArray& board = position.Board;
    const PieceCode ours = Pawn * us;
    const PieceCode theirs = -Pawn * us;
    if (!IsOnBoard(square.File, pawnRow) || board[square.File][pawnRow] != theirs ||
        board[square.File][square.Row] != NoPiece) {
        return;
    }
    for (const int file : {square.File - 1, square.File + 1}) {
        if (!IsOnBoard(file, pawnRow) || board[file][pawnRow] != ours) continue;
        board[file][pawnRow] = NoPiece;
        board[square.File][pawnRow] = NoPiece;
        board[square.File][square.Row] = ours;
        if (us == White) {
            position.IsWhiteKingAttacked();
        } else {
            position.IsBlackKingAttacked();
        }
        const bool safe = position.InCheck == 0;
        board[square.File][square.Row] = NoPiece;
        board[square.File][pawnRow] = theirs;
        board[file][pawnRow] = ours;
        if (safe && position.MoveCount < MoveListCapacity) {
            const int entry = ++position.MoveCount;
            MoveColumns& list = position.MoveList;
            list.FromFile[entry] = file;
            list.FromRow[entry] = pawnRow;
            list.ToFile[entry] = square.File;
            list.ToRow[entry] = square.Row;
            list.MovedPiece[entry] = ours;
            list.PlacedPiece[entry] = ours;
        }
    }
}

}  // namespace chess
