// Whether a king standing on a given square is attacked: the look shared by
// the attack tests and the legal-move filter.
#pragma once

// The scans over the 64 squares use SSE2 where the compiler offers it,
// unless the build asks for the portable loops (MATE_PORTABLE_SQUARES, set by
// the CMake option MATE_SIMD=OFF; the tests build both).
#if defined(__SSE2__) && !defined(MATE_PORTABLE_SQUARES)
#define MATE_SQUARES_SSE2 1
#include <emmintrin.h>
#endif

#include <cstdint>

#include "rules/directions.h"
#include "rules/position.h"

namespace rules {

// An enemy pawn attacks diagonally forward, so it stands one row toward the
// enemy's side of the king: row y - 1 for the White king (Black pawns move
// toward row 8), row y + 1 for the Black king.
template <Side Us>
constexpr int EnemyPawnRow(int kingRow) {
    return kingRow - Us;
}

// The occupied squares of a board as the bits of one 64-bit word, bit
// (file - 1) * 8 + (row - 1) for a square: the look along a line then finds
// the nearest piece with one bit scan instead of a walk.
using SquareSet = std::uint64_t;
constexpr int SquareBitIndex(int file, int row) { return (file - FirstSquare) * LastSquare + (row - FirstSquare); }
constexpr SquareSet SquareBit(int file, int row) { return SquareSet{1} << SquareBitIndex(file, row); }
constexpr int FileOfBit(int bit) { return bit / LastSquare + FirstSquare; }
constexpr int RowOfBit(int bit) { return bit % LastSquare + FirstSquare; }

// The squares holding a piece of colour Us, in one scan over the 64 squares.
template <Side Us>
SquareSet SquaresOfColour(const BoardCellsArray& board) {
#if defined(MATE_SQUARES_SSE2)
    const __m128i empty = _mm_setzero_si128();
    SquareSet squares = 0;
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int half = 0; half < 2; ++half) {
            const __m128i codes =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(&board[file][FirstSquare + 4 * half]));
            const __m128i ours = Us == White ? _mm_cmpgt_epi32(codes, empty) : _mm_cmplt_epi32(codes, empty);
            const int bits = _mm_movemask_ps(_mm_castsi128_ps(ours));
            squares |= static_cast<SquareSet>(bits) << ((file - FirstSquare) * LastSquare + 4 * half);
        }
    }
    return squares;
#else
    SquareSet squares = 0;
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            if (board[file][row] * Us > 0) squares |= SquareBit(file, row);
        }
    }
    return squares;
#endif
}

// For every square and every line of AttackLines: the squares the line
// passes over up to the board's edge, and its last square (for a line that
// leaves the board at once, the square itself). A line runs toward higher
// bits when its step raises the bit index.
struct LineSquares {
    SquareSet Passed = 0;
    SquareSet Last = 0;
};
using LineTable = std::array<std::array<std::array<LineSquares, DirectionCount>, BoardCells>, BoardCells>;
constexpr LineTable MakeLineSquares() {
    LineTable table{};
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            for (int line = 0; line < DirectionCount; ++line) {
                const Step step = AttackLines[line];
                LineSquares squares{0, SquareBit(file, row)};
                for (int f = file + step.file, r = row + step.row; IsOnBoard(f, r); f += step.file, r += step.row) {
                    squares.Passed |= SquareBit(f, r);
                    squares.Last = SquareBit(f, r);
                }
                table[file][row][line] = squares;
            }
        }
    }
    return table;
}
constexpr LineTable LinesFrom = MakeLineSquares();
constexpr bool RunsTowardHigherBits(Step step) { return step.file * LastSquare + step.row > 0; }

// The bit of the nearest occupied square along `line` from (x, y), or of the
// line's last square (or (x, y) itself) when none is occupied.
inline int NearestOnLine(SquareSet occupied, int line, int x, int y) {
    const LineSquares& squares = LinesFrom[x][y][line];
    const SquareSet stops = (occupied & squares.Passed) | squares.Last;
    return RunsTowardHigherBits(AttackLines[line]) ? __builtin_ctzll(stops) : 63 - __builtin_clzll(stops);
}

// What can attack a king of colour Us on one board, as sets of squares, for
// a king tried on several squares of that board (the king's steps).
struct Attackers {
    SquareSet Occupied = 0;  // every piece but the kings of colour Us
    SquareSet Straight = 0;  // the other colour's rooks and queens
    SquareSet Diagonal = 0;  // its bishops and queens
    SquareSet Knights = 0;
    SquareSet Pawns = 0;
    SquareSet King = 0;
};

// One scan over the 64 squares.
template <Side Us>
Attackers AttackersOf(const BoardCellsArray& board) {
    constexpr PieceCode them = -Us;
    Attackers found;
#if defined(MATE_SQUARES_SSE2)
    const auto bitsOf = [](__m128i mask) { return static_cast<SquareSet>(_mm_movemask_ps(_mm_castsi128_ps(mask))); };
    const __m128i empty = _mm_setzero_si128();
    const __m128i ownKing = _mm_set1_epi32(King * Us);
    const __m128i rook = _mm_set1_epi32(Rook * them);
    const __m128i bishop = _mm_set1_epi32(Bishop * them);
    const __m128i queen = _mm_set1_epi32(Queen * them);
    const __m128i knight = _mm_set1_epi32(Knight * them);
    const __m128i pawn = _mm_set1_epi32(Pawn * them);
    const __m128i king = _mm_set1_epi32(King * them);
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int half = 0; half < 2; ++half) {
            const __m128i codes =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(&board[file][FirstSquare + 4 * half]));
            const int shift = (file - FirstSquare) * LastSquare + 4 * half;
            const __m128i queens = _mm_cmpeq_epi32(codes, queen);
            found.Occupied |=
                (~bitsOf(_mm_or_si128(_mm_cmpeq_epi32(codes, empty), _mm_cmpeq_epi32(codes, ownKing))) & 0xF) << shift;
            found.Straight |= bitsOf(_mm_or_si128(_mm_cmpeq_epi32(codes, rook), queens)) << shift;
            found.Diagonal |= bitsOf(_mm_or_si128(_mm_cmpeq_epi32(codes, bishop), queens)) << shift;
            found.Knights |= bitsOf(_mm_cmpeq_epi32(codes, knight)) << shift;
            found.Pawns |= bitsOf(_mm_cmpeq_epi32(codes, pawn)) << shift;
            found.King |= bitsOf(_mm_cmpeq_epi32(codes, king)) << shift;
        }
    }
#else
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            const PieceCode code = board[file][row];
            const SquareSet bit = SquareBit(file, row);
            if (code != NoPiece && code != King * Us) found.Occupied |= bit;
            if (code == Rook * them || code == Queen * them) found.Straight |= bit;
            if (code == Bishop * them || code == Queen * them) found.Diagonal |= bit;
            if (code == Knight * them) found.Knights |= bit;
            if (code == Pawn * them) found.Pawns |= bit;
            if (code == King * them) found.King |= bit;
        }
    }
#endif
    return found;
}

// The squares from which a knight, a king, or a pawn of the colour that
// moves toward row 8 (Black) or toward row 1 (White) reaches each square.
using ReachTable = std::array<std::array<SquareSet, BoardCells>, BoardCells>;
template <typename Reaches>
constexpr ReachTable MakeReach(Reaches reaches) {
    ReachTable table{};
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            for (int f = FirstSquare; f <= LastSquare; ++f) {
                for (int r = FirstSquare; r <= LastSquare; ++r) {
                    if (reaches(f - file, r - row)) table[file][row] |= SquareBit(f, r);
                }
            }
        }
    }
    return table;
}
constexpr bool KnightDistance(int files, int rows) {
    for (const Step jump : KnightAttackJumps) {
        if (jump.file == files && jump.row == rows) return true;
    }
    return false;
}
constexpr ReachTable KnightReach = MakeReach(KnightDistance);
constexpr ReachTable KingReach = MakeReach([](int files, int rows) {
    return (files != 0 || rows != 0) && files >= -1 && files <= 1 && rows >= -1 && rows <= 1;
});
// An enemy pawn of a king of colour Us stands on row y - Us beside it.
template <Side Us>
constexpr ReachTable EnemyPawnReach = MakeReach([](int files, int rows) {
    return (files == -1 || files == 1) && rows == -Us;
});

// True when a piece of the other colour attacks the king of colour Us that
// stands on (x, y), a square of the board whose pieces `attackers` describes
// (the king may be tried on a square other than its own; a piece of the
// other colour on (x, y) itself is the one the king would take). The answer
// is the one of the board's own look below.
template <Side Us>
bool KingAttackedOn(const Attackers& attackers, int x, int y) {
    const SquareSet taken = ~SquareBit(x, y);
    if ((KnightReach[x][y] & attackers.Knights) != 0 || (KingReach[x][y] & attackers.King) != 0 ||
        (EnemyPawnReach<Us>[x][y] & attackers.Pawns) != 0) {
        return true;
    }
    const SquareSet occupied = attackers.Occupied & taken;
    const SquareSet straight = attackers.Straight & taken;
    const SquareSet diagonal = attackers.Diagonal & taken;
    for (int line = 0; line < DirectionCount; ++line) {
        const SquareSet sliders = line < FirstAttackDiagonal ? straight : diagonal;
        if ((LinesFrom[x][y][line].Passed & sliders) == 0) continue;  // no slider on the line at all
        if ((SquareSet{1} << NearestOnLine(occupied, line, x, y) & sliders) != 0) return true;
    }
    return false;
}

// True when a piece of the other colour attacks the king of colour Us that
// stands on (x, y), a square of the board, looking at the board alone.
// Sliders are looked for along the lines from the king's square: empty
// squares (and a king of colour Us) let a line go on, any other piece of
// either colour ends it. The looks one square beside the king may fall on the
// border ring, which always holds 0 and so never an attacker.
template <Side Us>
bool KingAttackedOn(const BoardCellsArray& board, int x, int y) {
    constexpr PieceCode them = -Us;

    // Single-square looks first: the other king, knights, pawns.
    for (int file = x - 1; file <= x + 1; ++file) {
        for (int row = y - 1; row <= y + 1; ++row) {
            if (board[file][row] == King * them) return true;
        }
    }
    for (const Step jump : KnightAttackJumps) {
        const int file = x + jump.file;
        const int row = y + jump.row;
        if (IsOnBoard(file, row) && board[file][row] == Knight * them) return true;
    }
    const int pawnRow = EnemyPawnRow<Us>(y);
    if (board[x - 1][pawnRow] == Pawn * them || board[x + 1][pawnRow] == Pawn * them) return true;

    const std::array<int, DirectionCount>& edge = EdgeDistances[x][y];  // by direction
    auto lineAttacked = [&](Step step, int steps, PieceCode sliderKind) {
        int file = x;
        int row = y;
        for (; steps > 0; --steps) {
            file += step.file;
            row += step.row;
            const PieceCode code = board[file][row];
            if (code == NoPiece || code == King * Us) continue;  // a king of its own colour lets the line go on
            return code == sliderKind * them || code == Queen * them;
        }
        return false;
    };
    for (int line = 0; line < DirectionCount; ++line) {
        const int steps = edge[AttackLineDirections[line]];
        if (lineAttacked(AttackLines[line], steps, line < FirstAttackDiagonal ? Rook : Bishop)) return true;
    }
    return false;
}

}  // namespace rules
