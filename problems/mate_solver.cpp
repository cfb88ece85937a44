// The mate solver. A node with the attacker to move asks whether one of its
// moves leaves the defender lost; a node with the defender to move asks
// whether every reply leaves the attacker a mate in the moves still left.
// Three things keep the search small: at the last move only checking moves
// are tried, the move that last refuted (or won) at the same depth is tried
// first, and a table remembers what was proved of positions already judged.
#include "problems/mate_solver.h"

#include <array>
#include <cassert>
#include <cstdlib>
#include <utility>

#include "rules/algebraic_notation.h"
#include "rules/move_text.h"

namespace problems {
namespace {

using rules::Move;
using rules::MoveList;
using rules::PieceCode;

constexpr int FirstRankRow = rules::LastSquare;  // rows count from rank 8
constexpr int LastRankRow = rules::FirstSquare;
constexpr int KingFile = 5;  // the e-file
constexpr int QueensRookFile = rules::FirstSquare;
constexpr int KingsRookFile = rules::LastSquare;

// Plies a search may go down: the solution's own moves, then a full search
// below the deepest of them.
constexpr int MostPlies = 4 * MostMateMoves + 2;

// 2^18 remembered positions: 4 MiB a solver.
constexpr int TableBits = 18;
constexpr std::size_t TableSize = std::size_t{1} << TableBits;
// Set in the key of a node with the defender to move, so that it never
// meets the key of a node with the attacker to move in the same position.
constexpr std::uint64_t DefenderNodeMark = 0xD1CEB00C5EA5CA1EULL;
constexpr std::int8_t Unknown = 0;

[[nodiscard]] int KindOf(PieceCode code) { return std::abs(code); }

[[nodiscard]] bool HasKind(const Move& move, PieceCode kind) {
    return kind == AnyKeyKind || KindOf(move.PlacedPiece) == kind;
}

// A king and a rook of the colour `sign` on their first squares.
[[nodiscard]] bool CastlingPossible(const rules::BoardCellsArray& board, int sign, int row) {
    return board[KingFile][row] == rules::King * sign &&
           (board[QueensRookFile][row] == rules::Rook * sign || board[KingsRookFile][row] == rules::Rook * sign);
}

// Whether `move`, a move of the side to move, takes a piece.
[[nodiscard]] bool IsCapture(const rules::Position& position, const Move& move) {
    return position.At(move.ToFile, move.ToRow) != rules::NoPiece || position.IsEnPassantCapture(move);
}

}  // namespace

// What was proved of one position: the attacker mates within Proved moves
// (Unknown when not shown), and does not within Refuted moves.
struct MateSolver::TableEntry {
    std::uint64_t Key = 0;
    std::int8_t Proved = Unknown;
    std::int8_t Refuted = Unknown;
};

enum class Phase { KeySearch, ShorterMate, OtherKeys };

struct MateSolver::Search {
    std::array<MoveList, MostPlies> Moves;
    std::array<Move, MostPlies> Killer{};  // the last move that won or refuted at each ply
    std::vector<TableEntry> Table = std::vector<TableEntry>(TableSize);
    int Ply = 0;
    Phase Now = Phase::KeySearch;

    TableEntry& EntryOf(std::uint64_t key) { return Table[key & (TableSize - 1)]; }

    // What the table proved of the position `key` for mates within `moves`:
    // 1 mated, 0 not, -1 unknown.
    [[nodiscard]] int Recall(std::uint64_t key, int moves) {
        const TableEntry& entry = EntryOf(key);
        if (entry.Key != key) return -1;
        if (entry.Proved != Unknown && entry.Proved <= moves) return 1;
        if (entry.Refuted != Unknown && entry.Refuted >= moves) return 0;
        return -1;
    }
    void Remember(std::uint64_t key, int moves, bool mated) {
        TableEntry& entry = EntryOf(key);
        if (entry.Key != key) entry = {key, Unknown, Unknown};
        if (mated) {
            entry.Proved = static_cast<std::int8_t>(moves);
        } else if (moves > entry.Refuted) {
            entry.Refuted = static_cast<std::int8_t>(moves);
        }
    }
};

MateSolver::MateSolver() : Board(std::make_unique<rules::Position>()), State(std::make_unique<Search>()) {}

MateSolver::~MateSolver() = default;

void MateSolver::SetUp(const rules::BoardCellsArray& board, rules::Side toMove, rules::Square enPassant) {
    Board->SetSquares(board);
    Board->SetSideToMove(toMove);
    Board->SetEnPassantSquare(enPassant);
}

void MateSolver::SetUp(const rules::Position& position) {
    SetUp(position.Squares(), position.SideToMove(), position.EnPassantSquare());
}

void MateSolver::Forget() {
    std::fill(State->Table.begin(), State->Table.end(), TableEntry{});
    State->Killer.fill(Move{});
}

std::int64_t& MateSolver::PhaseCounter() {
    switch (State->Now) {
        case Phase::KeySearch: return Counters.KeySearchMoves;
        case Phase::ShorterMate: return Counters.ShorterMateMoves;
        case Phase::OtherKeys: break;
    }
    return Counters.OtherKeyMoves;
}

rules::Undo MateSolver::Play(const Move& move) {
    ++PhaseCounter();
    ++State->Ply;
    assert(State->Ply < MostPlies);
    return Board->Play(move);
}

void MateSolver::TakeBack(const Move& move, const rules::Undo& undo) {
    Board->TakeBack(move, undo);
    --State->Ply;
}

bool MateSolver::MateInOne() {
    MoveList& moves = State->Moves[State->Ply];
    moves = Board->LegalMoves();
    for (int entry = 1; entry <= moves.Count(); ++entry) {
        const Move move = moves[entry];
        if (!Board->GivesCheck(move)) continue;  // a mate gives check
        const rules::Undo undo = Play(move);
        const bool mate = !Board->HasLegalMove();
        TakeBack(move, undo);
        if (mate) return true;
    }
    return false;
}

bool MateSolver::MateIn(int n) {
    assert(n >= 1 && n <= MostMateMoves);
    if (n == 1) return MateInOne();
    const std::uint64_t key = Board->Key();
    if (const int known = State->Recall(key, n); known >= 0) return ++Counters.TableHits, known == 1;
    const int ply = State->Ply;
    MoveList& moves = State->Moves[ply];
    moves = Board->LegalMoves();
    const Move killer = State->Killer[ply];
    bool won = false;
    // The move that won last at this depth first, then the rest in order.
    for (int pass = 0; pass < 2 && !won; ++pass) {
        for (int index = 1; index <= moves.Count(); ++index) {
            const Move move = moves[index];
            if ((move == killer) != (pass == 0)) continue;
            const rules::Undo undo = Play(move);
            won = DefenderLoses(n - 1);
            TakeBack(move, undo);
            if (won) {
                State->Killer[ply] = move;
                break;
            }
        }
    }
    State->Remember(key, n, won);
    return won;
}

int MateSolver::MatingMovesWithin(int n, int most) {
    assert(n >= 1 && n <= MostMateMoves);
    const MoveList moves = Board->LegalMoves();
    int mating = 0;
    for (int entry = 1; entry <= moves.Count() && mating < most; ++entry) {
        const rules::Undo undo = Play(moves[entry]);
        mating += DefenderLoses(n - 1);
        TakeBack(moves[entry], undo);
    }
    return mating;
}

bool MateSolver::MatedIn(int n) {
    assert(n >= 0 && n < MostMateMoves);
    return DefenderLoses(n);
}

// The defender to move: true when it is mated now, or has a move and the
// attacker mates in `movesLeft` after every one.
bool MateSolver::DefenderLoses(int movesLeft) {
    const int ply = State->Ply;
    MoveList& replies = State->Moves[ply];
    replies = Board->LegalMoves();
    if (replies.Count() == 0) return Board->InCheck();  // mated, or stalemate
    if (movesLeft == 0) return false;
    std::uint64_t key = 0;
    if (movesLeft >= 2) {
        key = Board->Key() ^ DefenderNodeMark;
        if (const int known = State->Recall(key, movesLeft); known >= 0) return ++Counters.TableHits, known == 1;
    }
    const Move killer = State->Killer[ply];
    bool lost = true;
    // The reply that refuted last at this depth first, then the rest in order.
    for (int pass = 0; pass < 2 && lost; ++pass) {
        for (int index = 1; index <= replies.Count(); ++index) {
            const Move reply = replies[index];
            if ((reply == killer) != (pass == 0)) continue;
            const rules::Undo undo = Play(reply);
            lost = MateIn(movesLeft);
            TakeBack(reply, undo);
            if (!lost) {
                State->Killer[ply] = reply;
                break;
            }
        }
    }
    if (movesLeft >= 2) State->Remember(key, movesLeft, lost);
    return lost;
}

bool MateSolver::IsLegalStart() const {
    const rules::BoardCellsArray& board = Board->Squares();
    int whiteKings = 0;
    int blackKings = 0;
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
            const PieceCode code = board[file][row];
            whiteKings += code == rules::King;
            blackKings += code == -rules::King;
            if (KindOf(code) == rules::Pawn && (row == FirstRankRow || row == LastRankRow)) return false;
        }
    }
    if (whiteKings != 1 || blackKings != 1) return false;
    if (CastlingPossible(board, rules::White, FirstRankRow) || CastlingPossible(board, rules::Black, LastRankRow)) {
        return false;
    }
    // Kings side by side leave both attacked.
    return Board->SideToMove() == rules::White ? !Board->IsBlackKingAttacked() : !Board->IsWhiteKingAttacked();
}

MateVerdict MateSolver::Judge(const rules::BoardCellsArray& board, int n, PieceCode keyKind, Move& key,
                              std::vector<Move>* keys) {
    SetUp(board, rules::White);
    return JudgeCurrent(n, keyKind, key, keys);
}

MateVerdict MateSolver::JudgeCurrent(int n, PieceCode keyKind, Move& key, std::vector<Move>* keys) {
    assert(n >= 1 && n <= MostMateMoves);
    ++Counters.Judged;
    if (keys != nullptr) keys->clear();
    if (!IsLegalStart()) return MateVerdict::IllegalPosition;
    // The first moves are kept apart from the search's own lists.
    const MoveList firstMoves = Board->LegalMoves();
    int found = 0;
    bool stalemates = false;
    // The moves of the kind asked for come first: most positions have no key
    // among them and are done with. Only when one is found must a shorter
    // mate and the other moves be shown to fail.
    State->Now = Phase::KeySearch;
    for (const bool ofKind : {true, false}) {
        if (!ofKind) {
            if (found == 0) return stalemates ? MateVerdict::StalematingKey : MateVerdict::NoKey;
            State->Now = Phase::ShorterMate;
            if (n > 1 && MateIn(n - 1)) return MateVerdict::ShorterMate;
            if (found > 1) return MateVerdict::SeveralKeys;
            State->Now = Phase::OtherKeys;
        }
        for (int entry = 1; entry <= firstMoves.Count(); ++entry) {
            const Move move = firstMoves[entry];
            if (HasKind(move, keyKind) != ofKind) continue;
            const rules::Undo undo = Play(move);
            const bool forces = DefenderLoses(n - 1);
            const bool stalemate = !forces && ofKind && !Board->InCheck() && !Board->HasLegalMove();
            TakeBack(move, undo);
            stalemates = stalemates || stalemate;
            if (!forces) continue;
            key = move;
            ++found;
            if (keys != nullptr) {
                keys->push_back(move);  // every key is listed
                continue;
            }
            // Two keys of the kind are enough to refuse, once no shorter mate stands behind them.
            if (found > 1 && ofKind) break;
            if (found > 1) return MateVerdict::SeveralKeys;
        }
    }
    return found == 1 ? MateVerdict::Sound : MateVerdict::SeveralKeys;
}

// The fewest moves (1..most) in which the attacker mates once `move` is
// played, or 0 when it does not within `most`.
int MateSolver::MovesToMateAfter(const Move& move, int most) {
    for (int moves = 1; moves <= most; ++moves) {
        const rules::Undo undo = Play(move);
        const bool mates = DefenderLoses(moves - 1);
        TakeBack(move, undo);
        if (mates) return moves;
    }
    return 0;
}

WhiteNode MateSolver::NodeOf(const Move& move) {
    WhiteNode node;
    node.Move = move;
    node.Algebraic = rules::AlgebraicNotation(*Board, move);
    node.Trainer = rules::MoveText(move);
    node.Captures = IsCapture(*Board, move);
    const rules::Undo undo = Play(move);
    node.Checks = Board->InCheck();
    node.Mates = node.Checks && !Board->HasLegalMove();
    TakeBack(move, undo);
    return node;
}

// The attacker to move: its moves that mate soonest within `most`, in the
// order of the legal moves; `soonest` is set to their number of moves.
std::vector<WhiteNode> MateSolver::SoonestMates(int most, int& soonest) {
    const MoveList legal = Board->LegalMoves();
    std::vector<WhiteNode> best;
    soonest = 0;
    for (int entry = 1; entry <= legal.Count(); ++entry) {
        const Move move = legal[entry];
        const int moves = MovesToMateAfter(move, soonest == 0 ? most : soonest);
        if (moves == 0) continue;
        if (soonest == 0 || moves < soonest) {
            best.clear();
            soonest = moves;
        }
        best.push_back(NodeOf(move));
    }
    return best;
}

// Plays `node`'s move and lays out every defence with White's soonest
// continuation, `movesLeft` moves counted from this one.
void MateSolver::Expand(WhiteNode& node, int movesLeft, int& duals) {
    const rules::Undo undo = Play(node.Move);
    const MoveList defences = Board->LegalMoves();
    for (int entry = 1; entry <= defences.Count() && movesLeft > 1; ++entry) {
        DefenceNode line;
        line.Move = defences[entry];
        line.Algebraic = rules::AlgebraicNotation(*Board, line.Move);
        line.Captures = IsCapture(*Board, line.Move);
        const rules::Undo reply = Play(line.Move);
        line.Checks = Board->InCheck();
        std::vector<WhiteNode> continuations = SoonestMates(movesLeft - 1, line.MovesToMate);
        if (!continuations.empty()) {
            line.Duals = static_cast<int>(continuations.size()) - 1;
            duals += line.Duals;
            line.Continuation.push_back(std::move(continuations.front()));
            Expand(line.Continuation.front(), line.MovesToMate, duals);
        }
        TakeBack(line.Move, reply);
        node.Defences.push_back(std::move(line));
    }
    TakeBack(node.Move, undo);
}

Solution MateSolver::Solve(const rules::BoardCellsArray& board, int n, const Move& key) {
    SetUp(board, rules::White);
    return SolveCurrent(n, key);
}

Solution MateSolver::SolveCurrent(int n, const Move& key) {
    Solution solution;
    solution.Moves = n;
    solution.Key = NodeOf(key);
    Expand(solution.Key, n, solution.Duals);
    if (!solution.Key.Checks && n > 1) {
        // Black passes: the same side moves again on the board the key left,
        // where no capture en passant is open any more.
        const rules::Position before = *Board;
        const rules::Undo undo = Board->Play(key);
        const rules::BoardCellsArray afterKey = Board->Squares();
        Board->TakeBack(key, undo);
        SetUp(afterKey, before.SideToMove());
        int soonest = 0;
        solution.Threats = SoonestMates(n - 1, soonest);
        *Board = before;
    }
    return solution;
}

const char* VerdictName(MateVerdict verdict) {
    switch (verdict) {
        case MateVerdict::Sound: return "sound";
        case MateVerdict::IllegalPosition: return "illegal";
        case MateVerdict::ShorterMate: return "shorter";
        case MateVerdict::NoKey: return "none";
        case MateVerdict::SeveralKeys: return "several";
        case MateVerdict::StalematingKey: return "stalemate";
    }
    return "none";
}

}  // namespace problems
