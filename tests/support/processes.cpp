#include "tests/support/processes.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>

#include <cerrno>

namespace support {

int WaitForExit(pid_t pid, Milliseconds patience) {
    int status = 0;
    const bool ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, patience);
    if (!ended) return StillRunning;
    return WIFEXITED(status) ? WEXITSTATUS(status) : EndedBySignal;
}

void StopProcess(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {}
}

bool AdoptOrphanedDescendants() { return prctl(PR_SET_CHILD_SUBREAPER, 1) == 0; }

bool WaitForAllChildren(Milliseconds patience) {
    return WaitUntil(
        [] {
            for (;;) {
                const pid_t ended = waitpid(-1, nullptr, WNOHANG);
                if (ended > 0) continue;              // reaped one; look for more
                return ended < 0 && errno == ECHILD;  // 0: some still run
            }
        },
        patience);
}

}  // namespace support
