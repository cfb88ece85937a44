// Attack tests for both kings and the legal-move filter.
#include "rules/position.h"

namespace chess {
namespace {

struct Step {
    int file;
    int row;
};

// The lines walked from a king: four straight ones, then four diagonals.
constexpr std::array<Step, 4> StraightLines = {{{-1, 0}, {+1, 0}, {0, -1}, {0, +1}}};
constexpr std::array<Step, 4> DiagonalLines = {{{-1, -1}, {+1, +1}, {-1, +1}, {+1, -1}}};

constexpr std::array<Step, 8> KnightSquares = {{
    {-2, -1}, {-2, +1}, {+2, -1}, {+2, +1}, {-1, -2}, {-1, +2}, {+1, -2}, {+1, +2},
}};

}  // namespace

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
    const int x = kingFile;
    const int y = kingRow;
    const PieceCode ownKing = King * Us;
    const PieceCode them = -Us;

    // Sliders: the walk starts on the king's own square and passes over
    // empty squares; any other piece, of either colour, ends the line.
    auto lineAttacked = [&](Step step, PieceCode sliderKind) {
        for (int file = x, row = y; IsOnBoard(file, row); file += step.file, row += step.row) {
            const PieceCode code = Board[file][row];
            if (code == sliderKind * them || code == Queen * them) return true;
            if (code != NoPiece && code != ownKing) return false;
        }
        return false;
    };
    for (const Step step : StraightLines) {
        if (lineAttacked(step, Rook)) {
            InCheck = 1;
            return;
        }
    }
    for (const Step step : DiagonalLines) {
        if (lineAttacked(step, Bishop)) {
            InCheck = 1;
            return;
        }
    }

    // The other king touching this one.
    for (int file = x - 1; file <= x + 1; ++file) {
        for (int row = y - 1; row <= y + 1; ++row) {
            if (IsOnBoard(file, row) && Board[file][row] == King * them) {
                InCheck = 1;
                return;
            }
        }
    }

    for (const Step jump : KnightSquares) {
        const int file = x + jump.file;
        const int row = y + jump.row;
        if (IsOnBoard(file, row) && Board[file][row] == Knight * them) {
            InCheck = 1;
            return;
        }
    }

    // An enemy pawn attacks diagonally forward, so it stands one row toward
    // the enemy's side of the king: row y - 1 for the White king (Black pawns
    // move toward row 8), row y + 1 for the Black king.
    const int pawnRow = y - Us;
    for (const int file : {x - 1, x + 1}) {
        if (IsOnBoard(file, pawnRow) && Board[file][pawnRow] == Pawn * them) {
            InCheck = 1;
            return;
        }
    }
}

void Position::FilterLegalMoves() {
    int kept = 0;
    for (int entry = 1; entry <= MoveCount; ++entry) {
        const int fromFile = MoveList.FromFile[entry];
        const int fromRow = MoveList.FromRow[entry];
        const int toFile = MoveList.ToFile[entry];
        const int toRow = MoveList.ToRow[entry];

        // Play the entry, test the mover's king, take the entry back.
        const PieceCode captured = Board[toFile][toRow];
        Board[fromFile][fromRow] = NoPiece;
        Board[toFile][toRow] = MoveList.PlacedPiece[entry];
        if (SideToMove == White) {
            IsWhiteKingAttacked();
        } else if (SideToMove == Black) {
            IsBlackKingAttacked();
        }
        Board[fromFile][fromRow] = MoveList.MovedPiece[entry];
        Board[toFile][toRow] = captured;

        if (InCheck == 0) {
            ++kept;
            MoveList.MoveEntry(entry, kept);
        }
    }
    MoveCount = kept;
}

}  // namespace chess
