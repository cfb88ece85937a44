// A temporary working directory for the trainer benchmarks: the built square
// pictures and a settings file of the benchmark's choosing.
#pragma once

#include <string>

namespace trainer_bench {

// Creates the directory, makes it the working directory and returns its path.
std::string EnterBenchWorkDir(const std::string& settings);
// Leaves and removes it.
void RemoveBenchWorkDir(const std::string& path);

// Settings lines with the two kings only, and the example settings.
std::string KingsOnlySettings();
std::string ExampleSettings();

}  // namespace trainer_bench
