// Opening the settings file for reading, creating it when it is missing.
#include <fcntl.h>
#include <unistd.h>

#include "files/regular_file.h"
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
    files::OpenedFile opened = files::OpenRegularFile(path);
    if (opened.Problem == files::OpenProblem::Missing) CreateEmptyFile(path);
    return opened.Stream.release();
}

}  // namespace settings
