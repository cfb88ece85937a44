#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "program_start/start_program.h"
#include "tests/settings/scratch_directory.h"

namespace program_start {
namespace {

using settings::ReadBytes;
using settings::ScratchDirectory;
using settings::WriteBytes;

// Waits for the recording script; generous, as a slow machine only makes the
// test wait longer, never fail.
constexpr unsigned MostWaitSeconds = 60;
constexpr auto MostWait = std::chrono::seconds(MostWaitSeconds);
constexpr auto PollStep = std::chrono::milliseconds(10);

// Records its arguments, working directory, parent and an environment
// variable, once the test has created "go".
constexpr const char* RecorderScript = R"SH(#!/bin/sh
tries=0
while [ ! -e go ] && [ $tries -lt 6000 ]; do sleep 0.01; tries=$((tries + 1)); done
{
  printf 'path=%s\n' "$0"
  printf 'arguments=%s\n' "$#"
  printf 'cwd=%s\n' "$(pwd -P)"
  printf 'parent=%s\n' "$PPID"
  printf 'mark=%s\n' "$PROGRAM_START_TEST_MARK"
} > record.tmp
mv record.tmp record
)SH";

void MakeFile(const std::string& name, const std::string& bytes, mode_t mode) {
    WriteBytes(name, bytes);
    ASSERT_EQ(::chmod(name.c_str(), mode), 0);
}

std::optional<std::string> WaitForFile(const std::string& name) {
    const auto deadline = std::chrono::steady_clock::now() + MostWait;
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::filesystem::exists(name)) return ReadBytes(name);
        std::this_thread::sleep_for(PollStep);
    }
    return std::nullopt;
}

// True when this process has no child at all, neither running nor a zombie.
bool HasNoChild() {
    int status = 0;
    return ::waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

// Exit statuses of a reaper (below) whose own steps went wrong.
constexpr int NotAReaper = 10;
constexpr int NotExited = -1;

// Runs `steps` in a child process that adopts every orphan among its
// descendants: whatever a start there creates, detached from its caller or
// not, running or ended, becomes that child's to wait for. Returns the status
// `steps` gave, or NotExited when the child ended otherwise (a crash, or the
// alarm that keeps a program that never ends from hanging the test).
int ReaperStatus(const std::function<int()>& steps) {
    const pid_t reaper = ::fork();
    if (reaper < 0) return NotExited;
    if (reaper == 0) {
        if (::prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) ::_exit(NotAReaper);
        ::alarm(MostWaitSeconds);
        ::_exit(steps());
    }
    int status = 0;
    if (::waitpid(reaper, &status, 0) != reaper || !WIFEXITED(status)) return NotExited;
    return WEXITSTATUS(status);
}

TEST(ProgramPath, AddsASlashOnlyWhenNeeded) {
    EXPECT_EQ(ProgramPath("/", "vindolar"), "/vindolar");
    EXPECT_EQ(ProgramPath("/home/user/chess", "quessa"), "/home/user/chess/quessa");
}

TEST(StartProgram, StartsDetachedWithOnlyItsPathInTheWorkingDirectory) {
    ScratchDirectory directory;
    MakeFile("recorder", RecorderScript, 0755);
    ASSERT_EQ(::setenv("PROGRAM_START_TEST_MARK", "inherited", 1), 0);
    // The script waits for "go", so a caller that waited for the program
    // would never get past this call.
    const bool started = StartProgram("recorder");
    ::unsetenv("PROGRAM_START_TEST_MARK");
    ASSERT_TRUE(started);
    EXPECT_TRUE(HasNoChild()) << "the intermediate process is reaped and the program is not the caller's child";

    WriteBytes("go", "");
    const std::optional<std::string> record = WaitForFile("record");
    ASSERT_TRUE(record.has_value()) << "the script never ran";
    const std::string here = std::filesystem::canonical(directory.Path).string();
    EXPECT_NE(record->find("path=" + here + "/recorder\n"), std::string::npos) << *record;
    EXPECT_NE(record->find("arguments=0\n"), std::string::npos) << *record;
    EXPECT_NE(record->find("cwd=" + here + "\n"), std::string::npos) << *record;
    EXPECT_EQ(record->find("parent=" + std::to_string(::getpid()) + "\n"), std::string::npos) << *record;
    EXPECT_NE(record->find("mark=inherited\n"), std::string::npos) << *record;
}

TEST(StartProgram, StartedProgramBeginsWithNoSignalBlocked) {
    ScratchDirectory directory;
    // The interpreter line makes the started process copy its own status
    // over the script; a shell would not do, as it clears its mask itself.
    MakeFile("probe", "#!/bin/cp /proc/self/status\n", 0755);
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    ::sigprocmask(SIG_BLOCK, &blocked, &previous);
    const bool started = StartProgram("probe");
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    ASSERT_TRUE(started);

    const auto deadline = std::chrono::steady_clock::now() + MostWait;
    std::optional<std::string> status = ReadBytes("probe");
    while (status && status->find("\nSigBlk:") == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(PollStep);
        status = ReadBytes("probe");
    }
    ASSERT_TRUE(status && status->find("\nSigBlk:") != std::string::npos) << "the probe never ran";
    EXPECT_NE(status->find("\nSigBlk:\t0000000000000000\n"), std::string::npos) << *status;
}

TEST(StartProgram, StartedProgramGetsOnlyTheStandardDescriptors) {
    ScratchDirectory directory;
    // Records which of the stray descriptors reached it, then waits for "go".
    MakeFile("recorder",
             "#!/bin/sh\n"
             "for fd in 0 1 2 $STRAY; do [ -e /proc/$$/fd/$fd ] && printf '%s ' $fd; done > record.tmp\n"
             "mv record.tmp record\n"
             "tries=0\n"
             "while [ ! -e go ] && [ $tries -lt 6000 ]; do sleep 0.01; tries=$((tries + 1)); done\n"
             "rm -f go\n",
             0755);
    // Descriptors this process inherited without close-on-exec: a pipe's
    // write end, and a file opened high up.
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    WriteBytes("a-file", "x");
    const int file = ::open("a-file", O_RDONLY);
    ASSERT_GE(file, 0);
    constexpr int HighDescriptor = 200;
    ASSERT_EQ(::dup2(file, HighDescriptor), HighDescriptor);
    ::close(file);
    const std::string stray =
        std::to_string(channel[0]) + " " + std::to_string(channel[1]) + " " + std::to_string(HighDescriptor);
    ASSERT_EQ(::setenv("STRAY", stray.c_str(), 1), 0);
    const bool started = StartProgram("recorder");
    ::unsetenv("STRAY");
    ::close(HighDescriptor);
    ASSERT_TRUE(started);

    const std::optional<std::string> record = WaitForFile("record");
    ASSERT_TRUE(record.has_value()) << "the script never ran";
    EXPECT_EQ(*record, "0 1 2 ") << "stray descriptors: " << stray;
    // With this process's write end closed, the pipe ends at once: the
    // running program holds no copy of it.
    ::close(channel[1]);
    char byte = 0;
    EXPECT_EQ(::read(channel[0], &byte, 1), 0);
    ::close(channel[0]);
    // The script ends before its directory goes.
    WriteBytes("go", "");
    const auto deadline = std::chrono::steady_clock::now() + MostWait;
    while (std::filesystem::exists("go") && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(PollStep);
    }
}

TEST(StartProgram, WhatCannotBeStartedIsNotStarted) {
    ScratchDirectory directory;
    std::filesystem::create_directory("directory");
    ASSERT_EQ(::chmod("directory", 0755), 0);
    MakeFile("empty", "", 0755);
    MakeFile("not-executable", RecorderScript, 0644);
    WriteBytes("go", "");
    constexpr int NothingStarted = 0;
    constexpr int SaidStarted = 1;
    constexpr int StartedAllTheSame = 2;
    for (const char* name : {"missing", "directory", "empty", "not-executable"}) {
        // The wait for the end of every process the start created answers at
        // once when there is none; a program started all the same is seen
        // for certain, however late it would have come to run.
        const int outcome = ReaperStatus([name] {
            if (StartProgram(name)) return SaidStarted;
            int status = 0;
            const bool noneCreated = ::waitpid(-1, &status, 0) == -1 && errno == ECHILD;
            return noneCreated ? NothingStarted : StartedAllTheSame;
        });
        EXPECT_EQ(outcome, NothingStarted) << name << ": " << SaidStarted << " means StartProgram said it started it, "
                                           << StartedAllTheSame << " that a process was created all the same";
        EXPECT_TRUE(HasNoChild()) << name;
    }
    // Nothing ran that could have recorded (the script would have at once, as
    // "go" exists).
    EXPECT_FALSE(std::filesystem::exists("record"));
}

TEST(StartProgram, ProgramThatCannotExecuteEndsWithStatusOne) {
    ScratchDirectory directory;
    MakeFile("garbage", std::string("\x7f\x01\x02 not a program\n", 19), 0755);
    // The started process, detached from its caller, lands in the reaper,
    // where its exit status can be seen.
    const int outcome = ReaperStatus([] {
        if (!StartProgram("garbage")) return 11;  // the checks pass, so it counts as started
        int status = 0;
        if (::waitpid(-1, &status, 0) < 0) return 12;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 13;
    });
    EXPECT_EQ(outcome, 1) << "-1 and 10..13 mean the test's own steps failed";
}

TEST(StartProgram, WorkingDirectoryThatNoLongerExists) {
    ScratchDirectory directory;
    std::filesystem::create_directory("gone");
    std::filesystem::current_path("gone");
    std::filesystem::remove(directory.Path / "gone");
    EXPECT_FALSE(StartProgram("recorder"));
    EXPECT_TRUE(HasNoChild());
}

}  // namespace
}  // namespace program_start
