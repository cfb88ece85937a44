// Test helpers: a temporary working directory, whole-file access and running
// a piece of a test without root's rights.
#pragma once

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

#include "tests/support/scratch_folder.h"

namespace settings {

// A scratch folder that is the working directory for the object's lifetime,
// open to other users so that a part of a test may run unprivileged.
class ScratchDirectory : public support::ScratchWorkingDirectory {
  public:
    ScratchDirectory() : ScratchWorkingDirectory("settings-test") {
        namespace fs = std::filesystem;
        fs::permissions(Path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    }
};

// A test that runs in a fresh scratch directory of its own.
class ScratchDirectoryTest : public ::testing::Test {
  protected:
    ScratchDirectory Directory;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

inline std::optional<std::string> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline bool RunningAsRoot() { return ::geteuid() == 0; }

// Runs `work` as an ordinary user and returns its text. As root (whom file
// permissions do not stop) it runs in a child process that first gives up
// root for the "nobody" user; otherwise it runs in this process.
inline std::string RunUnprivileged(const std::function<std::string()>& work) {
    if (!RunningAsRoot()) return work();
    constexpr uid_t Nobody = 65534;
    int channel[2];
    if (::pipe(channel) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        ::close(channel[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0) ::_exit(3);
        const std::string text = work();
        const bool sent = ::write(channel[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(sent ? 0 : 4);
    }
    ::close(channel[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("unprivileged part failed");
    return text;
}

}  // namespace settings

#include "settings/settings.h"

namespace settings {

// The fourteen values on one line: the thirteen numbers, then the name in
// brackets. Readable in a failure message and comparable as a whole.
inline std::string Describe(const Settings& values) {
    std::string text;
    for (int line = 1; line <= NumericLines; ++line) text += std::to_string(values.Number(line)) + " ";
    return text + "[" + values.FirstMovePieceName + "]";
}

}  // namespace settings
