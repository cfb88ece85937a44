// The key of a position: one random 64-bit number per piece on its square,
// for the side to move and for the en-passant file, combined by exclusive or
// (Zobrist's hashing). The numbers are made at compile time from a fixed
// seed, so a key is the same in every run and on every machine.
#include <array>
#include <cstdint>

#include "rules/position.h"

namespace rules {
namespace {

// The twelve pieces, White's kinds then Black's, in table order.
constexpr std::array<PieceCode, 6> KindsInOrder = {Pawn, Knight, Bishop, Rook, Queen, King};
constexpr int PieceKinds = 12;
constexpr int Squares = 64;

// SplitMix64: a well-spread sequence from any seed.
constexpr std::uint64_t SplitMix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

struct KeyTable {
    std::array<std::array<std::uint64_t, Squares>, PieceKinds> Piece{};
    std::uint64_t BlackToMove = 0;
    std::array<std::uint64_t, BoardCells> EnPassantFile{};
};
constexpr KeyTable MakeKeyTable() {
    KeyTable table{};
    std::uint64_t state = 0x5EED0F1A7E5ULL;
    for (auto& squares : table.Piece) {
        for (std::uint64_t& number : squares) number = SplitMix(state);
    }
    table.BlackToMove = SplitMix(state);
    for (std::uint64_t& number : table.EnPassantFile) number = SplitMix(state);
    return table;
}
constexpr KeyTable Keys = MakeKeyTable();

// The index of a piece code in KeyTable::Piece; -1 for a code that names no piece.
constexpr int PieceIndex(PieceCode code) {
    for (int kind = 0; kind < static_cast<int>(KindsInOrder.size()); ++kind) {
        if (code == KindsInOrder[kind]) return kind;
        if (code == -KindsInOrder[kind]) return kind + static_cast<int>(KindsInOrder.size());
    }
    return -1;
}

}  // namespace

std::uint64_t Position::Key() const {
    std::uint64_t key = sideToMove_ == Black ? Keys.BlackToMove : 0;
    if (!enPassant_.IsNone()) key ^= Keys.EnPassantFile[enPassant_.File];
    int square = 0;
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row, ++square) {
            const PieceCode code = board_[file][row];
            if (code == NoPiece) continue;
            const int index = PieceIndex(code);
            if (index >= 0) key ^= Keys.Piece[index][square];
        }
    }
    return key;
}

}  // namespace rules
