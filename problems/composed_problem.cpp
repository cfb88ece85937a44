// The composer's marks of a problem, each asked of the rules core or the solver.
#include "problems/composed_problem.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace problems {
namespace {

using rules::Move;
using rules::Position;

// A position of `board` with `side` to move; en passant as the solver plays it.
Position PositionOf(const rules::BoardCellsArray& board, rules::Side side) {
    Position position;
    position.SetSquares(board);
    position.SetSideToMove(side);
    return position;
}

// The squares the king of the side to move may step to.
std::vector<rules::Square> KingSquares(const Position& position) {
    std::vector<rules::Square> squares;
    const rules::MoveList moves = position.LegalMoves();
    for (int entry = 1; entry <= moves.Count(); ++entry) {
        if (std::abs(moves[entry].MovedPiece) == rules::King) squares.push_back(moves[entry].To());
    }
    return squares;
}

// Whether the key leaves the Black king without a square it had: the king's
// steps with Black to move on the problem's board, against those after the key.
bool TakesFlight(const rules::BoardCellsArray& board, const Move& key) {
    const std::vector<rules::Square> before = KingSquares(PositionOf(board, rules::Black));
    Position afterKey = PositionOf(board, rules::White);
    static_cast<void>(afterKey.Play(key));
    const std::vector<rules::Square> after = KingSquares(afterKey);
    return std::any_of(before.begin(), before.end(), [&](const rules::Square& square) {
        return std::find(after.begin(), after.end(), square) == after.end();
    });
}

// Whether some defence below `node` (played on `position`, `movesLeft`
// counted from it) leaves White more than one move that mates in time.
bool HasDualBelow(MateSolver& solver, Position& position, const WhiteNode& node, int movesLeft) {
    const rules::Undo undo = position.Play(node.Move);
    bool dual = false;
    for (const DefenceNode& defence : node.Defences) {
        if (defence.Continuation.empty()) continue;  // mated, or the line ends
        if (defence.Duals > 0) {
            dual = true;
            break;
        }
        const rules::Undo reply = position.Play(defence.Move);
        solver.SetUp(position);
        // Slower mates count too: any second move that still mates in time is a dual.
        dual = solver.MatingMovesWithin(movesLeft - 1, 2) > 1 ||
               HasDualBelow(solver, position, defence.Continuation.front(), defence.MovesToMate);
        position.TakeBack(defence.Move, reply);
        if (dual) break;
    }
    position.TakeBack(node.Move, undo);
    return dual;
}

// Whether every defence is met by one and the same move.
bool OneAnswerOnly(const Solution& solution) {
    const Move* first = nullptr;
    for (const DefenceNode& defence : solution.Key.Defences) {
        if (defence.Continuation.empty()) continue;
        const Move& answer = defence.Continuation.front().Move;
        if (first == nullptr) {
            first = &answer;
        } else if (answer != *first) {
            return false;
        }
    }
    return true;
}

}  // namespace

ComposedFlaw KeyFlaw(const rules::BoardCellsArray& board, const Move& key) {
    Position position = PositionOf(board, rules::White);
    if (position.At(key.ToFile, key.ToRow) != rules::NoPiece || position.IsEnPassantCapture(key)) {
        return ComposedFlaw::KeyCaptures;
    }
    if (position.GivesCheck(key)) return ComposedFlaw::KeyChecks;
    return ComposedFlaw::None;
}

ComposedFlaw FindComposedFlaw(MateSolver& solver, const rules::BoardCellsArray& board, const Solution& solution) {
    const Move& key = solution.Key.Move;
    if (const ComposedFlaw flaw = KeyFlaw(board, key); flaw != ComposedFlaw::None) return flaw;
    if (TakesFlight(board, key)) return ComposedFlaw::KeyTakesFlight;
    Position position = PositionOf(board, rules::White);
    if (HasDualBelow(solver, position, solution.Key, solution.Moves)) return ComposedFlaw::Dual;
    if (OneAnswerOnly(solution)) return ComposedFlaw::OneAnswer;
    return ComposedFlaw::None;
}

const char* ComposedFlawName(ComposedFlaw flaw) {
    switch (flaw) {
        case ComposedFlaw::None: return "composed";
        case ComposedFlaw::KeyChecks: return "key-checks";
        case ComposedFlaw::KeyCaptures: return "key-captures";
        case ComposedFlaw::KeyTakesFlight: return "takes-flight";
        case ComposedFlaw::Dual: return "dual";
        case ComposedFlaw::OneAnswer: return "one-answer";
    }
    return "composed";
}

}  // namespace problems
