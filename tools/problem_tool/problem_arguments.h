// Arguments shared by the problem subcommands of problem-tool.
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings.h"

namespace problem_tool {

// Reads a settings file with the trainer's own reader. False (and a line on
// stderr) when the file does not exist: the reader would create it.
bool ReadSettingsArgument(const char* command, const std::string& path, settings::TrainerSettings& config);

// A whole decimal number from `lowest` up; false (and a line on stderr) otherwise.
bool ParseNumberArgument(const char* command, const char* what, const char* text, std::uint64_t lowest,
                         std::uint64_t& value);

}  // namespace problem_tool
