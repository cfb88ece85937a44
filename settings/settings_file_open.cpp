// Opening the settings file for reading, creating it when it is missing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "settings/settings_streams.h"

namespace settings {
namespace {

constexpr mode_t NewFileMode = 0666;  // narrowed by the process's umask, as for any new text file

// Creates the file empty unless something of that name appeared meanwhile;
// a directory without write permission leaves it missing, unreported.
void CreateEmptyFile(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, NewFileMode);
    if (descriptor >= 0) ::close(descriptor);
}

}  // namespace

std::FILE* OpenSettingsForReading(const std::string& path) {
    // Opened read-only: a file the user may read but not write is still read.
    // O_NONBLOCK keeps a pipe of that name from blocking the open; it has no
    // effect on a regular file, the only kind that is read.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        if (errno == ENOENT) CreateEmptyFile(path);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return nullptr;
    }
    std::FILE* stream = ::fdopen(descriptor, "rb");
    if (stream == nullptr) ::close(descriptor);
    return stream;
}

}  // namespace settings
