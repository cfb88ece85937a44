// Attack tests for both kings.
#include "rules/square_attacks.h"

namespace chess {

void Position::IsWhiteKingAttacked() { TestKingAttacked<White>(WhiteKingFile, WhiteKingRow); }

void Position::IsBlackKingAttacked() { TestKingAttacked<Black>(BlackKingFile, BlackKingRow); }

// Finds the king of colour Us. The square recorded by the last test is looked
// at first: with exactly one king of a colour on the board, which the rules
// guarantee, a hit there is the square a full scan would find. Otherwise the
// squares are scanned, file 1..8 outer and row 1..8 inner.
template <Side Us>
bool Position::LocateKing(std::int32_t& kingFile, std::int32_t& kingRow) const {
    const PieceCode king = King * Us;
    if (IsOnBoard(kingFile, kingRow) && Board[kingFile][kingRow] == king) return true;
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            if (Board[file][row] == king) {
                kingFile = file;
                kingRow = row;
                return true;
            }
        }
    }
    return false;
}

// Sets InCheck to 1 when a piece of the other colour attacks the king of
// colour Us, else to 0. A board without that king leaves InCheck 0 and the
// recorded king square unchanged.
template <Side Us>
void Position::TestKingAttacked(std::int32_t& kingFile, std::int32_t& kingRow) {
    InCheck = 0;
    if (!LocateKing<Us>(kingFile, kingRow)) return;
    if (KingAttackedOn<Us>(Board, kingFile, kingRow)) InCheck = 1;
}

}  // namespace chess
