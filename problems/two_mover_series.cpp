// Drawing a set of two-movers on several threads. Block b of random
// positions is built from a seed made of the set's seed and b alone; the
// blocks' finds are taken in block order, so the set is the same whichever
// thread judged which block and when.
#include "problems/two_mover_series.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_set>

#include "problems/position_builder.h"
#include "rules/fen.h"

namespace problems {
namespace {

// The FEN of `board` with White to move.
std::string FenOf(rules::Position& scratch, const rules::BoardCellsArray& board) {
    scratch.Clear();
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
            if (board[file][row] != rules::NoPiece) scratch.Put(file, row, board[file][row]);
        }
    }
    return rules::WriteFen(scratch, rules::White);
}

// SplitMix64's finaliser: well-spread seeds for neighbouring block numbers.
std::uint64_t BlockSeed(std::uint64_t seed, std::int64_t block) {
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ULL * (static_cast<std::uint64_t>(block) + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

constexpr int ThinningPasses = 2;
constexpr unsigned MostThreads = 16;

struct Find {
    rules::BoardCellsArray Board{};
    rules::Move Key;
    int Attempt = 0;  // its position within the block, from 0
};

// One thread's tools: its own rules core, builder settings and search.
struct BlockJudge {
    explicit BlockJudge(const settings::TrainerSettings& config) : Config(config) {}

    std::vector<Find> Judge(std::uint64_t seed, std::int64_t block) {
        std::vector<Find> finds;
        PositionBuilder builder(*Rules, Config, BlockSeed(seed, block));
        const rules::PieceCode kind = Config.FirstMovePiece;  // 0 is AnyKeyKind
        for (int attempt = 0; attempt < TwoMoverBlockSize; ++attempt) {
            builder.ClearBoard();
            if (!builder.BuildRandomPosition()) continue;
            rules::Move key;
            if (Search.Judge(Rules->Squares(), kind, key) != TwoMoverVerdict::Sound) continue;
            Find find;
            find.Board = Rules->Squares();
            find.Key = key;
            find.Attempt = attempt;
            ThinTwoMover(Search, find.Board, key);
            finds.push_back(find);
        }
        return finds;
    }

    settings::TrainerSettings Config;
    std::unique_ptr<rules::Position> Rules = std::make_unique<rules::Position>();
    TwoMoverSearch Search;
};

}  // namespace

void ThinTwoMover(TwoMoverSearch& search, rules::BoardCellsArray& board, const rules::Move& key) {
    const rules::PieceCode kind = std::abs(key.PlacedPiece);
    for (int pass = 0; pass < ThinningPasses; ++pass) {
        for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
            for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
                const rules::PieceCode piece = board[file][row];
                if (piece == rules::NoPiece || std::abs(piece) == rules::King) continue;
                if (file == key.FromFile && row == key.FromRow) continue;  // the key's own piece
                board[file][row] = rules::NoPiece;
                rules::Move found;
                if (search.Judge(board, kind, found) != TwoMoverVerdict::Sound || !SameMove(found, key)) {
                    board[file][row] = piece;
                }
            }
        }
    }
}

TwoMoverSeries::TwoMoverSeries(const settings::TrainerSettings& config, std::uint64_t seed, int threads)
    : Config(config), Seed(seed), Threads(threads) {
    if (Threads <= 0) Threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, MostThreads));
}

bool TwoMoverSeries::Draw(int asked, SeriesProgress* progress) {
    Problems.clear();
    AttemptsUsed = 0;
    RepeatsSkipped = 0;
    Cost = {};
    LastEnd = DrawEnd::Complete;
    auto rules = std::make_unique<rules::Position>();
    if (!PositionBuilder(*rules, Config).PiecesCanFit()) {
        LastEnd = DrawEnd::PiecesDoNotFit;
        return false;
    }
    const std::int64_t budget = static_cast<std::int64_t>(asked) * TwoMoverAttemptsPerProblem;
    const std::int64_t blocks = (budget + TwoMoverBlockSize - 1) / TwoMoverBlockSize;

    std::mutex lock;
    std::condition_variable blockDone;
    std::map<std::int64_t, std::vector<Find>> done;  // judged blocks not yet taken
    std::int64_t nextBlock = 0;
    bool stop = false;

    auto work = [&]() {
        BlockJudge judge(Config);
        for (;;) {
            std::int64_t block = 0;
            {
                std::lock_guard<std::mutex> guard(lock);
                if (stop || nextBlock >= blocks) break;
                block = nextBlock++;
            }
            std::vector<Find> finds = judge.Judge(Seed, block);
            std::lock_guard<std::mutex> guard(lock);
            done.emplace(block, std::move(finds));
            blockDone.notify_all();
        }
        std::lock_guard<std::mutex> guard(lock);
        Cost.Judged += judge.Search.Counters.Judged;
        Cost.MovesPlayed += judge.Search.Counters.MovesPlayed;
    };
    std::vector<std::thread> workers;
    for (int thread = 0; thread < Threads; ++thread) workers.emplace_back(work);

    std::vector<Find> kept;
    std::unordered_set<std::string> placements;
    bool complete = false;
    for (std::int64_t block = 0; block < blocks && !complete && LastEnd == DrawEnd::Complete; ++block) {
        std::vector<Find> finds;
        {
            std::unique_lock<std::mutex> guard(lock);
            blockDone.wait(guard, [&] { return done.count(block) != 0; });
            finds = std::move(done[block]);
            done.erase(block);
        }
        AttemptsUsed = std::min(budget, (block + 1) * TwoMoverBlockSize);
        for (const Find& find : finds) {
            const std::string fen = FenOf(*rules, find.Board);
            if (!placements.insert(fen.substr(0, fen.find(' '))).second) {
                ++RepeatsSkipped;
                continue;
            }
            kept.push_back(find);
            if (static_cast<int>(kept.size()) == asked) {
                AttemptsUsed = block * TwoMoverBlockSize + find.Attempt + 1;
                complete = true;
                break;
            }
        }
        if (progress != nullptr) progress->ProblemsFound(static_cast<int>(kept.size()), asked, AttemptsUsed);
        // Until the first two-mover comes, only one two-mover's share is open.
        if (!complete && kept.empty() && AttemptsUsed >= TwoMoverAttemptsPerProblem) {
            AttemptsUsed = TwoMoverAttemptsPerProblem;  // the share's last block ran past it and found nothing either
            LastEnd = DrawEnd::NoFirstProblem;
        }
    }
    if (!complete && LastEnd == DrawEnd::Complete) LastEnd = DrawEnd::BudgetSpent;
    {
        std::lock_guard<std::mutex> guard(lock);
        stop = true;
    }
    for (std::thread& worker : workers) worker.join();

    TwoMoverSearch search;
    for (const Find& find : kept) {
        SeriesProblem problem;
        problem.Board = find.Board;
        problem.Fen = FenOf(*rules, find.Board);
        problem.Moves = 2;
        problem.TwoMover = search.Solve(find.Board, find.Key);
        problem.SolutionText = TrainerNotation(find.Key);
        problem.SolutionAlgebraic = problem.TwoMover.KeyAlgebraic;
        problem.MatingPiece = find.Key.PlacedPiece;
        Problems.push_back(std::move(problem));
    }
    return complete;
}

}  // namespace problems
