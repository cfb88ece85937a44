// The progress of a long run on a terminal: "найдено задач: 120 из 1000" on
// standard error, shown once the run has taken a second and then kept up to
// date in place. Nothing is shown when standard error is not a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "problems/problem_series.h"

namespace sheets {

std::string ProgressText(int found, int asked);

class ProgressLine : public problems::SeriesProgress {
  public:
    using Clock = std::chrono::steady_clock;

    // `stream` is shown to when `onTerminal` (normally: it is a terminal).
    ProgressLine(std::FILE* stream, bool onTerminal);

    void ProblemsFound(int found, int asked, std::int64_t attempts) override;
    // Ends the line when one was shown, so that what follows starts afresh.
    void Finish();

  private:
    std::FILE* Stream;
    bool OnTerminal;
    Clock::time_point Start;
    Clock::time_point LastShown{};
    int LastFound = -1;
    bool Shown = false;
};

}  // namespace sheets
