#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>

#include "sheets/safe_output.h"
#include "tests/settings/scratch_directory.h"

namespace sheets {
namespace {

namespace fs = std::filesystem;
using settings_test::ReadBytes;
using settings_test::WriteBytes;

// The names in the scratch directory, temporary files included.
std::set<std::string> Names() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(".")) names.insert(entry.path().filename().string());
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

// Runs `work` in a child process and returns its exit status.
int InChild(const std::function<int()>& work) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(work());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class SafeOutput : public settings_test::ScratchDirectoryTest {};

TEST_F(SafeOutput, WritesNewFilesAndReplacesOldOnesKeepingTheirPermissions) {
    const mode_t previousMask = ::umask(022);
    WriteBytes("old.epd", "old");
    ::chmod("old.epd", 0600);
    const std::string complaint = WriteOutputs({{"--pgn", "new.pgn", "fresh"}, {"--epd", "old.epd", "replaced"}});
    ::umask(previousMask);
    ASSERT_EQ(complaint, "");
    EXPECT_EQ(ReadBytes("new.pgn"), "fresh");
    EXPECT_EQ(ReadBytes("old.epd"), "replaced");
    EXPECT_EQ(ModeOf("new.pgn"), 0644u);
    EXPECT_EQ(ModeOf("old.epd"), 0600u);
    EXPECT_EQ(Names(), (std::set<std::string>{"new.pgn", "old.epd"}));  // no temporary file left
}

TEST_F(SafeOutput, ALinkIsWrittenThroughAndStaysALink) {
    fs::create_directory("real");
    WriteBytes("real/sheet.pgn", "old");
    fs::create_symlink("real/sheet.pgn", "sheet.pgn");
    ASSERT_EQ(WriteOutputs({{"--pgn", "sheet.pgn", "new"}}), "");
    EXPECT_TRUE(fs::is_symlink("sheet.pgn"));
    EXPECT_EQ(ReadBytes("real/sheet.pgn"), "new");
}

// Each of these is refused before anything is opened or created; the pipe
// must not hold the check up waiting for a writer.
TEST_F(SafeOutput, RefusesTargetsThatCannotTakeTheFile) {
    fs::create_directory("folder");
    ASSERT_EQ(::mkfifo("pipe", 0644), 0);
    fs::create_symlink("nowhere/at/all", "dangling");
    WriteBytes("one.pgn", "kept");
    fs::create_hard_link("one.pgn", "same.epd");
    const std::set<std::string> before = Names();
    const char* refused[] = {"folder", "pipe", "missing/out.pgn", "dangling", "folder/"};
    for (const char* path : refused) {
        EXPECT_NE(WriteOutputs({{"--pgn", path, "x"}}), "") << path;
        EXPECT_NE(CheckOutputs({{"--pgn", path, ""}}), "") << path;
    }
    EXPECT_NE(WriteOutputs({{"--pgn", "one.pgn", "x"}, {"--epd", "same.epd", "y"}}), "");
    EXPECT_NE(WriteOutputs({{"--pgn", "one.pgn", "x"}, {"--epd", "./one.pgn", "y"}}), "");
    EXPECT_EQ(Names(), before);
    EXPECT_TRUE(fs::is_empty("folder"));
    EXPECT_EQ(ReadBytes("one.pgn"), "kept");
}

TEST_F(SafeOutput, RefusesWhatTheUserMayNotWrite) {
    WriteBytes("locked.pgn", "kept");
    ::chmod("locked.pgn", 0444);
    fs::create_directory("closed");
    ::chmod("closed", 0555);
    const std::string complaints = settings_test::RunUnprivileged([] {
        return WriteOutputs({{"--pgn", "locked.pgn", "x"}}) + "|" + WriteOutputs({{"--pdf", "closed/a.pdf", "x"}});
    });
    EXPECT_NE(complaints.find("locked.pgn"), std::string::npos) << complaints;
    EXPECT_NE(complaints.find("closed"), std::string::npos) << complaints;
    EXPECT_EQ(ReadBytes("locked.pgn"), "kept");
    EXPECT_TRUE(fs::is_empty("closed"));
}

// A write that fails part way (here: a file size limit) leaves every target
// as it was, the one written before it included, and no temporary file.
TEST_F(SafeOutput, AFailedWriteChangesNoTarget) {
    WriteBytes("first.pgn", "old first");
    const std::set<std::string> before = Names();
    const int status = InChild([] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string complaint =
            WriteOutputs({{"--pgn", "first.pgn", "new first"}, {"--pdf", "second.pdf", std::string(5000, '%')}});
        return complaint.find("second.pdf") != std::string::npos ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes("first.pgn"), "old first");
    EXPECT_EQ(Names(), before);
}

// Standard output is written after the files are ready and before they are
// renamed: when it cannot be written, no file appears.
TEST_F(SafeOutput, StandardOutputGoesLastBeforeTheRenames) {
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const int written = InChild([&] {
        ::dup2(channel[1], STDOUT_FILENO);
        ::close(channel[0]);
        return WriteOutputs({{"--pgn", "-", "the games"}, {"--pdf", "a.pdf", "pages"}}).empty() ? 0 : 1;
    });
    ::close(channel[1]);
    char buffer[64] = {};
    const ssize_t got = ::read(channel[0], buffer, sizeof buffer - 1);
    ::close(channel[0]);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(std::string(buffer, got > 0 ? static_cast<size_t>(got) : 0), "the games");
    EXPECT_EQ(ReadBytes("a.pdf"), "pages");

    ASSERT_EQ(::pipe(channel), 0);
    ::close(channel[0]);  // nobody reads
    const int refused = InChild([&] {
        ::signal(SIGPIPE, SIG_IGN);
        ::dup2(channel[1], STDOUT_FILENO);
        return WriteOutputs({{"--pgn", "-", "the games"}, {"--pdf", "b.pdf", "pages"}}).empty() ? 1 : 0;
    });
    ::close(channel[1]);
    EXPECT_EQ(refused, 0);
    EXPECT_FALSE(fs::exists("b.pdf"));
    EXPECT_EQ(Names(), (std::set<std::string>{"a.pdf"}));
}

}  // namespace
}  // namespace sheets
