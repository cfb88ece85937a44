// Where the time of a 1000-problem worksheet goes: drawing the problems,
// then PGN, EPD and PDF, then writing the three files. Prints one line per
// seed and the fastest run. Then, for each settings file and for mates in
// two and in three, what a set costs: the random positions tried per
// problem found, where the solver's moves go (finding keys of the kind,
// ruling out a shorter mate, ruling out keys of other kinds, thinning), and
// the time of one soundness check on one thread, over the builder's random
// positions and over sound problems judged again.
//   sheets_bench SETTINGS_FILE [RUNS [MATE_SETTINGS_FILE...]]
// Without further files the longer mates come from SETTINGS_FILE.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "problems/trainer_rules.h"
#include "files/output_group.h"
#include "problems/position_builder.h"
#include "problems/problem_series.h"
#include "problems/mate_series.h"
#include "problems/mate_solver.h"
#include "sheets/epd_writer.h"
#include "sheets/pdf_sheet.h"
#include "sheets/pgn_writer.h"
#include "sheets/sheet_options.h"
#include "sheets/sheet_settings.h"
#include "tests/support/scratch_folder.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Problems = 1000;
constexpr int PerPage = 6;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

constexpr int SetSize = 100;         // a set drawn for the positions-per-problem figure
constexpr int RandomChecks = 20000;  // random positions built for the solver to judge on one thread
constexpr std::uint64_t MateSeed = 1;
constexpr double MicrosecondsPerSecond = 1e6;

// Microseconds per Judge of the solver on one thread, over the builder's
// random positions that reach it (as a set's threads see them); sets
// `sound` to how many of them were sound.
double MicrosecondsPerRandomCheck(const settings::TrainerSettings& config, int moves, int& checked, int& sound) {
    rules::Position rules(problems::TrainerEnPassant);
    problems::PositionBuilder builder(rules, config, MateSeed);
    problems::MateSolver solver;
    checked = 0;
    sound = 0;
    double seconds = 0;
    for (int attempt = 0; attempt < RandomChecks; ++attempt) {
        builder.ClearBoard();
        if (!builder.BuildRandomPosition()) continue;
        const rules::BoardCellsArray board = rules.Squares();
        rules::Move key;
        const Clock::time_point start = Clock::now();
        sound += solver.Judge(board, moves, config.FirstMovePiece, key) == problems::MateVerdict::Sound;
        seconds += SecondsSince(start);
        ++checked;
    }
    return checked == 0 ? 0 : seconds * MicrosecondsPerSecond / checked;
}

// Microseconds per Judge of a sound problem, where every first move must be
// shown to fail but the key: the dearest verdict. A fresh solver each time,
// so that its table of judged positions does not answer from the last round.
double MicrosecondsPerSoundCheck(const std::vector<problems::SeriesProblem>& found,
                                 const settings::TrainerSettings& config, int moves) {
    constexpr int Rounds = 3;
    const Clock::time_point start = Clock::now();
    for (int round = 0; round < Rounds; ++round) {
        for (const problems::SeriesProblem& problem : found) {
            rules::Move key;
            problems::MateSolver solver;
            if (solver.Judge(problem.Board, moves, config.FirstMovePiece, key) != problems::MateVerdict::Sound) {
                std::fprintf(stderr, "a problem of the set is not sound when judged again\n");
                std::exit(1);
            }
        }
    }
    return SecondsSince(start) * MicrosecondsPerSecond / (Rounds * static_cast<double>(found.size()));
}

double Share(std::int64_t part, std::int64_t whole) { return whole == 0 ? 0 : 100.0 * part / whole; }

// The figures of mates in `moves` for one settings file.
bool MateFigures(const char* path, int moves) {
    settings::TrainerSettings config;
    const std::string unreadable = sheets::ReadSheetSettings(path, config);
    if (!unreadable.empty()) {
        std::fprintf(stderr, "%s\n", unreadable.c_str());
        return false;
    }
    std::printf("mates in %d, settings %s:\n", moves, path);
    problems::MateSeries series(config, MateSeed, moves);
    const Clock::time_point start = Clock::now();
    const bool complete = series.Draw(SetSize, nullptr);
    const double drawn = SecondsSince(start);
    const std::size_t found = series.Problems.size();
    std::printf(
        "  %d asked, %zu found in %.3f s on %d threads: %lld positions, %.0f positions per problem "
        "(budget %lld), %d repeats skipped\n",
        SetSize, found, drawn, series.Cost.Threads, static_cast<long long>(series.AttemptsUsed),
        found == 0 ? 0.0 : static_cast<double>(series.AttemptsUsed) / static_cast<double>(found),
        static_cast<long long>(problems::AttemptsPerProblem(moves)), series.RepeatsSkipped);
    const problems::SolverCounters& work = series.Cost.Search;
    const std::int64_t played = work.MovesPlayed();
    std::printf(
        "  solver work: %lld checks (%lld of them thinning), %lld moves played: %.1f %% finding keys of the kind, "
        "%.1f %% ruling out a shorter mate, %.1f %% ruling out other keys; %lld answers from the table\n",
        static_cast<long long>(series.Cost.Judged), static_cast<long long>(series.Cost.ThinningJudged),
        static_cast<long long>(played), Share(work.KeySearchMoves, played), Share(work.ShorterMateMoves, played),
        Share(work.OtherKeyMoves, played), static_cast<long long>(work.TableHits));
    int checked = 0;
    int sound = 0;
    const double perRandom = MicrosecondsPerRandomCheck(config, moves, checked, sound);
    std::printf("  one soundness check, one thread: %.2f us per random position (%d judged, %d sound)", perRandom,
                checked, sound);
    if (found > 0)
        std::printf(", %.1f us per sound problem", MicrosecondsPerSoundCheck(series.Problems, config, moves));
    std::printf("\n");
    if (!complete) std::printf("  the budget ran out before %d problems\n", SetSize);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sheets_bench SETTINGS_FILE [RUNS]\n");
        return 2;
    }
    settings::TrainerSettings config;
    const std::string unreadable = sheets::ReadSheetSettings(argv[1], config);
    if (!unreadable.empty()) {
        std::fprintf(stderr, "%s\n", unreadable.c_str());
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const support::ScratchFolder directory("sheets-bench");
    const std::string base = directory.Path.string();
    const artwork::PieceSet pieces;
    double fastest = 1e9;
    std::printf("%d problems, %d diagrams a page, into PDF, PGN and EPD\n", Problems, PerPage);
    for (int run = 1; run <= runs; ++run) {
        const Clock::time_point start = Clock::now();
        auto series = std::make_unique<problems::ProblemSeries>(config, static_cast<std::uint64_t>(run));
        if (!series->Draw(Problems, nullptr)) {
            std::fprintf(stderr, "only %zu problems\n", series->Problems.size());
            return 1;
        }
        const double drawn = SecondsSince(start);
        const std::string pgn = sheets::WritePgn(series->Problems, sheets::DefaultTitle(1));
        const std::string epd = sheets::WriteEpd(series->Problems);
        const double texts = SecondsSince(start);
        std::string pdf;
        std::string error;
        sheets::PdfContent content;
        content.Title = sheets::DefaultTitle(1);
        content.PerPage = PerPage;
        content.Variant = sheets::VariantText(static_cast<std::uint64_t>(run));
        if (!sheets::WritePdf(series->Problems, content, pieces, pdf, error)) return 1;
        const double paged = SecondsSince(start);
        files::OutputGroup outputs;
        if (!outputs.Prepare({{"--pdf", base + "/s.pdf"}, {"--pgn", base + "/s.pgn"}, {"--epd", base + "/s.epd"}})
                 .empty()) {
            return 1;
        }
        const auto bytes = [](const std::string& text) {
            return [&text](std::FILE* file) { return std::fwrite(text.data(), 1, text.size(), file) == text.size(); };
        };
        if (!outputs.Write({bytes(pdf), bytes(pgn), bytes(epd)}).empty()) return 1;
        const double total = SecondsSince(start);
        fastest = std::min(fastest, total);
        std::printf(
            "seed %d: problems %.3f s (%lld positions, %d repeats skipped), PGN+EPD %.3f s, PDF %.3f s "
            "(%zu bytes), files %.3f s, total %.3f s\n",
            run, drawn, static_cast<long long>(series->AttemptsUsed), series->RepeatsSkipped, texts - drawn,
            paged - texts, pdf.size(), total - paged, total);
    }
    std::printf("fastest %.3f s (target: under 5 s)\n", fastest);

    std::vector<const char*> mateSettings(argv + std::min(argc, 3), argv + argc);
    if (mateSettings.empty()) mateSettings.push_back(argv[1]);
    for (const int moves : {2, 3}) {
        for (const char* path : mateSettings) {
            if (!MateFigures(path, moves)) return 2;
        }
    }
    return 0;
}
