// The two-mover search: every first move, every defence, every mate, by the
// whole rules of chess.
#include "problems/two_mover_search.h"

#include <cstdlib>
#include <utility>

#include "rules/algebraic_notation.h"
#include "rules/move_text.h"

namespace problems {
namespace {

using rules::Move;
using rules::PieceCode;

constexpr int FirstRankRow = rules::LastSquare;  // rows count from rank 8
constexpr int LastRankRow = rules::FirstSquare;
constexpr int KingFile = 5;  // the e-file
constexpr int QueensRookFile = rules::FirstSquare;
constexpr int KingsRookFile = rules::LastSquare;

[[nodiscard]] int KindOf(PieceCode code) { return std::abs(code); }

// The kind of piece a key puts on its target square.
[[nodiscard]] bool HasKind(const Move& move, PieceCode kind) {
    return kind == AnyKeyKind || KindOf(move.PlacedPiece) == kind;
}

// A king and a rook of the colour `sign` on their first squares.
[[nodiscard]] bool CastlingPossible(const rules::BoardCellsArray& board, int sign, int row) {
    return board[KingFile][row] == rules::King * sign &&
           (board[QueensRookFile][row] == rules::Rook * sign || board[KingsRookFile][row] == rules::Rook * sign);
}

}  // namespace

std::string TrainerNotation(const Move& move) {
    std::string text(rules::PieceLetters[KindOf(move.MovedPiece)]);
    text += rules::SquareName(move.FromFile, move.FromRow);
    text += '-';
    text += rules::SquareName(move.ToFile, move.ToRow);
    if (move.PlacedPiece != move.MovedPiece) text += rules::PieceLetters[KindOf(move.PlacedPiece)];
    return text;
}

bool TwoMoverSearch::IsLegalStart(const rules::BoardCellsArray& board) {
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
    // Kings side by side leave the Black king attacked too.
    Rules.SetUp(board, rules::Black);
    return !Rules.InCheck();
}

TwoMoverVerdict TwoMoverSearch::Judge(const rules::BoardCellsArray& board, PieceCode keyKind, Move& key) {
    ++Counters.Judged;
    if (!IsLegalStart(board)) return TwoMoverVerdict::IllegalPosition;
    Rules.SetUp(board, rules::White);
    if (HasMateInOne(0)) return TwoMoverVerdict::MateInOne;
    // HasMateInOne left White's legal moves in ply 0. The moves of the kind
    // asked for come first: most positions have no key among them and are
    // done with; only when one is found must the others be shown to fail.
    const std::vector<Move>& firstMoves = PlyMoves[0];
    int keys = 0;
    for (const bool ofKind : {true, false}) {
        if (!ofKind && keys == 0) break;
        for (const Move& move : firstMoves) {
            if (HasKind(move, keyKind) != ofKind) continue;
            const PlayedMove played = Rules.Play(move);
            ++Counters.MovesPlayed;
            const bool forces = KeyForcesMate(1);
            Rules.TakeBack(played);
            if (!forces) continue;
            if (++keys > 1) return TwoMoverVerdict::SeveralKeys;
            key = move;
        }
    }
    return keys == 1 ? TwoMoverVerdict::Sound : TwoMoverVerdict::NoKey;
}

// White to move: fills ply `ply` with White's legal moves and says whether
// one of them mates.
bool TwoMoverSearch::HasMateInOne(int ply) {
    std::vector<Move>& moves = PlyMoves[ply];
    Rules.LegalMoves(moves);
    for (const Move& move : moves) {
        const PlayedMove played = Rules.Play(move);
        ++Counters.MovesPlayed;
        const bool mate = Rules.IsMated();
        Rules.TakeBack(played);
        if (mate) return true;
    }
    return false;
}

// Black to move after a candidate key: true when Black has a legal move and
// White mates in one after each of them.
bool TwoMoverSearch::KeyForcesMate(int ply) {
    std::vector<Move>& defences = PlyMoves[ply];
    Rules.LegalMoves(defences);
    if (defences.empty()) return false;  // mate was ruled out: a stalemate
    for (std::size_t index = 1; index < defences.size(); ++index) {
        if (SameMove(defences[index], Refutation)) {
            std::swap(defences[0], defences[index]);
            break;
        }
    }
    for (const Move& defence : defences) {
        const PlayedMove played = Rules.Play(defence);
        ++Counters.MovesPlayed;
        const bool mated = HasMateInOne(ply + 1);
        Rules.TakeBack(played);
        if (!mated) {
            Refutation = defence;
            return false;
        }
    }
    return true;
}

// White to move: every mating move, in the order of the legal moves.
void TwoMoverSearch::CollectMates(int ply, std::vector<Move>& mates) {
    std::vector<Move>& moves = PlyMoves[ply];
    Rules.LegalMoves(moves);
    mates.clear();
    for (const Move& move : moves) {
        const PlayedMove played = Rules.Play(move);
        if (Rules.IsMated()) mates.push_back(move);
        Rules.TakeBack(played);
    }
}

std::string TwoMoverSearch::Algebraic(const std::vector<Move>& legal, const Move& move) {
    const rules::BoardCellsArray& board = Rules.Board();
    const bool capture = board[move.ToFile][move.ToRow] != rules::NoPiece || IsEnPassantCapture(board, move);
    const PlayedMove played = Rules.Play(move);
    const std::string checkMark = !Rules.InCheck() ? "" : Rules.HasLegalMove() ? "+" : "#";
    Rules.TakeBack(played);
    return rules::AlgebraicText(move, legal, capture, checkMark);
}

TwoMoverSolution TwoMoverSearch::Solve(const rules::BoardCellsArray& board, const Move& key) {
    TwoMoverSolution solution;
    solution.Key = key;
    Rules.SetUp(board, rules::White);
    std::vector<Move> firstMoves;
    Rules.LegalMoves(firstMoves);
    solution.KeyAlgebraic = Algebraic(firstMoves, key);

    const PlayedMove played = Rules.Play(key);
    const rules::BoardCellsArray afterKey = Rules.Board();
    solution.KeyChecks = Rules.InCheck();
    std::vector<Move> defences;
    Rules.LegalMoves(defences);
    for (const Move& defence : defences) {
        TwoMoverDefence line;
        line.Defence = defence;
        line.DefenceAlgebraic = Algebraic(defences, defence);
        const PlayedMove reply = Rules.Play(defence);
        CollectMates(2, line.Mates);
        if (!line.Mates.empty()) {
            const std::vector<Move> replies = PlyMoves[2];
            line.FirstMateAlgebraic = Algebraic(replies, line.Mates.front());
            solution.Duals += static_cast<int>(line.Mates.size()) - 1;
        }
        Rules.TakeBack(reply);
        solution.Defences.push_back(std::move(line));
    }
    Rules.TakeBack(played);

    if (!solution.KeyChecks) {
        // Black passes: White moves again on the board the key left.
        Rules.SetUp(afterKey, rules::White);
        CollectMates(1, solution.Threats);
        if (!solution.Threats.empty()) {
            const std::vector<Move> moves = PlyMoves[1];
            solution.FirstThreatAlgebraic = Algebraic(moves, solution.Threats.front());
        }
    }
    return solution;
}

}  // namespace problems
