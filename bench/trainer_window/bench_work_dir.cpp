#include "bench/trainer_window/bench_work_dir.h"

#include <filesystem>
#include <fstream>

namespace bench::trainer_window {

BenchWorkDir::BenchWorkDir(const std::string& settings) : ScratchWorkingDirectory("trainer-bench") {
    namespace fs = std::filesystem;
    fs::create_directory(Path / "JPG");
    fs::create_directory(Path / "Image");
    for (const fs::directory_entry& tile : fs::directory_iterator(TILE_SOURCE_DIR)) {
        fs::copy_file(tile.path(), Path / "JPG" / tile.path().filename());
    }
    std::ofstream(Path / "set_figure.txt", std::ios::binary) << settings;
}

std::string KingsOnlySettings() { return "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n50\n0\n2\nлюбая\n"; }

std::string ExampleSettings() { return "2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n"; }

}  // namespace bench::trainer_window
