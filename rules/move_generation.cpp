// Pseudo-legal move generation for both colours.
//
// White and Black are mirror images: every code tested or written is the
// White code times `Us` (+1 or -1), and the pawns walk toward row 1 for White
// and toward row 8 for Black. Nothing asks whether the mover's own king is
// left attacked; the legal-move filter does that afterwards.
#include "rules/directions.h"
#include "rules/position.h"
#include "rules/square_attacks.h"

namespace rules {

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

}  // namespace

MoveList& MoveList::operator=(const MoveList& other) {
    count_ = other.count_;
    for (int entry = 1; entry <= count_; ++entry) {
        fromFile_[entry] = other.fromFile_[entry];
        fromRow_[entry] = other.fromRow_[entry];
        toFile_[entry] = other.toFile_[entry];
        toRow_[entry] = other.toRow_[entry];
        movedPiece_[entry] = other.movedPiece_[entry];
        placedPiece_[entry] = other.placedPiece_[entry];
    }
    return *this;
}

// `count` is the generator's running count, kept apart from count_ until the
// scan ends: the columns' writes cannot touch a local.
inline void MoveList::Append(int& count, int fromFile, int fromRow, int toFile, int toRow, PieceCode moved,
                             PieceCode placed) {
    ++count;
    fromFile_[count] = fromFile;
    fromRow_[count] = fromRow;
    toFile_[count] = toFile;
    toRow_[count] = toRow;
    movedPiece_[count] = moved;
    placedPiece_[count] = placed;
}

void MoveList::CopyEntry(int from, int to) {
    fromFile_[to] = fromFile_[from];
    fromRow_[to] = fromRow_[from];
    toFile_[to] = toFile_[from];
    toRow_[to] = toRow_[from];
    movedPiece_[to] = movedPiece_[from];
    placedPiece_[to] = placedPiece_[from];
}

MoveList Position::GenerateWhiteMoves() const { return GenerateMoves<White>(); }

MoveList Position::GenerateBlackMoves() const { return GenerateMoves<Black>(); }

template <Side Us>
MoveList Position::GenerateMoves() const {
    MoveList list;
    int count = 0;
    // The squares of the mover's pieces, lowest bit first: that is the scan
    // order, file 1..8 outer and row 1..8 inner.
    for (SquareSet own = SquaresOfColour<Us>(board_); own != 0; own &= own - 1) {
        const int bit = __builtin_ctzll(own);
        const int file = FileOfBit(bit);
        const int row = RowOfBit(bit);
        const PieceCode piece = board_[file][row];
        switch (piece * Us) {
            case Pawn: AddPawnMoves<Us>(list, count, file, row); break;
            case Knight: AddSteps<Us>(list, count, file, row, piece, KnightTargets[file][row]); break;
            case Bishop: AddSliderMoves<Us>(list, count, file, row, piece, FirstDiagonal, LastDiagonal); break;
            case Rook: AddSliderMoves<Us>(list, count, file, row, piece, FirstStraight, LastStraight); break;
            case Queen: AddSliderMoves<Us>(list, count, file, row, piece, FirstDiagonal, LastStraight); break;
            case King: AddSteps<Us>(list, count, file, row, piece, KingTargets[file][row]); break;
            default: break;  // a code that names no piece
        }
    }
    if (Us == sideToMove_ && !enPassant_.IsNone()) AddEnPassantCaptures<Us>(list, count, enPassant_);
    list.count_ = count;
    return list;
}

template <Side Us>
void Position::AddEnPassantCaptures(MoveList& list, int& count, Square square) const {
    // The pawn taken stands in front of the square, one row nearer Us's
    // side; a taker stands beside it (a border cell holds no pawn).
    const int pawnRow = square.Row + Us;
    for (const int file : {square.File - 1, square.File + 1}) {
        if (board_[file][pawnRow] == Pawn * Us) {
            list.Append(count, file, pawnRow, square.File, square.Row, Pawn * Us, Pawn * Us);
        }
    }
}
template <Side Us>
void Position::AddSliderMoves(MoveList& list, int& count, int file, int row, PieceCode piece, int firstDirection,
                              int lastDirection) const {
    for (int d = firstDirection; d <= lastDirection; ++d) {
        const Step step = Directions[d];
        int toFile = file;
        int toRow = row;
        for (int length = EdgeDistances[file][row][d]; length > 0; --length) {
            toFile += step.file;
            toRow += step.row;
            const PieceCode target = board_[toFile][toRow] * Us;  // as seen by the mover
            if (target > 0) break;                                // own piece blocks
            list.Append(count, file, row, toFile, toRow, piece, piece);
            if (target < 0) break;  // a capture ends the line
        }
    }
}

// A knight's or king's steps. Each target square is written into the next
// entry, and the entry is kept (the count grows) when the square is free or
// holds an enemy piece: no branch to mispredict. The list has one spare
// entry for the last write.
template <Side Us>
inline void Position::AddSteps(MoveList& list, int& count, int file, int row, PieceCode piece,
                               const StepTargets& targets) const {
    for (int i = 0; i < targets.Count; ++i) {
        const Step square = targets.Squares[i];
        const int entry = count + 1;
        list.fromFile_[entry] = file;
        list.fromRow_[entry] = row;
        list.toFile_[entry] = square.file;
        list.toRow_[entry] = square.row;
        list.movedPiece_[entry] = piece;
        list.placedPiece_[entry] = piece;
        count += board_[square.file][square.row] * Us <= 0;
    }
}

template <Side Us>
void Position::AddPawnMoves(MoveList& list, int& count, int file, int row) const {
    using Rows = PawnRows<Us>;
    const PieceCode pawn = Pawn * Us;
    const int ahead = row + Rows::Forward;  // may be the border row 0 or 9: it reads as empty

    // Appends one entry, or the four promotion entries on the last row.
    auto addStepOrPromotion = [&](int toFile) {
        if (Rows::AllowsPlainMove(ahead)) {
            list.Append(count, file, row, toFile, ahead, pawn, pawn);
        } else if (ahead == Rows::PromotionRow) {
            for (const PieceCode kind : PromotionKinds) list.Append(count, file, row, toFile, ahead, pawn, kind * Us);
        }
    };

    if (row == Rows::DoubleStepFrom && board_[file][ahead] == NoPiece &&
        board_[file][ahead + Rows::Forward] == NoPiece) {
        list.Append(count, file, row, file, ahead + Rows::Forward, pawn, pawn);
    }
    if (board_[file][ahead] == NoPiece) addStepOrPromotion(file);
    // Captures toward the a-file, then toward the h-file. Beside the a- and
    // h-files the capture square is a border cell holding 0: no capture.
    if (board_[file - 1][ahead] * Us < 0 && file - 1 >= FirstSquare) addStepOrPromotion(file - 1);
    if (board_[file + 1][ahead] * Us < 0 && file + 1 <= LastSquare) addStepOrPromotion(file + 1);
}

// The legal-move filter's file asks for both colours' lists.
template MoveList Position::GenerateMoves<White>() const;
template MoveList Position::GenerateMoves<Black>() const;

}  // namespace rules
