// Attack tests for both kings, and whether a move gives check.
#include <cstdlib>

#include "rules/square_attacks.h"

namespace rules {
namespace {

// The squares, by file and row distance from a king, that lie on one of his
// eight lines or a knight's jump away: the only squares where a move can
// start or end when it gives check to a king that was not attacked before (a
// piece arriving there may attack him, a piece leaving there may open a line
// to him).
constexpr int LongestDistance = LastSquare - FirstSquare;
constexpr int DistanceSpan = 2 * LongestDistance + 1;
using CheckSquareTable = std::array<std::array<bool, DistanceSpan>, DistanceSpan>;
constexpr CheckSquareTable MakeCheckSquares() {
    CheckSquareTable table{};
    for (const Step line : Directions) {
        for (int distance = 1; distance <= LongestDistance; ++distance) {
            table[line.file * distance + LongestDistance][line.row * distance + LongestDistance] = true;
        }
    }
    for (const Step jump : KnightJumps) table[jump.file + LongestDistance][jump.row + LongestDistance] = true;
    table[LongestDistance][LongestDistance] = true;  // the king's own square
    return table;
}
constexpr CheckSquareTable CheckSquares = MakeCheckSquares();

// A capture en passant changes three squares: the board after it is looked
// at whole. Kept out of line, so that the copy of the board costs nothing to
// the moves that are no such capture.
[[gnu::noinline]] bool EnPassantGivesCheck(const BoardCellsArray& board, const Move& move, int kingFile, int kingRow,
                                           Side them) {
    BoardCellsArray after = board;
    after[move.FromFile][move.FromRow] = NoPiece;
    after[move.ToFile][move.FromRow] = NoPiece;
    after[move.ToFile][move.ToRow] = move.PlacedPiece;
    return them == White ? KingAttackedOn<White>(after, kingFile, kingRow)
                         : KingAttackedOn<Black>(after, kingFile, kingRow);
}

}  // namespace

template <Side Us>
bool Position::KingAttacked() const {
    const KingSquare& king = KingOf(Us);
    return HasKing(Us) && KingAttackedOn<Us>(board_, king.File, king.Row);
}

bool Position::IsWhiteKingAttacked() const { return KingAttacked<White>(); }

bool Position::IsBlackKingAttacked() const { return KingAttacked<Black>(); }

bool Position::InCheck() const { return sideToMove_ == White ? KingAttacked<White>() : KingAttacked<Black>(); }

bool Position::GivesCheck(const Move& move) const {
    return sideToMove_ == White ? GivesCheckBy<White>(move) : GivesCheckBy<Black>(move);
}

// A move changes only two squares, so only two things can attack the other
// king that did not: the moved piece from its new square, and a slider
// behind the from-square on a line that the move opened.
template <Side Us>
bool Position::GivesCheckBy(const Move& move) const {
    constexpr Side them = Us == White ? Black : White;
    assert(!KingAttacked<them>());
    if (!HasKing(them)) return false;
    const int kingFile = KingOf(them).File;
    const int kingRow = KingOf(them).Row;
    if (IsEnPassantCapture(move)) return EnPassantGivesCheck(board_, move, kingFile, kingRow, them);
    const auto onCheckSquare = [&](int file, int row) {
        return CheckSquares[file - kingFile + LongestDistance][row - kingRow + LongestDistance];
    };
    if (!onCheckSquare(move.FromFile, move.FromRow) && !onCheckSquare(move.ToFile, move.ToRow)) return false;

    // The squares as they stand once the move is played.
    const auto codeAfter = [&](int file, int row) {
        if (file == move.ToFile && row == move.ToRow) return move.PlacedPiece;
        if (file == move.FromFile && row == move.FromRow) return PieceCode{NoPiece};
        return board_[file][row];
    };
    // The first piece from the king toward (file, row), when that square lies
    // on one of his lines: a slider of colour Us of that line's kind attacks him.
    const auto lineAttacks = [&](int file, int row) {
        const int fileDistance = file - kingFile;
        const int rowDistance = row - kingRow;
        const int files = std::abs(fileDistance);
        const int rows = std::abs(rowDistance);
        const bool straight = files == 0 || rows == 0;
        if (!straight && files != rows) return false;
        const int fileStep = (fileDistance > 0) - (fileDistance < 0);
        const int rowStep = (rowDistance > 0) - (rowDistance < 0);
        for (int f = kingFile + fileStep, r = kingRow + rowStep; IsOnBoard(f, r); f += fileStep, r += rowStep) {
            const PieceCode code = codeAfter(f, r);
            if (code == NoPiece) continue;
            return code == Queen * Us || code == (straight ? Rook : Bishop) * Us;
        }
        return false;
    };
    const int files = std::abs(move.ToFile - kingFile);
    const int rowDistance = move.ToRow - kingRow;
    const int rows = std::abs(rowDistance);
    switch (move.PlacedPiece * Us) {
        case Knight:
            if ((files == 1 && rows == 2) || (files == 2 && rows == 1)) return true;
            break;
        case Pawn:
            // A pawn attacks the two squares diagonally ahead of it: a White
            // pawn the row above (toward row 1), a Black one the row below.
            if (files == 1 && rowDistance == Us) return true;
            break;
        case King:
            if (files <= 1 && rows <= 1) return true;
            break;
        default:
            if (lineAttacks(move.ToFile, move.ToRow)) return true;
            break;
    }
    return lineAttacks(move.FromFile, move.FromRow);
}

}  // namespace rules
