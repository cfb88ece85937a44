// A slow solver of mates in n, independent of the rules core: a separate
// board of 64 squares, its own move generator with en passant and every
// promotion, and a plain search without any shortcut. The tests hold the
// two-mover search and the full rules against it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rules/position.h"

namespace problems::testing::slow {

// Squares 0..63, a1 = 0, h8 = 63. Pieces: 1 pawn, 2 knight, 3 bishop, 4 rook,
// 5 queen, 6 king; negative for Black.
enum : int { P = 1, N, B, R, Q, K };

struct Plain {
    int To = 0, From = 0, Promote = 0;  // Promote: the kind a pawn becomes, or 0
    bool operator==(const Plain& o) const { return To == o.To && From == o.From && Promote == o.Promote; }
};

struct Board {
    int Sq[64] = {};
    int Side = 1;
    int EnPassant = -1;  // the square passed over by a double step just made
};

int FileOf(int s);
int RankOf(int s);

// True when the king of `side` (1 White, -1 Black) stands attacked.
bool InCheck(const Board& b, int side);
// The board after the move `m` of the side to move.
Board After(const Board& b, const Plain& m);
// The legal moves of the side to move, each promotion choice apart.
std::vector<Plain> Legal(const Board& b);
// True when `m` checkmates.
bool Mates(const Board& b, const Plain& m);
std::vector<Plain> MatesInOne(const Board& b);
// True when Black has a legal reply to `key` and White mates after each.
bool ForcesMate(const Board& b, const Plain& key);
// White's moves that force mate in two.
std::vector<Plain> Keys(const Board& b);
// Whether the side to move mates in at most `n` moves; whether `key` forces
// that (a mate at once included); the first moves that do.
bool MatesIn(const Board& b, int n);
bool ForcesMateIn(const Board& b, const Plain& key, int n);
std::vector<Plain> KeysIn(const Board& b, int n);

Board FromCells(const rules::BoardCellsArray& cells);
// A FEN with all six fields; its en-passant field is taken.
Board FromFen(const std::string& fen);
rules::BoardCellsArray ToCells(const Board& b);
Plain FromMove(const rules::Move& m);
// A move in long coordinates: "e2e4", "b7b8n".
Plain FromUci(const std::string& text);

// Leaves of the legal-move tree `depth` moves deep.
std::uint64_t Leaves(const Board& b, int depth);

}  // namespace problems::testing::slow
