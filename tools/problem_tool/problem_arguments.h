// Arguments shared by the subcommands of problem-tool. Each check prints
// one line on stderr when the argument is bad.
#pragma once

#include <cstdint>
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

}  // namespace problem_tool
