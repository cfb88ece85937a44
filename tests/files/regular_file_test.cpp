// Opening a regular file for reading, and refusing everything else at once.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "files/regular_file.h"
#include "tests/settings/scratch_directory.h"

namespace files {
namespace {

namespace fs = std::filesystem;
using settings::WriteBytes;

class RegularFile : public settings::ScratchDirectoryTest {};

TEST_F(RegularFile, OpensARegularFileAndTellsItsSize) {
    WriteBytes("notes.txt", "fourteen lines");
    ::chmod("notes.txt", 0444);
    fs::create_symlink("notes.txt", "link.txt");
    for (const char* name : {"notes.txt", "link.txt"}) {
        const OpenedFile opened = OpenRegularFile(name);
        ASSERT_EQ(opened.Problem, OpenProblem::None) << name;
        ASSERT_TRUE(opened.Stream) << name;
        EXPECT_EQ(opened.Bytes, 14u);
        char text[32] = {};
        EXPECT_EQ(std::fread(text, 1, sizeof text, opened.Stream.get()), 14u);
        EXPECT_STREQ(text, "fourteen lines");
    }
}

// The pipe has no writer: an open that waited for one would never return,
// so it runs in a child that an alarm ends.
TEST_F(RegularFile, RefusesWhatIsNoRegularFileWithoutWaiting) {
    fs::create_directory("folder");
    ASSERT_EQ(::mkfifo("pipe", 0644), 0);
    fs::create_symlink("nowhere", "dangling");
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        const bool refused = OpenRegularFile("pipe").Problem == OpenProblem::NotRegular &&
                             OpenRegularFile("/dev/null").Problem == OpenProblem::NotRegular &&
                             OpenRegularFile("folder").Problem == OpenProblem::NotRegular;
        ::_exit(refused ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(OpenRegularFile("missing").Problem, OpenProblem::Missing);
    EXPECT_EQ(OpenRegularFile("dangling").Problem, OpenProblem::Missing);
    const OpenedFile notAFolder = OpenRegularFile("folder/../missing/x");
    EXPECT_FALSE(notAFolder.Stream);

    WriteBytes("secret.txt", "x");
    ::chmod("secret.txt", 0);
    const std::string problem = settings::RunUnprivileged([] {
        const OpenedFile opened = OpenRegularFile("secret.txt");
        return std::to_string(static_cast<int>(opened.Problem)) + " " + std::to_string(opened.Error);
    });
    EXPECT_EQ(problem, std::to_string(static_cast<int>(OpenProblem::NotOpened)) + " " + std::to_string(EACCES));
}

}  // namespace
}  // namespace files
