// Starting the other program of the pair.
#pragma once

#include <string>

namespace program_start {

inline constexpr const char* TrainerProgram = "vindolar";
inline constexpr const char* EditorProgram = "quessa";

// Starts the executable `name` in the working directory, detached, with an
// argument list holding only its path. False when it could not be started.
bool StartProgram(const std::string& name);

// The path StartProgram starts: the working directory, a "/" unless it
// already ends in one (the root), then the name.
std::string ProgramPath(const std::string& workingDirectory, const std::string& name);

}  // namespace program_start
