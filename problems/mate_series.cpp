// Drawing a set of problems of mate in n on several threads. Block b of random
// positions is built from a seed made of the set's seed and b alone; the
// blocks' finds are taken in block order, so the set is the same whichever
// thread judged which block and when.
#include "problems/mate_series.h"

#include <algorithm>
#include <cassert>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <functional>
#include <memory>
#include <new>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_set>

#include "problems/composed_problem.h"
#include "problems/position_builder.h"
#include "problems/thin_problem.h"
#include "problems/trainer_rules.h"
#include "rules/fen.h"

namespace problems {
namespace {

// The FEN of `board` with White to move.
std::string FenOf(rules::Position& scratch, const rules::BoardCellsArray& board) {
    scratch.SetSquares(board);
    return rules::WriteFen(scratch, rules::White);
}

// SplitMix64's finaliser: well-spread seeds for neighbouring block numbers.
std::uint64_t BlockSeed(std::uint64_t seed, std::int64_t block) {
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ULL * (static_cast<std::uint64_t>(block) + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

constexpr unsigned MostThreads = 16;

// Positions a set may try per problem asked for, by n: mates in two and in
// three are rarer than mates in one, and each costs more to judge.
constexpr std::int64_t MateInTwoOrMoreAttempts = 10000;
// Of the sound problems found, a few in a hundred are composed ones.
constexpr std::int64_t ComposedAttemptsFactor = 40;

struct Find {
    rules::BoardCellsArray Board{};
    rules::Move Key;
    int Attempt = 0;  // its position within the block, from 0
};

// One thread's tools: its own board for the builder, builder settings and solver.
struct BlockJudge {
    BlockJudge(const settings::TrainerSettings& config, int moves, ProblemStyle style)
        : Config(config), Moves(moves), Style(style) {}

    std::vector<Find> Judge(std::uint64_t seed, std::int64_t block) {
        std::vector<Find> finds;
        PositionBuilder builder(*Rules, Config, BlockSeed(seed, block));
        const rules::PieceCode kind = Config.FirstMovePiece;  // 0 is AnyKeyKind
        for (int attempt = 0; attempt < MateSeriesBlockSize; ++attempt) {
            builder.ClearBoard();
            if (!builder.BuildRandomPosition()) continue;
            rules::Move key;
            if (Solver.Judge(Rules->Squares(), Moves, kind, key) != MateVerdict::Sound) continue;
            Find find;
            find.Board = Rules->Squares();
            find.Key = key;
            find.Attempt = attempt;
            if (Style == ProblemStyle::Composed && !MakeComposed(find)) {
                ++Rejected;
                continue;
            }
            if (Style == ProblemStyle::Sound) {
                const std::int64_t before = Solver.Counters.Judged;
                ThinProblem(Solver, find.Board, Moves, key);
                ThinningJudged += Solver.Counters.Judged - before;
            }
            finds.push_back(find);
        }
        return finds;
    }

    // Whether `find`, a sound problem, thinned until no piece can come off,
    // has every mark of a composed one; it is thinned either way.
    bool ThinsToComposed(Find& find) {
        if (KeyFlaw(find.Board, find.Key) != ComposedFlaw::None) return false;
        const std::int64_t before = Solver.Counters.Judged;
        ThinProblem(Solver, find.Board, Moves, find.Key, ProblemStyle::Composed);
        ThinningJudged += Solver.Counters.Judged - before;
        const Solution solution = Solver.Solve(find.Board, Moves, find.Key);
        return FindComposedFlaw(Solver, find.Board, solution) == ComposedFlaw::None;
    }

    // Makes `find`, a sound problem, into a composed one: as it stands, or
    // else the first of its neighbours (one piece but a king moved to an
    // empty square, in scan order) that is sound with a key of the kind
    // asked for and composed. Random placement alone seldom gives a quiet
    // key when the key's piece is a queen; a neighbour often does.
    bool MakeComposed(Find& find) {
        const Find original = find;
        if (ThinsToComposed(find)) return true;
        // With keys of any kind, random placement gives composed problems
        // often enough, and the neighbours would cost more than they give.
        const rules::PieceCode kind = Config.FirstMovePiece;
        if (kind == AnyKeyKind) return false;
        std::vector<rules::Square> pieces;
        std::vector<rules::Square> empty;
        for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
            for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
                const rules::PieceCode code = original.Board[file][row];
                if (code == rules::NoPiece) {
                    empty.push_back({file, row});
                } else if (std::abs(code) != rules::King) {
                    pieces.push_back({file, row});
                }
            }
        }
        for (const rules::Square& from : pieces) {
            for (const rules::Square& to : empty) {
                find.Board = original.Board;
                find.Board[to.File][to.Row] = find.Board[from.File][from.Row];
                find.Board[from.File][from.Row] = rules::NoPiece;
                if (Solver.Judge(find.Board, Moves, kind, find.Key) != MateVerdict::Sound) continue;
                if (ThinsToComposed(find)) return true;
            }
        }
        find = original;
        return false;
    }

    settings::TrainerSettings Config;
    int Moves;
    ProblemStyle Style;
    std::int64_t Rejected = 0;
    std::unique_ptr<rules::Position> Rules = std::make_unique<rules::Position>(TrainerEnPassant);
    MateSolver Solver;
    std::int64_t ThinningJudged = 0;
};

}  // namespace

std::int64_t AttemptsPerProblem(int moves, ProblemStyle style) {
    if (moves <= 1) return SeriesAttemptsPerProblem;
    return style == ProblemStyle::Composed ? ComposedAttemptsFactor * MateInTwoOrMoreAttempts : MateInTwoOrMoreAttempts;
}

MateSeries::MateSeries(const settings::TrainerSettings& config, std::uint64_t seed, int moves, ProblemStyle style,
                       int threads)
    : Config(config), Seed(seed), Moves(moves), Style(style), Threads(threads) {
    assert(moves >= 2 && moves <= MostMateMoves);
    if (Threads <= 0) Threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, MostThreads));
}

bool MateSeries::Draw(int asked, SeriesProgress* progress) {
    Problems.clear();
    AttemptsUsed = 0;
    RepeatsSkipped = 0;
    FilteredOut = 0;
    Cost = {};
    LastEnd = DrawEnd::Complete;
    auto rules = std::make_unique<rules::Position>(TrainerEnPassant);
    if (!PositionBuilder(*rules, Config).PiecesCanFit()) {
        LastEnd = DrawEnd::PiecesDoNotFit;
        return false;
    }
    const std::int64_t share = AttemptsPerProblem(Moves, Style);
    const std::int64_t budget = static_cast<std::int64_t>(asked) * share;
    const std::int64_t blocks = (budget + MateSeriesBlockSize - 1) / MateSeriesBlockSize;

    std::mutex lock;
    std::condition_variable blockDone;
    std::map<std::int64_t, std::vector<Find>> done;  // judged blocks not yet taken
    std::int64_t nextBlock = 0;
    bool stop = false;

    // Takes the next block not yet dealt out; false when none is left.
    const auto nextUndealt = [&](std::int64_t& block) {
        std::lock_guard<std::mutex> guard(lock);
        if (stop || nextBlock >= blocks) return false;
        block = nextBlock++;
        return true;
    };
    const auto addCost = [&](const BlockJudge& judge) {
        std::lock_guard<std::mutex> guard(lock);
        Cost.Judged += judge.Solver.Counters.Judged;
        Cost.ThinningJudged += judge.ThinningJudged;
        Cost.Rejected += judge.Rejected;
        Cost.Search.Judged += judge.Solver.Counters.Judged;
        Cost.Search.KeySearchMoves += judge.Solver.Counters.KeySearchMoves;
        Cost.Search.ShorterMateMoves += judge.Solver.Counters.ShorterMateMoves;
        Cost.Search.OtherKeyMoves += judge.Solver.Counters.OtherKeyMoves;
        Cost.Search.TableHits += judge.Solver.Counters.TableHits;
    };
    const auto work = [&](BlockJudge& judge) {
        for (std::int64_t block = 0; nextUndealt(block);) {
            std::vector<Find> finds = judge.Judge(Seed, block);
            std::lock_guard<std::mutex> guard(lock);
            done.emplace(block, std::move(finds));
            blockDone.notify_all();
        }
    };
    // Each thread's tools are made here, before it starts, and a thread
    // that cannot have them or cannot start (a limit on memory or on
    // processes) is left out; with none at all, this thread judges each
    // block as it needs it.
    std::vector<std::unique_ptr<BlockJudge>> judges;
    std::vector<std::thread> workers;
    for (int thread = 0; thread < Threads; ++thread) {
        try {
            judges.push_back(std::make_unique<BlockJudge>(Config, Moves, Style));
            workers.emplace_back(work, std::ref(*judges.back()));
        } catch (const std::bad_alloc&) {
            break;
        } catch (const std::system_error&) {
            break;
        }
    }
    judges.resize(workers.size());  // a judge whose thread did not start goes
    Cost.Threads = std::max(1, static_cast<int>(workers.size()));
    std::unique_ptr<BlockJudge> own;
    if (workers.empty()) own = std::make_unique<BlockJudge>(Config, Moves, Style);

    std::vector<Find> kept;
    std::unordered_set<std::string> placements;
    bool complete = false;
    for (std::int64_t block = 0; block < blocks && !complete && LastEnd == DrawEnd::Complete; ++block) {
        std::vector<Find> finds;
        if (own != nullptr) {
            finds = own->Judge(Seed, block);
        } else {
            std::unique_lock<std::mutex> guard(lock);
            blockDone.wait(guard, [&] { return done.count(block) != 0; });
            finds = std::move(done[block]);
            done.erase(block);
        }
        AttemptsUsed = std::min(budget, (block + 1) * MateSeriesBlockSize);
        for (const Find& find : finds) {
            const std::string fen = FenOf(*rules, find.Board);
            if (!placements.insert(fen.substr(0, fen.find(' '))).second) {
                ++RepeatsSkipped;
                continue;
            }
            if (Filter && !Filter(find.Board)) {
                ++FilteredOut;
                continue;
            }
            kept.push_back(find);
            if (static_cast<int>(kept.size()) == asked) {
                AttemptsUsed = block * MateSeriesBlockSize + find.Attempt + 1;
                complete = true;
                break;
            }
        }
        if (progress != nullptr) progress->ProblemsFound(static_cast<int>(kept.size()), asked, AttemptsUsed);
        // Until the first problem comes, only one problem's share is open.
        if (!complete && kept.empty() && AttemptsUsed >= share) {
            AttemptsUsed = share;  // the share's last block ran past it and found nothing either
            LastEnd = DrawEnd::NoFirstProblem;
        }
    }
    if (!complete && LastEnd == DrawEnd::Complete) LastEnd = DrawEnd::BudgetSpent;
    {
        std::lock_guard<std::mutex> guard(lock);
        stop = true;
    }
    for (std::thread& worker : workers) worker.join();
    for (const auto& judge : judges) addCost(*judge);
    if (own != nullptr) addCost(*own);

    const auto solver = std::make_unique<MateSolver>();
    for (const Find& find : kept) {
        SeriesProblem problem;
        problem.Board = find.Board;
        problem.Fen = FenOf(*rules, find.Board);
        problem.Tree = solver->Solve(find.Board, Moves, find.Key);
        problem.SolutionText = problem.Tree.Key.Trainer;
        problem.SolutionAlgebraic = problem.Tree.Key.Algebraic;
        problem.MatingPiece = find.Key.PlacedPiece;
        Problems.push_back(std::move(problem));
    }
    return complete;
}

}  // namespace problems
