// The fixture of the tests that run the built vindolar-sheets: a scratch
// working directory holding the example settings as "set_figure.txt".
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/settings/scratch_directory.h"
#include "tests/sheets/sheets_run.h"

namespace sheets {

class SheetsProgramTest : public settings::ScratchDirectoryTest {
  protected:
    SheetsProgramTest() { WriteExampleSettings("set_figure.txt"); }
    RunResult Run(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {}) {
        return RunSheets(arguments, Directory.Path.string(), environment);
    }
    // The names of everything in the scratch directory.
    std::set<std::string> Names() {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Directory.Path)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
};

}  // namespace sheets
