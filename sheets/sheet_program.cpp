// The run of vindolar-sheets: options, settings, problems, outputs.
#include "sheets/sheet_program.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "files/output_group.h"
#include "problems/problem_series.h"
#include "problems/mate_series.h"
#include "sheets/document_date.h"
#include "sheets/epd_writer.h"
#include "sheets/pdf_sheet.h"
#include "sheets/pgn_writer.h"
#include "sheets/problem_order.h"
#include "sheets/progress_line.h"
#include "sheets/sheet_options.h"
#include "sheets/sheet_settings.h"
#include "text/utf8_text.h"

namespace sheets {
namespace {

int Fail(int status, const std::string& complaint) {
    std::fprintf(stderr, "%s: %s\n", ProgramName, complaint.c_str());
    return status;
}

// A seed from the clock, 1 to MostPickedSeed, so that "Вариант 4821" can be read out.
std::uint64_t ClockSeed() {
    const auto ticks = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    return 1 + ticks % MostPickedSeed;
}

// The outputs asked for, in the order PDF, key, PGN, EPD; their bytes come later.
std::vector<files::Output> NamedOutputs(const SheetOptions& options) {
    std::vector<files::Output> outputs;
    if (!options.PdfPath.empty()) outputs.push_back({"--pdf", options.PdfPath});
    if (!options.KeyPath.empty()) outputs.push_back({"--key", options.KeyPath});
    if (!options.PgnPath.empty()) outputs.push_back({"--pgn", options.PgnPath});
    if (!options.EpdPath.empty()) outputs.push_back({"--epd", options.EpdPath});
    return outputs;
}

// Writes the whole of `bytes` to the stream.
files::ContentsWriter BytesWriter(const std::string& bytes) {
    return [&bytes](std::FILE* stream) { return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size(); };
}

// Why a set came out short: the pieces could not stand on the board, or so
// many positions gave too few problems (`budgetNote` says what a set may
// try, or is empty).
std::string ShortSetComplaint(problems::DrawEnd end, std::int64_t attempts, const std::string& budgetNote, int found,
                              const SheetOptions& options) {
    std::string counted = ProgressText(found, options.Count);
    if (options.Difficulty) {
        counted += " с оценкой сложности от " + std::to_string(options.Difficulty->Lowest) + " до " +
                   std::to_string(options.Difficulty->Highest);
    }
    const std::string change = "; измените настройки в «" + text::ShownInLine(options.SettingsPath) + "»";
    if (end == problems::DrawEnd::PiecesDoNotFit)
        return "фигуры из настроек не помещаются на доску: " + counted + change;
    return "за " + std::to_string(attempts) + " позиций " + budgetNote + counted + change;
}

// "U+1F600": the code point of one character in valid UTF-8.
std::string CodePointName(const std::string& character) {
    const auto lead = static_cast<unsigned char>(character[0]);
    const int continuation = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    constexpr unsigned LeadBits[] = {0x7F, 0x1F, 0x0F, 0x07};
    unsigned point = lead & LeadBits[continuation];
    for (int index = 1; index <= continuation && index < static_cast<int>(character.size()); ++index) {
        point = (point << 6) | (static_cast<unsigned char>(character[static_cast<std::size_t>(index)]) & 0x3F);
    }
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", point);
    return name;
}

}  // namespace

int SheetProgram::Run(int argc, const char* const* argv) {
    // A reader that goes away must give a write error, not end the program
    // with temporary files left behind.
    ::signal(SIGPIPE, SIG_IGN);

    SheetOptions options;
    const std::string complaint = ParseSheetOptions(argc, argv, options);
    if (!complaint.empty()) return Fail(Failure, complaint);
    if (options.Help) {
        std::fputs(UsageText().c_str(), stdout);
        return std::fflush(stdout) == 0 ? Success : Failure;
    }

    // A title goes onto the pages only when their font can draw it whole.
    if (!options.PdfPath.empty() || !options.KeyPath.empty()) {
        const std::string missing = FirstUndrawableCharacter(options.Title);
        if (!missing.empty()) {
            return Fail(Failure, "--title: шрифт листа не рисует знак «" + missing + "» (" + CodePointName(missing) +
                                     "); уберите его из заголовка");
        }
    }

    DocumentDate date;
    const std::string badDate = ReadDocumentDate(std::getenv(SourceDateVariable), date);
    if (!badDate.empty()) return Fail(Failure, badDate);

    settings::TrainerSettings config;
    const std::string unreadable = ReadSheetSettings(options.SettingsPath, config);
    if (!unreadable.empty()) return Fail(Failure, unreadable);

    // The files are found now, before the long work: a name that leads to
    // another file by the time they are written is not written.
    const std::vector<files::Output> outputs = NamedOutputs(options);
    files::OutputGroup group;
    const std::string unwritable = group.Prepare(outputs, {{"--settings", options.SettingsPath}});
    if (!unwritable.empty()) return Fail(Failure, unwritable);

    std::uint64_t seed = 0;
    if (options.Seed) {
        seed = *options.Seed;
    } else {
        seed = ClockSeed();
        std::fprintf(stderr, "seed %" PRIu64 "\n", seed);
    }

    ProgressLine progress(stderr, ::isatty(STDERR_FILENO) == 1);
    std::vector<problems::SeriesProblem> found;
    std::string shortSet;  // why the set came out short, or empty
    // Mates in one come from the trainer's own generator; longer ones from the mate solver.
    if (options.Moves > 1) {
        problems::MateSeries series(config, seed, options.Moves, options.Style);
        if (options.Difficulty) series.Filter = DifficultyFilter(*options.Difficulty);
        const bool complete = series.Draw(options.Count, &progress);
        progress.Finish();
        if (!complete) {
            const std::string budget = "(не больше " +
                                       std::to_string(problems::AttemptsPerProblem(options.Moves, options.Style)) +
                                       " на задачу) ";
            shortSet = ShortSetComplaint(series.LastEnd, series.AttemptsUsed, budget,
                                         static_cast<int>(series.Problems.size()), options);
        }
        found = std::move(series.Problems);
    } else {
        auto series = std::make_unique<problems::ProblemSeries>(config, seed);
        if (options.Difficulty) series->Filter = DifficultyFilter(*options.Difficulty);
        const bool complete = series->Draw(options.Count, &progress);
        progress.Finish();
        if (!complete) {
            shortSet = ShortSetComplaint(series->LastEnd, series->AttemptsUsed, "",
                                         static_cast<int>(series->Problems.size()), options);
        }
        found = std::move(series->Problems);
    }
    // With --partial a short set is written as it is, when it holds a problem at all.
    if (!shortSet.empty()) {
        if (!options.Partial || found.empty()) return Fail(TooFewProblems, shortSet);
        std::fprintf(stderr, "%s: %s; записаны найденные (--partial)\n", ProgramName, shortSet.c_str());
    }

    EstimateDifficulties(found);
    if (options.EasyFirst) SortEasyFirst(found);

    PdfContent content;
    content.Title = options.Title;
    content.PerPage = options.PerPage;
    content.Variant = VariantText(seed);
    content.NameLine = options.NameLine;
    content.Date = date.Iso8601;
    std::vector<std::string> bytes(outputs.size());
    std::vector<files::ContentsWriter> contents;
    for (std::size_t index = 0; index < outputs.size(); ++index) {
        const std::string& option = outputs[index].Label;
        if (option == "--pgn") bytes[index] = WritePgn(found, options.Title, options.ShowsDifficulty());
        if (option == "--epd") bytes[index] = WriteEpd(found, options.ShowsDifficulty());
        if (option == "--pdf" || option == "--key") {
            // The worksheet holds the key unless the key has a file of its own.
            content.Worksheet = option == "--pdf";
            content.AnswerKey = option == "--key" || options.KeyPath.empty();
            std::string error;
            if (!WritePdf(found, content, Pieces, bytes[index], error)) return Fail(Failure, error);
        }
        contents.push_back(BytesWriter(bytes[index]));
    }
    const std::string failure = group.Write(contents);
    if (!failure.empty()) return Fail(Failure, failure);
    return Success;
}

}  // namespace sheets
