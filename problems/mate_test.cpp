// The mate-in-one test: every legal White move is played on the board, and it
// is a mate when the Black king then stands attacked and Black has no legal
// reply. The board and White's move list are put back afterwards.
#include "problems/mate_test.h"

namespace problems {
namespace {

using chess::Black;
using chess::FirstSquare;
using chess::LastSquare;
using chess::NoPiece;
using chess::Pawn;
using chess::White;

// A White pawn's double step leaves row 7 (rank 2) for row 5 (rank 4), over
// row 6; a Black pawn beside the landing square could take it en passant,
// landing on the square passed over.
constexpr int DoubleStepFromRow = 7;
constexpr int DoubleStepToRow = 5;
constexpr int PassedOverRow = 6;

}  // namespace

void MateSearch::MateInOneTest() {
    Rules.SideToMove = White;
    MateCount = 0;
    EnPassantAnswer = 0;
    Rules.GenerateWhiteMoves();
    Rules.FilterLegalMoves();
    SaveTestedPosition();
    for (int candidate = 1; candidate <= SavedMoveCount; ++candidate) TryCandidate(candidate);
    RestoreTestedPosition();
}

bool MateSearch::IsProblem(std::int32_t firstMovePiece) const {
    return MateCount == 1 && MatePiece == firstMovePiece && EnPassantAnswer == 0;
}

void MateSearch::SaveTestedPosition() {
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            BoardBackup[file][row] = Rules.Board[file][row];
            ProblemBoard[file][row] = Rules.Board[file][row];
        }
    }
    SavedMoveCount = Rules.MoveCount;
    Rules.MoveList.CopyEntriesTo(SavedMoveList, SavedMoveCount);
}

void MateSearch::RestoreTestedPosition() {
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) Rules.Board[file][row] = BoardBackup[file][row];
    }
    Rules.MoveCount = SavedMoveCount;
    SavedMoveList.CopyEntriesTo(Rules.MoveList, SavedMoveCount);
}

// Plays one of White's legal moves, counts it when it mates and takes it back.
// Only a checking move is looked at further: a move that leaves Black without
// a move but not in check (stalemate) is no mate.
void MateSearch::TryCandidate(int candidate) {
    const int fromFile = SavedMoveList.FromFile[candidate];
    const int fromRow = SavedMoveList.FromRow[candidate];
    const int toFile = SavedMoveList.ToFile[candidate];
    const int toRow = SavedMoveList.ToRow[candidate];
    const chess::PieceCode captured = Rules.Board[toFile][toRow];
    Rules.Board[fromFile][fromRow] = NoPiece;
    Rules.Board[toFile][toRow] = SavedMoveList.PlacedPiece[candidate];

    Rules.IsBlackKingAttacked();
    if (Rules.InCheck == 1) {
        Rules.SideToMove = Black;
        Rules.GenerateBlackMoves();
        Rules.FilterLegalMoves();
        if (Rules.MoveCount == 0) {
            Rules.IsBlackKingAttacked();  // the filter has overwritten InCheck
            if (Rules.InCheck == 1) {
                ++MateCount;
                MatePiece = SavedMoveList.PlacedPiece[candidate];
            }
        }
        if (BlackTakesEnPassant(candidate)) EnPassantAnswer = 1;
    }

    Rules.Board[fromFile][fromRow] = SavedMoveList.MovedPiece[candidate];
    Rules.Board[toFile][toRow] = captured;
}

// With the checking candidate on the board: is it a pawn double step that a
// Black pawn beside the landing square can take en passant, the capture
// leaving the Black king not attacked?
bool MateSearch::BlackTakesEnPassant(int candidate) {
    if (SavedMoveList.MovedPiece[candidate] != Pawn || SavedMoveList.FromRow[candidate] != DoubleStepFromRow ||
        SavedMoveList.ToRow[candidate] != DoubleStepToRow) {
        return false;
    }
    const int pawnFile = SavedMoveList.ToFile[candidate];
    bool escapes = false;
    for (const int takerFile : {pawnFile - 1, pawnFile + 1}) {
        if (takerFile < FirstSquare || takerFile > LastSquare) continue;
        if (Rules.Board[takerFile][DoubleStepToRow] != -Pawn) continue;
        // Take en passant: the Black pawn lands behind the White one, which goes.
        Rules.Board[takerFile][DoubleStepToRow] = NoPiece;
        Rules.Board[pawnFile][DoubleStepToRow] = NoPiece;
        Rules.Board[pawnFile][PassedOverRow] = -Pawn;
        Rules.IsBlackKingAttacked();
        if (Rules.InCheck == 0) escapes = true;
        Rules.Board[pawnFile][PassedOverRow] = NoPiece;
        Rules.Board[pawnFile][DoubleStepToRow] = Pawn;
        Rules.Board[takerFile][DoubleStepToRow] = -Pawn;
    }
    return escapes;
}

}  // namespace problems
