// Arguments shared by the subcommands of problem-tool. Each check prints
// one line on stderr when the argument is bad.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "rules/position.h"
#include "settings/settings.h"

namespace problem_tool {

// True when the subcommand got `lowest` to `highest` arguments; otherwise
// prints `complaint`.
bool ArgumentCountFits(int argc, int lowest, int highest, const char* complaint);

// Sets up `position` from a FEN; otherwise prints "WHO: why" and returns false.
bool ReadFenArgument(const char* who, const char* fen, rules::Position& position);

// Reads a settings file with the trainer's own reader. False (and a line on
// stderr) when the file does not exist: the reader would create it.
bool ReadSettingsArgument(const char* command, const std::string& path, settings::TrainerSettings& config);

// A whole decimal number from `lowest` up; false (and a line on stderr) otherwise.
bool ParseNumberArgument(const char* command, const char* what, const char* text, std::uint64_t lowest,
                         std::uint64_t& value);

// N of "problem-tool COMMAND N < FEN_LINES": the only argument, a number of
// moves from `lowest` to the solver's longest mates. False (and a line on
// stderr) otherwise.
bool ParseMateMovesArgument(const char* command, int argc, char** argv, std::uint64_t lowest, int& moves);

// Reads FEN lines from standard input, blank ones skipped, and prints one
// line for each: `answer`'s for a position that reads, `unreadable` (and the
// reason on stderr) for one that does not. Returns 0, or 2 when a line did
// not read.
int AnswerFenLines(const char* command, const std::function<std::string(const rules::Position&)>& answer,
                   const char* unreadable = "illegal");

}  // namespace problem_tool
