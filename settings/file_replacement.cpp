// Replacing a user's file through a temporary file beside it.
#include "settings/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <chrono>
#include <csignal>
#include <optional>
#include <vector>

namespace settings {
namespace {

// As many links as the system itself follows in one path.
constexpr int MostLinksFollowed = 40;
constexpr mode_t NewFileMode = 0666;      // narrowed by the umask, as for any new file
constexpr mode_t PrivateFileMode = 0600;  // until the contents are complete
constexpr mode_t PermissionBits = 07777;
constexpr int NameTries = 100;

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What stands at the file's place now: nothing, or the facts kept.
struct ExistingFile {
    mode_t Mode;
    uid_t Owner;
    gid_t Group;
};

// While the file is written, a file-size limit makes the write fail instead
// of ending the program, so that the temporary file is still removed.
class FileSizeSignalIgnored {
  public:
    FileSizeSignalIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        Saved = ::sigaction(SIGXFSZ, &ignore, &Previous) == 0;
    }
    ~FileSizeSignalIgnored() {
        if (Saved) ::sigaction(SIGXFSZ, &Previous, nullptr);
    }
    FileSizeSignalIgnored(const FileSizeSignalIgnored&) = delete;
    FileSizeSignalIgnored& operator=(const FileSizeSignalIgnored&) = delete;

  private:
    struct sigaction Previous {};
    bool Saved = false;
};

// Creates a new file of a name no other file has, beside `target`; its
// descriptor and name, or none.
std::optional<std::pair<int, std::string>> CreateTemporaryFile(const std::string& target, mode_t mode) {
    const std::string stem = DirectoryOf(target) + "/." + NameOf(target) + ".";
    const auto started = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < NameTries; ++attempt) {
        const std::string name = stem + std::to_string(::getpid()) + "-" + std::to_string(started + attempt);
        const int descriptor =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, mode);
        if (descriptor >= 0) return std::make_pair(descriptor, name);
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

// Makes the rename itself durable; a directory that cannot be synced still
// holds the new file.
void SyncDirectory(const std::string& directory) {
    const int descriptor = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace

std::string ReplacedFilePath(const std::string& path) {
    std::string current = path;
    for (int followed = 0; followed <= MostLinksFollowed; ++followed) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::vector<char> target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX) + 1);
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size()) return {};
        const std::string pointsTo(target.data(), static_cast<std::size_t>(length));
        if (pointsTo.empty()) return {};
        const bool relativeToLink = pointsTo.front() != '/' && current.find('/') != std::string::npos;
        current = relativeToLink ? DirectoryOf(current) + "/" + pointsTo : pointsTo;
    }
    return {};
}

bool ReplaceFileContents(const std::string& path, const std::function<bool(std::FILE*)>& writeContents) {
    const std::string target = ReplacedFilePath(path);
    if (target.empty()) return false;

    std::optional<ExistingFile> existing;
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) return false;
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;
        existing = ExistingFile{info.st_mode & PermissionBits, info.st_uid, info.st_gid};
    } else if (errno != ENOENT) {
        return false;
    }

    const auto temporary = CreateTemporaryFile(target, existing ? PrivateFileMode : NewFileMode);
    if (!temporary) return false;
    const auto& [descriptor, temporaryName] = *temporary;
    std::FILE* stream = ::fdopen(descriptor, "wb");
    if (stream == nullptr) {
        ::close(descriptor);
        ::unlink(temporaryName.c_str());
        return false;
    }

    bool complete = false;
    {
        const FileSizeSignalIgnored whileWriting;
        complete = writeContents(stream);
        complete = std::fflush(stream) == 0 && complete;
        if (complete && existing) {
            // The owner first: a change of owner clears set-id bits, which
            // the mode then puts back. Only root may give a file away, so a
            // failure here is expected and harmless.
            if (::fchown(descriptor, existing->Owner, existing->Group) != 0) errno = 0;
            complete = ::fchmod(descriptor, existing->Mode) == 0;
        }
        complete = complete && ::fsync(descriptor) == 0;
        complete = std::fclose(stream) == 0 && complete;
    }
    if (!complete || ::rename(temporaryName.c_str(), target.c_str()) != 0) {
        ::unlink(temporaryName.c_str());
        return false;
    }
    SyncDirectory(DirectoryOf(target));
    return true;
}

}  // namespace settings
