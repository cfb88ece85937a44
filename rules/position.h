// The board, the move list and the position that all chess logic shares,
// over the piece codes of piece_codes.h.
//
// Squares are addressed as (file index, row index), both 1..8. Files 1..8 are
// a..h from left to right; rows 1..8 run from the top of the drawn board, so
// row 1 is rank 8 and row 8 is rank 1. White sits at the bottom and its pawns
// move toward row 1.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>

#include "rules/piece_codes.h"

namespace rules {

constexpr int FirstSquare = 1;  // first file or row index on the board
constexpr int LastSquare = 8;   // last file or row index on the board
constexpr int BoardCells = 10;  // indices 0..9: the squares plus a border ring of zeros

constexpr bool IsOnBoard(int file, int row) {
    return file >= FirstSquare && file <= LastSquare && row >= FirstSquare && row <= LastSquare;
}

// Board[file][row]; every cell with an index of 0 or 9 belongs to the border
// ring, holds 0 and is never written.
using BoardCellsArray = std::array<std::array<PieceCode, BoardCells>, BoardCells>;

// Capacity of a move list. A square holds at most one piece, so one colour
// has at most 63 pieces (one square is left for the other king); no piece
// produces more than 27 entries (a queen in the centre of an empty board
// reaches 27 squares; a pawn produces at most 12: three target squares times
// four promotion pieces; a king 8, a knight 8). 63 * 27 entries therefore hold
// every pseudo-legal move of any position whatever, not only of the crowded
// ones the position builder makes (ten queens, rooks, bishops and knights a
// side give well over 100 moves).
constexpr int MostPiecesOfOneColour = 63;
constexpr int MostEntriesOfOnePiece = 27;
constexpr int MoveListCapacity = MostPiecesOfOneColour * MostEntriesOfOnePiece;

// A square as a value: (file, row) as everywhere in the core; File 0 for
// none.
struct Square {
    std::int32_t File = 0;
    std::int32_t Row = 0;

    [[nodiscard]] constexpr bool IsNone() const { return File == 0; }
    constexpr bool operator==(const Square& other) const { return File == other.File && Row == other.Row; }
    constexpr bool operator!=(const Square& other) const { return !(*this == other); }
};
constexpr Square NoSquare{};

// Whether the position records the square a pawn's double step passes over,
// so that the other side may take that pawn en passant on the next move.
// The game's rules do; the trainer's rules, which know no en passant, do not.
enum class EnPassantRule { Played, NotPlayed };

// One move as a value.
struct Move {
    std::int32_t FromFile = 0;
    std::int32_t FromRow = 0;
    std::int32_t ToFile = 0;
    std::int32_t ToRow = 0;
    PieceCode MovedPiece = NoPiece;   // code on the from-square before the move
    PieceCode PlacedPiece = NoPiece;  // code on the to-square after it (differs only for a promotion)

    [[nodiscard]] bool IsPromotion() const { return PlacedPiece != MovedPiece; }
    [[nodiscard]] constexpr Square From() const { return {FromFile, FromRow}; }
    [[nodiscard]] constexpr Square To() const { return {ToFile, ToRow}; }
    bool operator==(const Move& other) const {
        return FromFile == other.FromFile && FromRow == other.FromRow && ToFile == other.ToFile &&
               ToRow == other.ToRow && MovedPiece == other.MovedPiece && PlacedPiece == other.PlacedPiece;
    }
    bool operator!=(const Move& other) const { return !(*this == other); }
};

// The moves of one colour in one position, as the core made them: entries
// 1..Count(), in the generators' order. Only the core writes a list; a copy
// copies the entries in use.
class MoveList {
  public:
    MoveList() = default;
    MoveList(const MoveList& other) { *this = other; }
    MoveList& operator=(const MoveList& other);

    [[nodiscard]] int Count() const { return count_; }
    [[nodiscard]] Move operator[](int entry) const {
        assert(entry >= 1 && entry <= count_);
        return {fromFile_[entry], fromRow_[entry],    toFile_[entry],
                toRow_[entry],    movedPiece_[entry], placedPiece_[entry]};
    }

  private:
    friend class Position;
    // Six parallel columns, left uninitialised: entry 0 is never used, and
    // one spare entry beyond the capacity takes a generator's tentative write.
    using Column = std::array<std::int32_t, MoveListCapacity + 2>;
    void Append(int& count, int fromFile, int fromRow, int toFile, int toRow, PieceCode moved, PieceCode placed);
    void CopyEntry(int from, int to);

    Column fromFile_;
    Column fromRow_;
    Column toFile_;
    Column toRow_;
    Column movedPiece_;
    Column placedPiece_;
    int count_ = 0;
};

// The undo record of one move: what Position::Play hands its caller, and
// all that TakeBack needs to put the position back as it was.
struct Undo {
    PieceCode Captured = NoPiece;  // the code that stood on the to-square
    Square EnPassantBefore;        // the position's en-passant square before the move
    bool TookEnPassant = false;    // the pawn taken stood beside the target, on (ToFile, FromRow)
};

struct StepTargets;  // the squares a knight or king may step to (move generation)

// A position: the 64 squares, the side to move and, kept by the position
// itself, the square of each king. A board holds at most one king of each
// colour (the rules core is used with exactly one each; tests may leave one
// out). Questions about the position are const and change nothing; the
// position changes only by Clear, Put, SetSideToMove, Play and TakeBack.
class Position {
  public:
    explicit Position(EnPassantRule rule = EnPassantRule::Played) : enPassantRule_(rule) {}

    // Setting a position up. Put keeps the king squares; a second king of
    // one colour is not allowed. Clear also forgets the en-passant square.
    void Clear();
    void Put(int file, int row, PieceCode code);
    // Clear, then Put every piece of `board`.
    void SetSquares(const BoardCellsArray& board);
    void SetSideToMove(Side side) { sideToMove_ = side; }
    // The square a double step of the other side has just passed over
    // (NoSquare for none): row 3 (rank 6) with White to move, row 6 (rank 3)
    // with Black. The pawn that stepped must stand in front of it, toward
    // the side to move, and the square and the one it came from be empty.
    void SetEnPassantSquare(Square square);
    // Whether `square` is one SetEnPassantSquare takes in this position.
    [[nodiscard]] bool CanBeEnPassantSquare(Square square) const;

    [[nodiscard]] EnPassantRule EnPassantRuleInForce() const { return enPassantRule_; }
    [[nodiscard]] Square EnPassantSquare() const { return enPassant_; }
    // A number that tells positions apart: the same for equal positions
    // (squares, side to move, en-passant square), and for different ones the
    // same only by a chance of one in 2^64.
    [[nodiscard]] std::uint64_t Key() const;

    [[nodiscard]] PieceCode At(int file, int row) const { return board_[file][row]; }
    [[nodiscard]] const BoardCellsArray& Squares() const { return board_; }
    [[nodiscard]] Side SideToMove() const { return sideToMove_; }

    // Whether a piece of the other colour attacks the king of one colour;
    // false when that king is not on the board.
    [[nodiscard]] bool IsWhiteKingAttacked() const;
    [[nodiscard]] bool IsBlackKingAttacked() const;
    // Whether the king of the side to move stands attacked.
    [[nodiscard]] bool InCheck() const;

    // Every pseudo-legal move of one colour, in scan order (file 1..8 outer,
    // row 1..8 inner) and each piece's fixed direction order; the captures
    // en passant the en-passant square allows come last, from the a-file side
    // first.
    [[nodiscard]] MoveList GenerateWhiteMoves() const;
    [[nodiscard]] MoveList GenerateBlackMoves() const;
    // The moves of the side to move that do not leave its king attacked, in
    // the generator's order.
    [[nodiscard]] MoveList LegalMoves() const;
    // Whether `move` is one of LegalMoves.
    [[nodiscard]] bool IsLegal(const Move& move) const;
    // Whether `move` (a move of the side to move) takes a pawn en passant.
    [[nodiscard]] bool IsEnPassantCapture(const Move& move) const {
        return !enPassant_.IsNone() && move.To() == enPassant_ &&
               (move.MovedPiece == Pawn || move.MovedPiece == -Pawn) && move.FromFile != move.ToFile;
    }
    // Whether LegalMoves would hold a move; the king's steps are looked at
    // first, and the first legal move found ends the look.
    [[nodiscard]] bool HasLegalMove() const;
    // The side to move is in check and has no legal move / is not in check
    // and has none.
    [[nodiscard]] bool IsMate() const;
    [[nodiscard]] bool IsStalemate() const;

    // Whether the other side's king stands attacked once `move` (a move of
    // the side to move) is played. The other king must not be attacked
    // before the move, which holds in every position the side to move may
    // have; the answer is that of playing the move and testing the king.
    [[nodiscard]] bool GivesCheck(const Move& move) const;
    // With `lastMove`, a pawn's two-square step by the other side, just
    // played: whether a pawn of the side to move beside the landing square
    // may take it en passant without leaving its own king attacked, whatever
    // the position's rule. The trainer asks this of its positions, which
    // play no en passant.
    [[nodiscard]] bool CanTakeEnPassant(const Move& lastMove) const;

    // Plays a move of the side to move (from-square emptied, PlacedPiece on
    // the to-square, a pawn taken en passant removed) and hands the other
    // side the move. Under EnPassantRule::Played a double step beside a pawn
    // of the other side records the square it passed over. The Undo it
    // returns is what TakeBack needs.
    [[nodiscard]] Undo Play(const Move& move);
    // Takes back the last move played: the position is exactly as before it.
    void TakeBack(const Move& move, const Undo& undo);

    bool operator==(const Position& other) const;
    bool operator!=(const Position& other) const { return !(*this == other); }

  private:
    struct KingSquare {
        int File = 0;  // 0, 0 when the king is not on the board
        int Row = 0;
    };
    static constexpr int IndexOf(Side side) { return side == White ? 0 : 1; }
    [[nodiscard]] const KingSquare& KingOf(Side side) const { return kings_[IndexOf(side)]; }
    [[nodiscard]] bool HasKing(Side side) const { return KingOf(side).File != 0; }
    // Every recorded king stands on its square.
    [[nodiscard]] bool KingsAsRecorded() const;

    template <Side Us>
    [[nodiscard]] bool KingAttacked() const;
    template <Side Us>
    [[nodiscard]] MoveList GenerateMoves() const;
    template <Side Us>
    void AddPawnMoves(MoveList& list, int& count, int file, int row) const;
    template <Side Us>
    void AddSliderMoves(MoveList& list, int& count, int file, int row, PieceCode piece, int firstDirection,
                        int lastDirection) const;
    template <Side Us>
    void AddSteps(MoveList& list, int& count, int file, int row, PieceCode piece, const StepTargets& targets) const;

    // Strikes every entry of `list` (moves of colour Us) after which the
    // king of colour Us would stand attacked.
    template <Side Us>
    void FilterLegalMoves(MoveList& list) const;
    template <Side Us>
    [[nodiscard]] bool HasLegalMoveOf() const;
    template <Side Us>
    [[nodiscard]] bool GivesCheckBy(const Move& move) const;
    template <Side Us>
    [[nodiscard]] bool CanTakeEnPassantOf(const Move& lastMove) const;
    // Appends the pseudo-legal captures onto `square` of the pawns of
    // colour Us beside the pawn in front of it.
    template <Side Us>
    void AddEnPassantCaptures(MoveList& list, int& count, Square square) const;
    // Whether the king of colour Us stands attacked once its pawn on `from`
    // takes en passant onto `square`.
    template <Side Us>
    [[nodiscard]] bool AttackedAfterEnPassant(Square from, Square square) const;

    BoardCellsArray board_{};
    Side sideToMove_ = White;
    std::array<KingSquare, 2> kings_{};
    EnPassantRule enPassantRule_ = EnPassantRule::Played;
    Square enPassant_;
};

}  // namespace rules
