#include "bench/trainer_window/bench_work_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace trainer_bench {

std::string EnterBenchWorkDir(const std::string& settings) {
    namespace fs = std::filesystem;
    char name[] = "/tmp/trainer-bench-XXXXXX";
    const std::string path = mkdtemp(name);
    fs::create_directory(path + "/JPG");
    fs::create_directory(path + "/Image");
    for (const fs::directory_entry& tile : fs::directory_iterator(TILE_SOURCE_DIR)) {
        fs::copy_file(tile.path(), path + "/JPG/" + tile.path().filename().string());
    }
    std::ofstream(path + "/set_figure.txt", std::ios::binary) << settings;
    if (chdir(path.c_str()) != 0) std::abort();
    return path;
}

void RemoveBenchWorkDir(const std::string& path) {
    if (chdir("/") != 0) return;
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string KingsOnlySettings() { return "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n50\n0\n2\nлюбая\n"; }

std::string ExampleSettings() { return "2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n"; }

}  // namespace trainer_bench
