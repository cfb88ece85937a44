// Showing a run's progress on a terminal.
#include "sheets/progress_line.h"

namespace sheets {
namespace {

constexpr auto QuietStart = std::chrono::seconds(1);             // a quick run shows nothing
constexpr auto RedrawInterval = std::chrono::milliseconds(100);  // a terminal needs no more than this
constexpr const char* ClearToLineEnd = "\033[K";

}  // namespace

std::string ProgressText(int found, int asked) {
    return "найдено задач: " + std::to_string(found) + " из " + std::to_string(asked);
}

ProgressLine::ProgressLine(std::FILE* stream, bool onTerminal)
    : Stream(stream), OnTerminal(onTerminal), Start(Clock::now()) {}

void ProgressLine::ProblemsFound(int found, int asked, std::int64_t) {
    if (!OnTerminal) return;
    const Clock::time_point now = Clock::now();
    if (now - Start < QuietStart) return;
    // Redrawn at most every RedrawInterval, except that the last count always shows.
    const bool complete = found == asked && LastFound != asked;
    if (Shown && now - LastShown < RedrawInterval && !complete) return;
    std::fprintf(Stream, "\r%s%s", ProgressText(found, asked).c_str(), ClearToLineEnd);
    std::fflush(Stream);
    Shown = true;
    LastShown = now;
    LastFound = found;
}

void ProgressLine::Finish() {
    if (!Shown) return;
    std::fputc('\n', Stream);
    std::fflush(Stream);
    Shown = false;
}

}  // namespace sheets
