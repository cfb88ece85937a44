// Setting up a position, playing a move and taking it back.
#include "rules/position.h"

namespace rules {

void Position::Clear() {
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) board_[file][row] = NoPiece;
    }
    kings_ = {};
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
    const Undo undo{board_[move.ToFile][move.ToRow]};
    board_[move.FromFile][move.FromRow] = NoPiece;
    board_[move.ToFile][move.ToRow] = move.PlacedPiece;
    if (move.MovedPiece == King * sideToMove_) kings_[IndexOf(sideToMove_)] = {move.ToFile, move.ToRow};
    const Side other = sideToMove_ == White ? Black : White;
    if (undo.Captured == King * other) kings_[IndexOf(other)] = {};  // only in a position no game reaches
    sideToMove_ = other;
    return undo;
}

void Position::TakeBack(const Move& move, const Undo& undo) {
    const Side other = sideToMove_;
    const Side mover = other == White ? Black : White;
    sideToMove_ = mover;
    board_[move.FromFile][move.FromRow] = move.MovedPiece;
    board_[move.ToFile][move.ToRow] = undo.Captured;
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
    return board_ == other.board_ && sideToMove_ == other.sideToMove_ && sameKing(White) && sameKing(Black);
}

}  // namespace rules
