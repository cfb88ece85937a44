// Where the time of a 1000-problem worksheet goes: drawing the problems,
// then PGN, EPD and PDF, then writing the three files. Prints one line per
// seed and the fastest run.
//   sheets_bench SETTINGS_FILE [RUNS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "files/output_group.h"
#include "problems/problem_series.h"
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
        const std::string pgn = sheets::WritePgn(series->Problems, sheets::DefaultTitle);
        const std::string epd = sheets::WriteEpd(series->Problems);
        const double texts = SecondsSince(start);
        std::string pdf;
        std::string error;
        sheets::PdfContent content;
        content.Title = sheets::DefaultTitle;
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
    return 0;
}
