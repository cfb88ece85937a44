// The board, the piece codes and the move list that all chess logic shares.
//
// Squares are addressed as (file index, row index), both 1..8. Files 1..8 are
// a..h from left to right; rows 1..8 run from the top of the drawn board, so
// row 1 is rank 8 and row 8 is rank 1. White sits at the bottom and its pawns
// move toward row 1.
#pragma once

#include <array>
#include <cstdint>

#include "rules/piece_codes.h"

namespace chess {

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

// One move-list entry as a value.
struct Move {
    std::int32_t FromFile = 0;
    std::int32_t FromRow = 0;
    std::int32_t ToFile = 0;
    std::int32_t ToRow = 0;
    PieceCode MovedPiece = NoPiece;   // code on the from-square before the move
    PieceCode PlacedPiece = NoPiece;  // code on the to-square after it (differs only for a promotion)
};

// Six parallel columns; entry 0 is never used, entries 1..count are moves.
// One spare entry beyond the capacity takes a generator's tentative write.
struct MoveColumns {
    using Column = std::array<std::int32_t, MoveListCapacity + 2>;
    Column FromFile{};
    Column FromRow{};
    Column ToFile{};
    Column ToRow{};
    Column MovedPiece{};   // code on the from-square before the move
    Column PlacedPiece{};  // code on the to-square after it (differs only for a promotion)

    // Copies entries 1..count into another list of the same shape.
    void CopyEntriesTo(MoveColumns& target, int count) const;
    // Copies all six columns of entry `from` onto entry `to` of this list.
    void MoveEntry(int from, int to) {
        FromFile[to] = FromFile[from];
        FromRow[to] = FromRow[from];
        ToFile[to] = ToFile[from];
        ToRow[to] = ToRow[from];
        MovedPiece[to] = MovedPiece[from];
        PlacedPiece[to] = PlacedPiece[from];
    }

    Move Entry(int entry) const {
        return {FromFile[entry], FromRow[entry], ToFile[entry], ToRow[entry], MovedPiece[entry], PlacedPiece[entry]};
    }
};

struct StepTargets;  // the squares a knight or king may step to (move generation)

// The state of the rules core: one board, one move list and the flags the
// generators and attack tests leave for their callers.
struct Position {
    BoardCellsArray Board{};
    MoveColumns MoveList{};
    std::int32_t MoveCount = 0;
    std::int32_t SideToMove = 0;  // +1 White, -1 Black; set by the callers
    std::int32_t InCheck = 0;     // result of the last attack test
    std::int32_t WhiteKingFile = 0;
    std::int32_t WhiteKingRow = 0;
    std::int32_t BlackKingFile = 0;
    std::int32_t BlackKingRow = 0;

    // Fill MoveList with every pseudo-legal move of one colour, in scan order
    // (file 1..8 outer, row 1..8 inner) and each piece's fixed direction order.
    void GenerateWhiteMoves();
    void GenerateBlackMoves();

    // Locate the king of one colour, record its square and set InCheck to 1
    // when a piece of the other colour attacks it.
    void IsWhiteKingAttacked();
    void IsBlackKingAttacked();

    // Strike every entry after which the king of SideToMove would stand
    // attacked; the survivors keep their order.
    void FilterLegalMoves();

    // The legal moves of SideToMove: its generator, then FilterLegalMoves.
    // With SideToMove neither +1 nor -1 the list is left empty.
    void GenerateLegalMoves();

  private:
    template <Side Us>
    void GenerateMoves();
    template <Side Us>
    void AddPawnMoves(int& count, int file, int row);
    template <Side Us>
    void AddSliderMoves(int& count, int file, int row, PieceCode piece, int firstDirection, int lastDirection);
    template <Side Us>
    void AddStepperMoves(int& count, int file, int row, PieceCode piece);
    template <Side Us>
    void AddKingMoves(int& count, int file, int row);
    template <Side Us>
    void AppendFreeOrEnemyTargets(int& count, int file, int row, PieceCode piece, const StepTargets& targets);
    void AppendMove(int& count, int fromFile, int fromRow, int toFile, int toRow, PieceCode moved, PieceCode placed);

    template <Side Us>
    void TestKingAttacked(std::int32_t& kingFile, std::int32_t& kingRow);
    template <Side Us>
    bool LocateKing(std::int32_t& kingFile, std::int32_t& kingRow) const;

    template <Side Us>
    void FilterMovesOf();
    // The filter the plain way from entry `firstEntry` on: play the entry,
    // run the attack test, take the entry back. `kept` entries are kept so far.
    void FilterByPlaying(int firstEntry, int kept);
};

}  // namespace chess
