// The legal moves: the generator's moves without those after which the
// mover's own king would stand attacked.
//
// The filter looks once at what attacks the mover's king and which of the
// mover's pieces are pinned to it. A king step is legal when no piece of the
// other colour attacks its new square; any other move changes only its
// from-square (now empty) and its to-square (now holding one of the mover's
// pieces), so it is illegal only when it leaves a pinned piece's line, or
// fails to meet the one check, or there are two.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "rules/square_attacks.h"

namespace rules {
namespace {

constexpr int NoLine = -1;

// The line of AttackLines on which a square lies as seen from the king, by the
// file and row differences (-7..7 each), or NoLine.
constexpr int MostDifference = LastSquare - FirstSquare;
constexpr int Differences = 2 * MostDifference + 1;
using LineTable = std::array<std::array<int, Differences>, Differences>;
constexpr LineTable MakeLineTable() {
    LineTable table{};
    for (auto& column : table) {
        for (int& line : column) line = NoLine;
    }
    for (int line = 0; line < DirectionCount; ++line) {
        for (int distance = 1; distance <= MostDifference; ++distance) {
            const Step step = AttackLines[line];
            table[MostDifference + step.file * distance][MostDifference + step.row * distance] = line;
        }
    }
    return table;
}
constexpr LineTable LineOfDifference = MakeLineTable();

// Where a square lies seen from the king: its line (or NoLine) and its
// distance in king steps along that line.
struct Bearing {
    int line;
    int distance;
};
Bearing BearingFrom(int kingFile, int kingRow, int file, int row) {
    const int fileDifference = file - kingFile;
    const int rowDifference = row - kingRow;
    const int distance = std::max(std::abs(fileDifference), std::abs(rowDifference));
    return {LineOfDifference[MostDifference + fileDifference][MostDifference + rowDifference], distance};
}

constexpr int NoDistance = 0;

// What attacks the king now and which of its own pieces are pinned to it.
struct KingSafety {
    int kingFile = 0;
    int kingRow = 0;
    int attackers = 0;
    // With one attacker: the line and distance of a slider, or (with
    // checkLine NoLine) the square of a knight, pawn or king.
    int checkLine = NoLine;
    int checkDistance = NoDistance;
    int checkFile = 0;
    int checkRow = 0;
    // The own pieces that alone stand between the king and an enemy slider
    // of their line (one bit per square, see SquareBit), and per line the
    // distance of that slider.
    std::uint64_t pinnedSquares = 0;
    std::array<int, DirectionCount> pinnerDistance{};
};

// `attackers`: the pieces of the board as sets of squares.
template <Side Us>
KingSafety AnalyseKing(const BoardCellsArray& board, const Attackers& attackers, int kingFile, int kingRow) {
    KingSafety safety;
    safety.kingFile = kingFile;
    safety.kingRow = kingRow;
    const auto distanceTo = [&](int bit) {
        return std::max(std::abs(FileOfBit(bit) - kingFile), std::abs(RowOfBit(bit) - kingRow));
    };

    for (int line = 0; line < DirectionCount; ++line) {
        const SquareSet sliders = line < FirstAttackDiagonal ? attackers.Straight : attackers.Diagonal;
        // A line without a slider of the other colour holds no check and no pin.
        if ((LinesFrom[kingFile][kingRow][line].Passed & sliders) == 0) continue;
        // The nearest piece along the line (or the line's last square, or the
        // king's own square when the line leaves the board at once).
        const int first = NearestOnLine(attackers.Occupied, line, kingFile, kingRow);
        if ((sliders >> first & 1u) != 0) {
            ++safety.attackers;
            safety.checkLine = line;
            safety.checkDistance = distanceTo(first);
        } else if (board[FileOfBit(first)][RowOfBit(first)] * Us > 0 && first != SquareBitIndex(kingFile, kingRow)) {
            const int second = NearestOnLine(attackers.Occupied & ~(SquareSet{1} << first), line, kingFile, kingRow);
            if (second != first && (sliders >> second & 1u) != 0) {
                safety.pinnerDistance[line] = distanceTo(second);
                safety.pinnedSquares |= SquareSet{1} << first;
            }
        }
    }

    // The other king, knights and pawns; with one attacker in all, its square.
    const SquareSet contact = (KingReach[kingFile][kingRow] & attackers.King) |
                              (KnightReach[kingFile][kingRow] & attackers.Knights) |
                              (EnemyPawnReach<Us>[kingFile][kingRow] & attackers.Pawns);
    if (contact != 0) {
        safety.attackers += __builtin_popcountll(contact);
        safety.checkLine = NoLine;
        const int bit = __builtin_ctzll(contact);
        safety.checkFile = FileOfBit(bit);
        safety.checkRow = RowOfBit(bit);
    }
    return safety;
}

// Whether the king stands attacked after a piece other than the king goes
// from (fromFile, fromRow) to (toFile, toRow).
inline bool AttackedAfterMove(const KingSafety& safety, int fromFile, int fromRow, int toFile, int toRow) {
    const bool pinned = (safety.pinnedSquares & SquareBit(fromFile, fromRow)) != 0;
    if (safety.attackers == 0 && !pinned) return false;  // by far the most common case
    if (safety.attackers > 1) return true;               // one move cannot meet two attackers
    const Bearing to = BearingFrom(safety.kingFile, safety.kingRow, toFile, toRow);
    if (pinned) {
        // A pinned piece must stay on its line, between the king and the pinner or on it.
        const Bearing from = BearingFrom(safety.kingFile, safety.kingRow, fromFile, fromRow);
        if (!(to.line == from.line && to.distance <= safety.pinnerDistance[from.line])) return true;
    }
    if (safety.attackers == 0) return false;
    if (safety.checkLine != NoLine) return !(to.line == safety.checkLine && to.distance <= safety.checkDistance);
    return !(toFile == safety.checkFile && toRow == safety.checkRow);
}

}  // namespace

template <Side Us>
void Position::FilterLegalMoves(MoveList& list) const {
    if (!HasKing(Us)) return;  // no king, nothing to leave attacked
    const KingSquare& king = KingOf(Us);
    const Attackers attackers = AttackersOf<Us>(board_);
    const KingSafety safety = AnalyseKing<Us>(board_, attackers, king.File, king.Row);
    int kept = 0;
    const int count = list.count_;  // a local: the entries' writes cannot touch it
    // The captures en passant come last; they take a piece from a third
    // square and are tried on a copy of the board.
    int ordinary = count;
    while (ordinary > 0 && !enPassant_.IsNone() && list.movedPiece_[ordinary] == Pawn * Us &&
           list.toFile_[ordinary] == enPassant_.File && list.toRow_[ordinary] == enPassant_.Row &&
           list.fromFile_[ordinary] != enPassant_.File) {
        --ordinary;
    }
    for (int entry = 1; entry <= ordinary; ++entry) {
        const bool attacked = list.movedPiece_[entry] == King * Us
                                  ? KingAttackedOn<Us>(attackers, list.toFile_[entry], list.toRow_[entry])
                                  : AttackedAfterMove(safety, list.fromFile_[entry], list.fromRow_[entry],
                                                      list.toFile_[entry], list.toRow_[entry]);
        if (!attacked && ++kept != entry) list.CopyEntry(entry, kept);
    }
    for (int entry = ordinary + 1; entry <= count; ++entry) {
        const Square from{list.fromFile_[entry], list.fromRow_[entry]};
        if (!AttackedAfterEnPassant<Us>(from, enPassant_) && ++kept != entry) list.CopyEntry(entry, kept);
    }
    list.count_ = kept;
}

template <Side Us>
bool Position::AttackedAfterEnPassant(Square from, Square square) const {
    if (!HasKing(Us)) return false;
    BoardCellsArray after = board_;
    after[from.File][from.Row] = NoPiece;
    after[square.File][from.Row] = NoPiece;  // the pawn taken
    after[square.File][square.Row] = Pawn * Us;
    return KingAttackedOn<Us>(after, KingOf(Us).File, KingOf(Us).Row);
}

template <Side Us>
bool Position::HasLegalMoveOf() const {
    if (!HasKing(Us)) return GenerateMoves<Us>().Count() > 0;
    const KingSquare& king = KingOf(Us);
    const Attackers attackers = AttackersOf<Us>(board_);
    // The king's steps first: a king in check most often escapes by stepping away.
    // Its squares that hold no piece of its own: empty or holding a piece of the other colour.
    const SquareSet theirs =
        attackers.Straight | attackers.Diagonal | attackers.Knights | attackers.Pawns | attackers.King;
    for (SquareSet steps = KingReach[king.File][king.Row] & (~attackers.Occupied | theirs); steps != 0;
         steps &= steps - 1) {
        const int bit = __builtin_ctzll(steps);
        if (!KingAttackedOn<Us>(attackers, FileOfBit(bit), RowOfBit(bit))) return true;
    }
    const KingSafety safety = AnalyseKing<Us>(board_, attackers, king.File, king.Row);
    const MoveList list = GenerateMoves<Us>();
    const bool enPassantOpen = !enPassant_.IsNone();
    for (int entry = 1; entry <= list.count_; ++entry) {
        if (list.movedPiece_[entry] == King * Us) continue;
        if (enPassantOpen && IsEnPassantCapture(list[entry])) {
            // It also takes a pawn off a third square: the board is looked at whole.
            if (!AttackedAfterEnPassant<Us>({list.fromFile_[entry], list.fromRow_[entry]}, enPassant_)) return true;
            continue;
        }
        if (!AttackedAfterMove(safety, list.fromFile_[entry], list.fromRow_[entry], list.toFile_[entry],
                               list.toRow_[entry])) {
            return true;
        }
    }
    return false;
}

bool Position::IsLegal(const Move& move) const {
    const MoveList legal = LegalMoves();
    for (int entry = 1; entry <= legal.Count(); ++entry) {
        if (legal[entry] == move) return true;
    }
    return false;
}

MoveList Position::LegalMoves() const {
    MoveList list = sideToMove_ == White ? GenerateMoves<White>() : GenerateMoves<Black>();
    if (sideToMove_ == White) {
        FilterLegalMoves<White>(list);
    } else {
        FilterLegalMoves<Black>(list);
    }
    return list;
}

bool Position::HasLegalMove() const { return sideToMove_ == White ? HasLegalMoveOf<White>() : HasLegalMoveOf<Black>(); }

bool Position::IsMate() const { return InCheck() && !HasLegalMove(); }

bool Position::IsStalemate() const { return !InCheck() && !HasLegalMove(); }

bool Position::CanTakeEnPassant(const Move& lastMove) const {
    return sideToMove_ == White ? CanTakeEnPassantOf<White>(lastMove) : CanTakeEnPassantOf<Black>(lastMove);
}

// The taking pawn stands beside the landing square and steps onto the
// square passed over; the pawn taken leaves the board.
template <Side Us>
bool Position::CanTakeEnPassantOf(const Move& lastMove) const {
    constexpr PieceCode theirPawn = -Pawn * Us;
    if (lastMove.MovedPiece != theirPawn || lastMove.PlacedPiece != theirPawn ||
        std::abs(lastMove.ToRow - lastMove.FromRow) != 2 || lastMove.ToFile != lastMove.FromFile ||
        board_[lastMove.ToFile][lastMove.ToRow] != theirPawn) {
        return false;
    }
    const Square passedOver{lastMove.ToFile, (lastMove.FromRow + lastMove.ToRow) / 2};
    for (const int takerFile : {lastMove.ToFile - 1, lastMove.ToFile + 1}) {
        if (board_[takerFile][lastMove.ToRow] == Pawn * Us &&
            !AttackedAfterEnPassant<Us>({takerFile, lastMove.ToRow}, passedOver)) {
            return true;
        }
    }
    return false;
}

}  // namespace rules
