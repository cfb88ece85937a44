#include "tests/support/test_files.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

namespace support {

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void MakeReadableByAll(const std::filesystem::path& path) {
    using std::filesystem::perms;
    std::filesystem::permissions(
        path, perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec);
}

std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

int ChildResult(const std::function<int()>& work, rlim_t fileSizeLimit, unsigned patienceSeconds) {
    const pid_t child = fork();
    if (child < 0) return ChildKilled;
    if (child == 0) {
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(255);
        alarm(patienceSeconds);
        _exit(work());
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) ? WEXITSTATUS(status) : ChildKilled;
}

}  // namespace support
