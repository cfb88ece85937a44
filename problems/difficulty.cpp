// The facts of a mate problem and the estimate made of them. The position
// is first turned so that the attacker is White (ranks mirrored, colours
// swapped), and every fact is measured on that board.
#include "problems/difficulty.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include "problems/mate_solver.h"

namespace problems {
namespace {

using rules::Move;
using rules::MoveList;
using rules::PieceCode;
using rules::Position;

// The value of a piece kind in pawns; the king counts for nothing.
[[nodiscard]] int MaterialOf(PieceCode code) {
    switch (std::abs(code)) {
        case rules::Pawn: return 1;
        case rules::Knight:
        case rules::Bishop: return 3;
        case rules::Rook: return 5;
        case rules::Queen: return 9;
        default: return 0;
    }
}

// `position` with the colours swapped and the ranks mirrored when Black is
// to move, so that the side to move is White; as it is otherwise.
[[nodiscard]] Position AttackerAsWhite(const Position& position) {
    if (position.SideToMove() == rules::White) return position;
    Position turned;
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
            const PieceCode code = position.At(file, row);
            if (code != rules::NoPiece) turned.Put(file, rules::LastSquare + 1 - row, -code);
        }
    }
    turned.SetSideToMove(rules::White);
    const rules::Square passedOver = position.EnPassantSquare();
    if (!passedOver.IsNone()) turned.SetEnPassantSquare({passedOver.File, rules::LastSquare + 1 - passedOver.Row});
    return turned;
}

[[nodiscard]] bool Captures(const Position& position, const Move& move) {
    return position.At(move.ToFile, move.ToRow) != rules::NoPiece || position.IsEnPassantCapture(move);
}

[[nodiscard]] int MaterialTaken(const Position& position, const Move& move) {
    return position.IsEnPassantCapture(move) ? MaterialOf(rules::Pawn)
                                             : MaterialOf(position.At(move.ToFile, move.ToRow));
}

[[nodiscard]] Position After(const Position& position, const Move& move) {
    Position next = position;
    static_cast<void>(next.Play(move));
    return next;
}

// The squares the king of the side to move may go to, one bit a square.
[[nodiscard]] std::uint64_t KingSquares(const Position& position) {
    const MoveList moves = position.LegalMoves();
    std::uint64_t squares = 0;
    for (int entry = 1; entry <= moves.Count(); ++entry) {
        const Move move = moves[entry];
        if (std::abs(move.MovedPiece) != rules::King) continue;
        squares |= std::uint64_t{1} << ((move.ToFile - 1) * rules::LastSquare + (move.ToRow - 1));
    }
    return squares;
}

// The defending king's squares with the defender to move in place of the attacker.
[[nodiscard]] std::uint64_t FlightsBeforeKey(const Position& position) {
    Position passed = position;
    passed.SetEnPassantSquare(rules::NoSquare);
    passed.SetSideToMove(rules::Black);
    return KingSquares(passed);
}

[[nodiscard]] rules::Square SquareOf(const Position& position, PieceCode code) {
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
            if (position.At(file, row) == code) return {file, row};
        }
    }
    return rules::NoSquare;
}

[[nodiscard]] int KingSteps(rules::Square from, rules::Square to) {
    return std::max(std::abs(from.File - to.File), std::abs(from.Row - to.Row));
}

// Whether the piece that made `move` attacks the black king once it is
// played: the other white pieces but the king turned into black pawns, which
// block as they did and attack nothing of Black's.
[[nodiscard]] bool MoverChecks(const Position& after, const Move& move) {
    Position alone = after;
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
            const PieceCode code = after.At(file, row);
            if (code <= rules::NoPiece || code == rules::King || (file == move.ToFile && row == move.ToRow)) continue;
            alone.Put(file, row, rules::NoPiece);
            alone.Put(file, row, -rules::Pawn);
        }
    }
    return alone.IsBlackKingAttacked();
}

// A capture that wins material: the defender cannot take back on the
// square, or the piece taken is worth more than the one taking.
[[nodiscard]] bool WinsMaterial(const Position& position, const Move& move) {
    if (!Captures(position, move)) return false;
    if (MaterialTaken(position, move) > MaterialOf(move.MovedPiece)) return true;
    const Position after = After(position, move);
    const MoveList replies = after.LegalMoves();
    for (int entry = 1; entry <= replies.Count(); ++entry) {
        if (replies[entry].To() == move.To()) return false;
    }
    return true;
}

[[nodiscard]] int BitCount(std::uint64_t bits) {
    int count = 0;
    for (; bits != 0; bits &= bits - 1) ++count;
    return count;
}

// The moves a solver plays for `work`, counted by its counters.
template <typename Work>
[[nodiscard]] std::int64_t MovesPlayedBy(MateSolver& solver, Work work) {
    const std::int64_t before = solver.Counters.MovesPlayed();
    work();
    return solver.Counters.MovesPlayed() - before;
}

// How many defences escape mate in `moves` - 1 after `first`, counting no
// further than two.
[[nodiscard]] int Escapes(MateSolver& solver, const Position& position, const Move& first, int moves) {
    const Position after = After(position, first);
    const MoveList defences = after.LegalMoves();
    if (defences.Count() == 0) return after.InCheck() ? 0 : 2;  // a stalemate solves nothing
    int escapes = 0;
    for (int entry = 1; entry <= defences.Count() && escapes < 2; ++entry) {
        solver.SetUp(After(after, defences[entry]));
        if (!solver.MateIn(moves - 1)) ++escapes;
    }
    return escapes;
}

// The key of several: a checking one first, then the one that takes most.
[[nodiscard]] bool BetterKey(const Position& position, const Move& move, const Move& best) {
    const bool checks = position.GivesCheck(move);
    const bool bestChecks = position.GivesCheck(best);
    if (checks != bestChecks) return checks;
    return MaterialTaken(position, move) > MaterialTaken(position, best);
}

struct FirstMoves {
    std::vector<Move> Keys;
    Move Key;
};

// Sorts the first moves into keys and the others, counting what it takes
// `solver` to tell them apart; `helper` counts the tries.
FirstMoves FindKeys(MateSolver& solver, MateSolver& helper, const Position& position, int moves,
                    DifficultyFeatures& features) {
    FirstMoves found;
    const MoveList legal = position.LegalMoves();
    for (int entry = 1; entry <= legal.Count(); ++entry) {
        const Move move = legal[entry];
        bool forces = false;
        const std::int64_t played = MovesPlayedBy(solver, [&] {
            solver.SetUp(After(position, move));
            forces = solver.MatedIn(moves - 1);
        });
        if (forces) {
            if (found.Keys.empty() || BetterKey(position, move, found.Key)) found.Key = move;
            found.Keys.push_back(move);
            continue;
        }
        features.RefutationMoves += played;
        if (moves == 1 ? position.GivesCheck(move) : Escapes(helper, position, move, moves) == 1) ++features.Tries;
    }
    return found;
}

void MeasureOffer(MateSolver& solver, const Position& position, DifficultyFeatures& features) {
    const MoveList legal = position.LegalMoves();
    features.LegalMoves = legal.Count();
    std::set<std::pair<int, int>> checkers;
    for (int entry = 1; entry <= legal.Count(); ++entry) {
        const Move move = legal[entry];
        if (position.GivesCheck(move)) {
            ++features.Checks;
            checkers.insert({move.FromFile, move.FromRow});
        }
        features.Captures += Captures(position, move);
        features.WinningCaptures += WinsMaterial(position, move);
    }
    features.CheckingPieces = static_cast<int>(checkers.size());
    features.StartsInCheck = position.InCheck();
    Position passed = position;
    passed.SetEnPassantSquare(rules::NoSquare);
    passed.SetSideToMove(rules::Black);
    const MoveList threats = passed.LegalMoves();
    for (int entry = 1; entry <= threats.Count(); ++entry) {
        features.Threatened = std::max(features.Threatened, MaterialTaken(passed, threats[entry]));
    }
    const rules::Square king = SquareOf(position, -rules::King);
    for (int file = king.File - 1; file <= king.File + 1; ++file) {
        for (int row = king.Row - 1; row <= king.Row + 1; ++row) {
            features.KingHemmedIn += rules::IsOnBoard(file, row) && position.At(file, row) < rules::NoPiece &&
                                     position.At(file, row) != -rules::King;
        }
    }
    MateSolver& threat = solver;  // a mate in one consults no table
    threat.SetUp(passed);
    features.MateThreatened = !passed.IsWhiteKingAttacked() && threat.MateIn(1);
    features.KingOnEdge = king.File == rules::FirstSquare || king.File == rules::LastSquare ||
                          king.Row == rules::FirstSquare || king.Row == rules::LastSquare;
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
            const PieceCode code = position.At(file, row);
            if (code == rules::NoPiece) continue;
            ++features.Pieces;
            features.MaterialBalance += code > 0 ? MaterialOf(code) : -MaterialOf(code);
        }
    }
}

void MeasureKey(const Position& position, const Move& key, DifficultyFeatures& features) {
    features.KeyChecks = position.GivesCheck(key);
    features.KeyCaptures = Captures(position, key);
    features.KeyPromotes = key.IsPromotion();
    features.KeyPiece = std::abs(key.MovedPiece);
    features.KeyDistance = std::max(std::abs(key.ToFile - key.FromFile), std::abs(key.ToRow - key.FromRow));
    features.KeyBackwards = key.ToRow > key.FromRow;  // rows count from rank 8
    const Position after = After(position, key);
    const rules::Square king = SquareOf(position, -rules::King);
    features.KeyDiscovers = after.InCheck() && !MoverChecks(after, key);
    features.KeyToKing = KingSteps(key.To(), king);
    features.KeyFromKing = KingSteps(key.From(), king);
    const MoveList pseudo = after.GenerateBlackMoves();
    for (int entry = 1; entry <= pseudo.Count(); ++entry) features.TargetGuards += pseudo[entry].To() == key.To();
    const MoveList defences = after.LegalMoves();
    features.Defences = defences.Count();
    int mostTaken = 0;
    for (int entry = 1; entry <= defences.Count(); ++entry) {
        mostTaken = std::max(mostTaken, MaterialTaken(after, defences[entry]));
    }
    features.MaterialOffered = std::max(0, mostTaken - MaterialTaken(position, key));
    const std::uint64_t before = FlightsBeforeKey(position);
    const std::uint64_t afterKey = KingSquares(after);
    features.FlightsBefore = BitCount(before);
    features.FlightsGiven = BitCount(afterKey & ~before);
    features.FlightsTaken = BitCount(before & ~afterKey);
}

void MeasureSolution(MateSolver& solver, const Position& position, const Move& key, DifficultyFeatures& features) {
    solver.SetUp(position);
    const Solution solution = solver.SolveCurrent(features.Moves, key);
    features.Threats = static_cast<int>(solution.Threats.size());
    features.Duals = solution.Duals;
    std::set<std::pair<int, int>> answers;  // from and to squares as numbers
    for (const DefenceNode& defence : solution.Key.Defences) {
        for (const WhiteNode& answer : defence.Continuation) {
            answers.insert(
                {answer.Move.FromFile * 10 + answer.Move.FromRow, answer.Move.ToFile * 10 + answer.Move.ToRow});
        }
    }
    features.DistinctAnswers = static_cast<int>(answers.size());
}

}  // namespace

std::optional<DifficultyFeatures> MeasureDifficulty(const Position& given) {
    const Position position = AttackerAsWhite(given);
    if (position.IsBlackKingAttacked()) return std::nullopt;
    DifficultyFeatures features;
    const auto solver = std::make_unique<MateSolver>();
    solver->SetUp(position);
    features.SearchMoves = MovesPlayedBy(*solver, [&] {
        for (int moves = 1; moves <= MostDifficultyMoves && features.Moves == 0; ++moves) {
            if (solver->MateIn(moves)) features.Moves = moves;
        }
    });
    if (features.Moves == 0) return std::nullopt;
    MeasureOffer(*solver, position, features);
    // A second solver counts from an empty table, the first one helps.
    const auto sorter = std::make_unique<MateSolver>();
    const FirstMoves found = FindKeys(*sorter, *solver, position, features.Moves, features);
    features.Keys = static_cast<int>(found.Keys.size());
    MeasureKey(position, found.Key, features);
    MeasureSolution(*solver, position, found.Key, features);
    sorter->Forget();
    features.ProofMoves = MovesPlayedBy(*sorter, [&] {
        sorter->SetUp(After(position, found.Key));
        static_cast<void>(sorter->MatedIn(features.Moves - 1));
    });
    return features;
}

const std::array<const char*, DifficultyInputCount> DifficultyInputNames = {
    "legal_moves",      "checks",          "captures",       "keys",          "tries",           "key_checks",
    "key_captures",     "key_quiet",       "key_promotes",   "key_pawn",      "key_knight",      "key_bishop",
    "key_rook",         "key_queen",       "key_king",       "key_distance",  "key_backwards",   "material_offered",
    "defences",         "answers",         "threats",        "duals",         "flights_before",  "flights_given",
    "flights_taken",    "key_discovers",   "key_to_king",    "key_from_king", "king_on_edge",    "checking_pieces",
    "winning_captures", "threatened",      "king_hemmed_in", "target_guards", "mate_threatened", "pieces",
    "balance",          "starts_in_check", "log_search",     "log_proof",     "log_refutation",
};

std::array<double, DifficultyInputCount> DifficultyInputs(const DifficultyFeatures& f) {
    const auto flag = [](bool value) { return value ? 1.0 : 0.0; };
    const auto count = [](int value) { return static_cast<double>(value); };
    const auto logOf = [](std::int64_t moves) { return std::log2(1.0 + static_cast<double>(moves)); };
    return {count(f.LegalMoves),
            count(f.Checks),
            count(f.Captures),
            count(f.Keys),
            count(f.Tries),
            flag(f.KeyChecks),
            flag(f.KeyCaptures),
            flag(!f.KeyChecks && !f.KeyCaptures),
            flag(f.KeyPromotes),
            flag(f.KeyPiece == rules::Pawn),
            flag(f.KeyPiece == rules::Knight),
            flag(f.KeyPiece == rules::Bishop),
            flag(f.KeyPiece == rules::Rook),
            flag(f.KeyPiece == rules::Queen),
            flag(f.KeyPiece == rules::King),
            count(f.KeyDistance),
            flag(f.KeyBackwards),
            count(f.MaterialOffered),
            count(f.Defences),
            count(f.DistinctAnswers),
            count(f.Threats),
            count(f.Duals),
            count(f.FlightsBefore),
            count(f.FlightsGiven),
            count(f.FlightsTaken),
            flag(f.KeyDiscovers),
            count(f.KeyToKing),
            count(f.KeyFromKing),
            flag(f.KingOnEdge),
            count(f.CheckingPieces),
            count(f.WinningCaptures),
            count(f.Threatened),
            count(f.KingHemmedIn),
            count(f.TargetGuards),
            flag(f.MateThreatened),
            count(f.Pieces),
            count(f.MaterialBalance),
            flag(f.StartsInCheck),
            logOf(f.SearchMoves),
            logOf(f.ProofMoves),
            logOf(f.RefutationMoves)};
}

namespace {

// The estimate is linear in the inputs, one model per mate length, fitted by
// ridge regression on rated mate puzzles whose solvers' ratings the data
// holds (puzzle positions from real games, either side to move).
// clang-format off
// fit-difficulty constants begin
// Made by tools/fit-difficulty from rated-mates.csv (the shared data's rated mate puzzles);
// run it again on the same data to refit. Per mate length: the rating at zero inputs, then one
// coefficient per input in the order of DifficultyInputNames.
constexpr double RatingModel[MostDifficultyMoves][DifficultyInputCount + 1] = {
    {984.065, 0.247124, 15.2311, 13.0032, -20.635, 20.164, 0, -68.3232, 0, -151.791, -34.7814, 9.714, 51.6072, 4.73627, -10.1105, 0, -11.3753, -25.848, 0, 0, 0, 0, 0, 6.00746, 0, 6.00746, 11.3046, 3.14106, -14.9043, -48.4269, 60.7889, 19.0614, 3.89482, -10.6189, 62.4923, -133.718, -1.19051, -6.16905, 0, 19.5539, 0, 0},
    {1005.19, 1.67937, 23.0977, 44.4193, 0, 18.5222, -287.244, -57.1089, 253.021, 0, -88.3073, 90.3649, 38.7389, -47.1254, 20.6379, 166.731, -21.0797, 23.8835, 3.30327, 1.45665, 117.212, -164.446, 65.6139, 49.7507, 128.211, -56.2521, 101.643, -12.1672, 11.7847, -140.267, 87.2851, 21.8456, -2.64437, -42.5166, 60.14, 8.84581, 0.550962, -4.80611, 60.0634, -3.68616, -5.22488, 27.629},
    {1231.75, 2.36174, 8.82825, 30.3025, 0, -19.0421, -55.3773, -80.4275, 103.928, 0, -1.85287, 125.762, 48.5382, -26.9114, -32.5288, 139.898, -12.5677, 50.3622, 16.4239, 1.38558, -22.7271, 55.3773, 32.4121, 12.3601, 49.5317, -18.6506, -54.1708, -20.4264, -31.8272, -131.799, 105.399, 11.5668, 4.89679, -6.43473, 0.554426, 4.4015, 3.71888, 4.13306, 0, 0.25176, 16.0668, 11.9872},
};
// fit-difficulty constants end
// clang-format on

// Estimates are shown rounded, and kept within the ratings puzzles have.
constexpr int EstimateStep = 10;
constexpr double LowestEstimate = 400;
constexpr double HighestEstimate = 3000;

}  // namespace

int EstimateRating(const DifficultyFeatures& features) {
    const int moves = std::clamp(features.Moves, 1, MostDifficultyMoves);
    const double* model = RatingModel[moves - 1];
    const std::array<double, DifficultyInputCount> inputs = DifficultyInputs(features);
    double rating = model[0];
    for (int input = 0; input < DifficultyInputCount; ++input) rating += model[input + 1] * inputs[input];
    rating = std::clamp(rating, LowestEstimate, HighestEstimate);
    return static_cast<int>(std::lround(rating / EstimateStep)) * EstimateStep;
}

std::optional<int> EstimateDifficulty(const Position& position) {
    const std::optional<DifficultyFeatures> features = MeasureDifficulty(position);
    if (!features) return std::nullopt;
    return EstimateRating(*features);
}

std::optional<int> EstimateDifficulty(const rules::BoardCellsArray& board) {
    Position position;
    position.SetSquares(board);
    return EstimateDifficulty(position);
}

}  // namespace problems
