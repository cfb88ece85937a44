// Speed of the move generators, the attack tests, the legal-move filter and
// the leaf count of the legal-move tree. Run: build/bench-bin/rules_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "rules/fen.h"
#include "rules/perft.h"
#include "rules/position.h"

namespace {

using rules::Position;

struct NamedPosition {
    const char* name;
    const char* fen;
};

// A quiet opening-like position, an open one with queens, a crowded one with
// ten white queens, and one full of promotions.
constexpr NamedPosition Positions[] = {
    {"opening", "rnbqkbnr/8/pppppppp/8/8/PPPPPPPP/8/RNBQKBNR w - -"},
    {"open", "r1b1k1nr/8/1q6/3Q4/8/2N5/8/R1B1K2R b - -"},
    {"ten_queens", "r5rk/5Q2/Q7/Q2Q2Q1/8/1Q3Q2/Q3Q3/K1Q5 w - -"},
    {"promotions", "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -"},
};

Position Load(const char* fen) {
    Position position;
    std::string error;
    if (!rules::ParseFen(fen, position, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(2);
    }
    return position;
}

rules::MoveList GenerateForSide(const Position& p) {
    return p.SideToMove() == rules::White ? p.GenerateWhiteMoves() : p.GenerateBlackMoves();
}

void Generate(benchmark::State& state, const char* fen) {
    const Position p = Load(fen);
    int moves = 0;
    for (auto _ : state) {
        moves = GenerateForSide(p).Count();
        benchmark::DoNotOptimize(moves);
    }
    state.counters["moves"] = moves;
}

void GenerateAndFilter(benchmark::State& state, const char* fen) {
    const Position p = Load(fen);
    int legal = 0;
    for (auto _ : state) {
        legal = p.LegalMoves().Count();
        benchmark::DoNotOptimize(legal);
    }
    state.counters["legal"] = legal;
}

void AttackTest(benchmark::State& state, const char* fen) {
    const Position p = Load(fen);
    for (auto _ : state) {
        bool attacked = p.IsWhiteKingAttacked();
        benchmark::DoNotOptimize(attacked);
        attacked = p.IsBlackKingAttacked();
        benchmark::DoNotOptimize(attacked);
    }
}

void CountLeaves(benchmark::State& state, const char* fen) {
    const Position p = Load(fen);
    const int depth = static_cast<int>(state.range(0));
    std::uint64_t leaves = 0;
    for (auto _ : state) {
        leaves = rules::CountLeaves(p, depth);
        benchmark::DoNotOptimize(leaves);
    }
    state.counters["leaves"] = static_cast<double>(leaves);
    state.counters["leaves_per_second"] =
        benchmark::Counter(static_cast<double>(leaves), benchmark::Counter::kIsIterationInvariantRate);
}

void RegisterAll() {
    for (const NamedPosition& position : Positions) {
        const std::string name = position.name;
        benchmark::RegisterBenchmark(("Generate/" + name).c_str(), Generate, position.fen);
        benchmark::RegisterBenchmark(("GenerateAndFilter/" + name).c_str(), GenerateAndFilter, position.fen);
        benchmark::RegisterBenchmark(("AttackTests/" + name).c_str(), AttackTest, position.fen);
        benchmark::RegisterBenchmark(("CountLeaves/" + name).c_str(), CountLeaves, position.fen)
            ->Arg(3)
            ->Arg(4)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
