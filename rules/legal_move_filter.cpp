// The legal-move filter: strikes every entry after which the mover's own king
// would stand attacked.
//
// The plain way plays each entry, runs the attack test and takes the entry
// back. With exactly one king of the mover's colour on the board the filter
// instead looks once at what attacks that king and which of the mover's
// pieces are pinned to it, and then judges each entry that moves another
// piece from that alone: such a move changes only its from-square (now
// empty) and its to-square (now holding one of the mover's pieces). King
// moves are judged against the other colour's pieces, found once as sets of
// squares. The verdicts, InCheck and the recorded king square are the ones
// the plain way leaves.
#include <cstdint>
#include <cstdlib>

#include "rules/play_move.h"
#include "rules/square_attacks.h"

namespace chess {
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

constexpr unsigned KindsBelowKing = 1u << Pawn | 1u << Knight | 1u << Bishop | 1u << Rook | 1u << Queen;
constexpr bool IsPieceKindBelowKing(PieceCode kind) {
    return kind >= Pawn && kind <= Queen && (KindsBelowKing >> kind & 1u) != 0;
}

// All four indices within 1..8, in one test.
constexpr bool AllOnBoard(int fromFile, int fromRow, int toFile, int toRow) {
    const auto offset = [](int index) { return static_cast<unsigned>(index - FirstSquare); };
    return (offset(fromFile) | offset(fromRow) | offset(toFile) | offset(toRow)) <= unsigned{LastSquare - FirstSquare};
}

}  // namespace

void Position::FilterLegalMoves() {
    if (SideToMove == White) {
        FilterMovesOf<White>();
    } else if (SideToMove == Black) {
        FilterMovesOf<Black>();
    } else {
        FilterByPlaying(1, 0);
    }
}

void Position::FilterByPlaying(int firstEntry, int kept) {
    for (int entry = firstEntry; entry <= MoveCount; ++entry) {
        // Play the entry, test the mover's king, take the entry back.
        const Move move = MoveList.Entry(entry);
        const PieceCode captured = PlayMove(Board, move);
        if (SideToMove == White) {
            IsWhiteKingAttacked();
        } else if (SideToMove == Black) {
            IsBlackKingAttacked();
        }
        TakeBackMove(Board, move, captured);

        if (InCheck == 0) {
            ++kept;
            MoveList.MoveEntry(entry, kept);
        }
    }
    MoveCount = kept;
}

template <Side Us>
void Position::FilterMovesOf() {
    constexpr PieceCode ownKing = King * Us;
    std::int32_t& recordedFile = Us == White ? WhiteKingFile : BlackKingFile;
    std::int32_t& recordedRow = Us == White ? WhiteKingRow : BlackKingRow;

    if (MoveCount == 0) return;  // nothing to try: InCheck and the king square stay as they are
    // The quick way needs exactly one king of the mover's colour. Counting
    // over all cells is a loop the compiler can vectorise; the border ring
    // holds 0 and never counts.
    int kings = 0;
    for (const auto& file : Board) {
        for (const PieceCode code : file) kings += code == ownKing;
    }
    if (kings != 1) {
        FilterByPlaying(1, 0);
        return;
    }
    int kingFile = recordedFile;
    int kingRow = recordedRow;
    if (!IsOnBoard(kingFile, kingRow) || Board[kingFile][kingRow] != ownKing) {
        for (int file = FirstSquare; file <= LastSquare; ++file) {
            for (int row = FirstSquare; row <= LastSquare; ++row) {
                if (Board[file][row] == ownKing) {
                    kingFile = file;
                    kingRow = row;
                }
            }
        }
    }
    // The squares of every piece but the king, for the lines from the king
    // and for the king's steps.
    const Attackers attackers = AttackersOf<Us>(Board);
    const KingSafety safety = AnalyseKing<Us>(Board, attackers, kingFile, kingRow);

    // Whether an entry moves the king, as the generators make king moves.
    const auto isKingStep = [&](int entry) {
        return MoveList.MovedPiece[entry] == ownKing && MoveList.PlacedPiece[entry] == ownKing;
    };
    // The king square the plain way records for a judged entry: where the
    // king stood while it was played.
    const auto recordAfter = [&](int entry) {
        const bool step = isKingStep(entry);
        recordedFile = step ? MoveList.ToFile[entry] : kingFile;
        recordedRow = step ? MoveList.ToRow[entry] : kingRow;
    };

    int kept = 0;
    bool attacked = false;
    const int count = MoveCount;  // a local: the entries' writes cannot touch it
    for (int entry = 1; entry <= count; ++entry) {
        const int fromFile = MoveList.FromFile[entry];
        const int fromRow = MoveList.FromRow[entry];
        const int toFile = MoveList.ToFile[entry];
        const int toRow = MoveList.ToRow[entry];
        const PieceCode moved = MoveList.MovedPiece[entry];
        const PieceCode placed = MoveList.PlacedPiece[entry];
        // Entries as the generators make them: the mover's piece leaves its
        // square for another one that holds no piece of its own colour.
        const bool wellFormed = AllOnBoard(fromFile, fromRow, toFile, toRow) &&
                                (fromFile != toFile || fromRow != toRow) && Board[fromFile][fromRow] == moved &&
                                Board[toFile][toRow] * Us <= 0;
        if (wellFormed && moved == ownKing && placed == ownKing) {
            // The pieces that could attack the king were found with the king
            // on its square; on its new one it stands where it would capture.
            attacked = KingAttackedOn<Us>(attackers, toFile, toRow);
        } else if (wellFormed && IsPieceKindBelowKing(moved * Us) && IsPieceKindBelowKing(placed * Us)) {
            attacked = AttackedAfterMove(safety, fromFile, fromRow, toFile, toRow);
        } else {
            // Anything else is left to the plain way, from the king square
            // that the plain way would have recorded by now.
            if (entry > 1) recordAfter(entry - 1);
            FilterByPlaying(entry, kept);
            return;
        }
        if (!attacked) {
            ++kept;
            if (kept != entry) MoveList.MoveEntry(entry, kept);
        }
    }
    InCheck = attacked ? 1 : 0;
    recordAfter(count);
    MoveCount = kept;
}

}  // namespace chess
