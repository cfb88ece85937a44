// A scratch working directory for the trainer benchmarks: the built square
// pictures and a settings file of the benchmark's choosing.
#pragma once

#include <string>

#include "tests/support/scratch_folder.h"

namespace bench::trainer_window {

// The working directory while the object lives, removed at the end: "JPG/"
// with the built square pictures, an empty "Image/" and "set_figure.txt"
// holding `settings`.
class BenchWorkDir : public support::ScratchWorkingDirectory {
  public:
    explicit BenchWorkDir(const std::string& settings);
};

// Settings lines with the two kings only, and the example settings.
std::string KingsOnlySettings();
std::string ExampleSettings();

}  // namespace bench::trainer_window
