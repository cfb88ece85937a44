#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/working_directory.h"
#include "tests/settings/scratch_directory.h"

namespace files {
namespace {

using settings::ScratchDirectory;

TEST(WorkingDirectory, NamesTheDirectoryAndGrowsForLongPaths) {
    ScratchDirectory directory;
    EXPECT_EQ(WorkingDirectory(), std::filesystem::current_path().string());

    // Far longer than the first buffer the function tries.
    const std::string level(100, 'd');
    for (int depth = 0; depth < 12; ++depth) {
        std::filesystem::create_directory(level);
        std::filesystem::current_path(level);
    }
    const std::string expected = std::filesystem::current_path().string();
    ASSERT_GT(expected.size(), 1200u);
    EXPECT_EQ(WorkingDirectory(), expected);
}

TEST(WorkingDirectory, NoneWhenTheDirectoryIsGone) {
    ScratchDirectory directory;
    std::filesystem::create_directory("gone");
    std::filesystem::current_path("gone");
    std::filesystem::remove(directory.Path / "gone");
    EXPECT_EQ(WorkingDirectory(), std::nullopt);
}

}  // namespace
}  // namespace files
