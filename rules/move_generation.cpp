// Pseudo-legal move generation for both colours.
//
// White and Black are mirror images: every code tested or written is the
// White code times `Us` (+1 or -1), and the pawns walk toward row 1 for White
// and toward row 8 for Black. Nothing asks whether the mover's own king is
// left attacked; FilterLegalMoves does that afterwards.
#include "rules/directions.h"
#include "rules/position.h"
#include "rules/square_attacks.h"

namespace chess {

// The squares a knight or a king on one square may go to.
struct StepTargets {
    int Count = 0;
    std::array<Step, 8> Squares{};
};

namespace {

// Pieces a pawn may become, in the order their entries are appended.
constexpr std::array<PieceCode, 4> PromotionKinds = {Knight, Bishop, Rook, Queen};

// Rows that matter to a pawn of one colour.
template <Side Us>
struct PawnRows {
    static constexpr int Forward = Us == White ? -1 : +1;
    static constexpr int DoubleStepFrom = Us == White ? 7 : 2;
    static constexpr int PromotionRow = Us == White ? FirstSquare : LastSquare;
    // A plain step or capture (no promotion) lands on rows 2..8 for White
    // and 1..7 for Black; anything else is the promotion row or off the board.
    static constexpr bool AllowsPlainMove(int targetRow) {
        return Us == White ? targetRow >= FirstSquare + 1 : targetRow <= LastSquare - 1;
    }
};

// The squares a knight or a king on each square may go to, in the order
// the generator tries them: the knight's jumps in KnightJumps order, the
// king's block with the file outer and the row inner (his own square left
// out: it holds the king and never qualifies). Only squares of the board.
using StepTargetTable = std::array<std::array<StepTargets, BoardCells>, BoardCells>;
constexpr StepTargetTable MakeKnightTargets() {
    StepTargetTable table{};
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            StepTargets& targets = table[file][row];
            for (const Step jump : KnightJumps) {
                if (IsOnBoard(file + jump.file, row + jump.row)) {
                    targets.Squares[targets.Count++] = {file + jump.file, row + jump.row};
                }
            }
        }
    }
    return table;
}
constexpr StepTargetTable MakeKingTargets() {
    StepTargetTable table{};
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            StepTargets& targets = table[file][row];
            for (int toFile = file - 1; toFile <= file + 1; ++toFile) {
                for (int toRow = row - 1; toRow <= row + 1; ++toRow) {
                    if (IsOnBoard(toFile, toRow) && (toFile != file || toRow != row)) {
                        targets.Squares[targets.Count++] = {toFile, toRow};
                    }
                }
            }
        }
    }
    return table;
}
constexpr StepTargetTable KnightTargets = MakeKnightTargets();
constexpr StepTargetTable KingTargets = MakeKingTargets();

// How many squares each direction of Directions has from each square up to
// the board's edge.
using DirectionLengthTable = std::array<std::array<std::array<int, DirectionCount>, BoardCells>, BoardCells>;
constexpr DirectionLengthTable MakeDirectionLengths() {
    DirectionLengthTable table{};
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            for (int d = 0; d < DirectionCount; ++d) {
                int length = 0;
                while (IsOnBoard(file + Directions[d].file * (length + 1), row + Directions[d].row * (length + 1))) {
                    ++length;
                }
                table[file][row][d] = length;
            }
        }
    }
    return table;
}
constexpr DirectionLengthTable DirectionLengths = MakeDirectionLengths();

}  // namespace

void MoveColumns::CopyEntriesTo(MoveColumns& target, int count) const {
    for (int entry = 1; entry <= count; ++entry) {
        target.FromFile[entry] = FromFile[entry];
        target.FromRow[entry] = FromRow[entry];
        target.ToFile[entry] = ToFile[entry];
        target.ToRow[entry] = ToRow[entry];
        target.MovedPiece[entry] = MovedPiece[entry];
        target.PlacedPiece[entry] = PlacedPiece[entry];
    }
}

void Position::GenerateWhiteMoves() { GenerateMoves<White>(); }

void Position::GenerateBlackMoves() { GenerateMoves<Black>(); }

// Appends one entry; `count` is the generator's running MoveCount, kept
// apart from the member until the scan ends.
inline void Position::AppendMove(int& count, int fromFile, int fromRow, int toFile, int toRow, PieceCode moved,
                                 PieceCode placed) {
    ++count;
    MoveList.FromFile[count] = fromFile;
    MoveList.FromRow[count] = fromRow;
    MoveList.ToFile[count] = toFile;
    MoveList.ToRow[count] = toRow;
    MoveList.MovedPiece[count] = moved;
    MoveList.PlacedPiece[count] = placed;
}

template <Side Us>
void Position::GenerateMoves() {
    int count = 0;
    // The squares of the mover's pieces, lowest bit first: that is the scan
    // order, file 1..8 outer and row 1..8 inner.
    for (SquareSet own = SquaresOfColour<Us>(Board); own != 0; own &= own - 1) {
        const int bit = __builtin_ctzll(own);
        const int file = FileOfBit(bit);
        const int row = RowOfBit(bit);
        const PieceCode piece = Board[file][row];
        switch (piece * Us) {
            case Pawn: AddPawnMoves<Us>(count, file, row); break;
            case Knight: AddStepperMoves<Us>(count, file, row, piece); break;
            case Bishop: AddSliderMoves<Us>(count, file, row, piece, FirstDiagonal, LastDiagonal); break;
            case Rook: AddSliderMoves<Us>(count, file, row, piece, FirstStraight, LastStraight); break;
            case Queen: AddSliderMoves<Us>(count, file, row, piece, FirstDiagonal, LastStraight); break;
            case King: AddKingMoves<Us>(count, file, row); break;
            default: break;  // a code that names no piece
        }
    }
    MoveCount = count;
}

template <Side Us>
void Position::AddSliderMoves(int& count, int file, int row, PieceCode piece, int firstDirection, int lastDirection) {
    for (int d = firstDirection; d <= lastDirection; ++d) {
        const Step step = Directions[d];
        int toFile = file;
        int toRow = row;
        for (int length = DirectionLengths[file][row][d]; length > 0; --length) {
            toFile += step.file;
            toRow += step.row;
            const PieceCode target = Board[toFile][toRow] * Us;  // as seen by the mover
            if (target > 0) break;                               // own piece blocks
            AppendMove(count, file, row, toFile, toRow, piece, piece);
            if (target < 0) break;  // a capture ends the line
        }
    }
}

template <Side Us>
void Position::AddStepperMoves(int& count, int file, int row, PieceCode piece) {
    AppendFreeOrEnemyTargets<Us>(count, file, row, piece, KnightTargets[file][row]);
}

template <Side Us>
void Position::AddKingMoves(int& count, int file, int row) {
    AppendFreeOrEnemyTargets<Us>(count, file, row, King * Us, KingTargets[file][row]);
}

// Each target square is written into the next entry, and the entry is kept
// (the count grows) when the square is free or holds an enemy piece: no
// branch to mispredict. The list has one spare entry for the last write.
template <Side Us>
inline void Position::AppendFreeOrEnemyTargets(int& count, int file, int row, PieceCode piece,
                                               const StepTargets& targets) {
    for (int i = 0; i < targets.Count; ++i) {
        const Step square = targets.Squares[i];
        const int entry = count + 1;
        MoveList.FromFile[entry] = file;
        MoveList.FromRow[entry] = row;
        MoveList.ToFile[entry] = square.file;
        MoveList.ToRow[entry] = square.row;
        MoveList.MovedPiece[entry] = piece;
        MoveList.PlacedPiece[entry] = piece;
        count += Board[square.file][square.row] * Us <= 0;
    }
}

template <Side Us>
void Position::AddPawnMoves(int& count, int file, int row) {
    using Rows = PawnRows<Us>;
    const PieceCode pawn = Pawn * Us;
    const int ahead = row + Rows::Forward;  // may be the border row 0 or 9: it reads as empty

    // Appends one entry, or the four promotion entries on the last row.
    auto addStepOrPromotion = [&](int toFile) {
        if (Rows::AllowsPlainMove(ahead)) {
            AppendMove(count, file, row, toFile, ahead, pawn, pawn);
        } else if (ahead == Rows::PromotionRow) {
            for (const PieceCode kind : PromotionKinds) AppendMove(count, file, row, toFile, ahead, pawn, kind * Us);
        }
    };

    if (row == Rows::DoubleStepFrom && Board[file][ahead] == NoPiece && Board[file][ahead + Rows::Forward] == NoPiece) {
        AppendMove(count, file, row, file, ahead + Rows::Forward, pawn, pawn);
    }
    if (Board[file][ahead] == NoPiece) addStepOrPromotion(file);
    // Captures toward the a-file, then toward the h-file. Beside the a- and
    // h-files the capture square is a border cell holding 0: no capture.
    if (Board[file - 1][ahead] * Us < 0 && file - 1 >= FirstSquare) addStepOrPromotion(file - 1);
    if (Board[file + 1][ahead] * Us < 0 && file + 1 <= LastSquare) addStepOrPromotion(file + 1);
}

}  // namespace chess
