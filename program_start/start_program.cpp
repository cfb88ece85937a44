// Starting the other program of the pair, detached.
#include "program_start/start_program.h"

#include "files/working_directory.h"

#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <optional>

namespace program_start {
namespace {

// Exit statuses of the short-lived intermediate process, and of a started
// process that could not execute the program.
constexpr int ProgramForked = 0;
constexpr int ForkFailed = 1;
constexpr int ExecFailed = 1;

constexpr int FirstNonStandardDescriptor = 3;
// When the system does not tell how many descriptors a process may have.
constexpr long UsualDescriptorLimit = 1024;

// A regular file of at least one byte that the user may execute.
bool IsStartable(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    if (!S_ISREG(info.st_mode) || info.st_size < 1) return false;
    return ::access(path.c_str(), X_OK) == 0;
}

// Closes every descriptor from 3 up: the started program gets the standard
// input, output and error and nothing else, whatever the caller inherited
// without close-on-exec from whoever started it.
void CloseAllButStandardDescriptors(int highestDescriptor) {
#ifdef SYS_close_range
    if (::syscall(SYS_close_range, FirstNonStandardDescriptor, ~0U, 0) == 0) return;
#endif
    for (int descriptor = FirstNonStandardDescriptor; descriptor <= highestDescriptor; ++descriptor)
        ::close(descriptor);
}

// Runs in the intermediate process, a copy of the caller that may hold other
// threads' locks in an unknown state (a GTK program has several threads), so
// from here on only async-signal-safe calls are made: fork, sigprocmask,
// close, execv and _exit. Everything they need was prepared before the first
// fork; _exit skips the caller's exit handlers and stdio buffers.
[[noreturn]] void StartFromIntermediate(const char* path, char* const arguments[], const sigset_t& noSignals,
                                        int highestDescriptor) {
    const pid_t program = ::fork();
    if (program == 0) {
        // The started program begins with no signal blocked, whatever the
        // calling thread had blocked.
        ::sigprocmask(SIG_SETMASK, &noSignals, nullptr);
        CloseAllButStandardDescriptors(highestDescriptor);
        ::execv(path, arguments);  // the path is absolute: no search, the environment is inherited
        ::_exit(ExecFailed);
    }
    // Ending at once hands the program to the system's reaper: it is never
    // the caller's child and never the caller's zombie.
    ::_exit(program < 0 ? ForkFailed : ProgramForked);
}

// Reaps the intermediate process; true when it forked the program.
bool IntermediateForkedProgram(pid_t intermediate) {
    int status = 0;
    for (;;) {
        if (::waitpid(intermediate, &status, 0) == intermediate) {
            return WIFEXITED(status) && WEXITSTATUS(status) == ProgramForked;
        }
        if (errno == EINTR) continue;
        // ECHILD: the caller ignores SIGCHLD, so the system reaped it and
        // its status is lost; it was created, so count the start as made.
        return errno == ECHILD;
    }
}

}  // namespace

std::string ProgramPath(const std::string& workingDirectory, const std::string& name) {
    const bool endsInSlash = !workingDirectory.empty() && workingDirectory.back() == '/';
    return workingDirectory + (endsInSlash ? "" : "/") + name;
}

bool StartProgram(const std::string& name) {
    const std::optional<std::string> directory = files::WorkingDirectory();
    if (!directory) return false;
    std::string path = ProgramPath(*directory, name);
    if (!IsStartable(path)) return false;

    char* const arguments[] = {path.data(), nullptr};
    sigset_t noSignals;
    sigemptyset(&noSignals);
    const long descriptorLimit = ::sysconf(_SC_OPEN_MAX);
    const int highestDescriptor =
        static_cast<int>(descriptorLimit > 0 ? descriptorLimit - 1 : UsualDescriptorLimit - 1);

    const pid_t intermediate = ::fork();
    if (intermediate < 0) return false;
    if (intermediate == 0) StartFromIntermediate(path.c_str(), arguments, noSignals, highestDescriptor);
    return IntermediateForkedProgram(intermediate);
}

}  // namespace program_start
