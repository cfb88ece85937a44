// All-or-nothing writing of a sheet's outputs.
#include "sheets/safe_output.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "sheets/sheet_options.h"

namespace sheets {
namespace {

constexpr mode_t NewFileMode = 0666;               // narrowed by the umask, as for any new file
constexpr mode_t PermissionBits = 0777;            // what an existing target passes on; never set-id bits
constexpr std::size_t LongestTemporaryStem = 200;  // keeps ".stem.XXXXXX" within a file name's limit

// The signals that end a program from outside, held back while temporary
// files exist.
constexpr int HeldSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

std::string Quoted(const std::string& text) { return "«" + text + "»"; }

std::string ErrorText(int error) { return std::strerror(error); }

// Where an output's file really goes.
struct Target {
    std::string Path;       // the file itself (a link resolved)
    std::string Directory;  // the directory that holds it
    std::string Name;       // its name in that directory
    bool Exists = false;
    struct stat Info {};
    std::string Complaint;  // empty when the target can take the file
};

Target Resolve(const Output& output) {
    Target target;
    const std::string who = output.Option + ": " + Quoted(output.Path) + " ";
    target.Path = output.Path;
    struct stat link {};
    if (::lstat(output.Path.c_str(), &link) == 0) {
        if (S_ISLNK(link.st_mode)) {
            char* real = ::realpath(output.Path.c_str(), nullptr);
            if (real == nullptr) {
                target.Complaint = who + "— ссылка, которая никуда не ведёт";
                return target;
            }
            target.Path = real;
            std::free(real);
        }
        if (::stat(target.Path.c_str(), &target.Info) != 0) {
            target.Complaint = who + "не открывается: " + ErrorText(errno);
            return target;
        }
        target.Exists = true;
        if (!S_ISREG(target.Info.st_mode)) {
            target.Complaint = who + "— не обычный файл";
            return target;
        }
        if (::access(target.Path.c_str(), W_OK) != 0) {
            target.Complaint = who + "защищён от записи";
            return target;
        }
    } else if (errno != ENOENT) {
        target.Complaint = who + "не открывается: " + ErrorText(errno);
        return target;
    }
    const std::size_t slash = target.Path.rfind('/');
    target.Directory = slash == std::string::npos ? "." : slash == 0 ? "/" : target.Path.substr(0, slash);
    target.Name = slash == std::string::npos ? target.Path : target.Path.substr(slash + 1);
    if (target.Name.empty()) {
        target.Complaint = who + "— не имя файла";
        return target;
    }
    struct stat directory {};
    if (::stat(target.Directory.c_str(), &directory) != 0 || !S_ISDIR(directory.st_mode)) {
        target.Complaint = who + "не создать: нет папки " + Quoted(target.Directory);
    } else if (::access(target.Directory.c_str(), W_OK | X_OK) != 0) {
        target.Complaint = who + "не создать: в папке " + Quoted(target.Directory) + " нельзя создавать файлы";
    }
    return target;
}

bool SameFile(const Target& one, const Target& other) {
    if (one.Exists && other.Exists) return one.Info.st_dev == other.Info.st_dev && one.Info.st_ino == other.Info.st_ino;
    return one.Path == other.Path;
}

bool WriteAll(int descriptor, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t got = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<std::size_t>(got);
    }
    return true;
}

mode_t NewFilePermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return NewFileMode & ~mask;
}

// One temporary file beside its target, removed again unless it was renamed.
class TemporaryFile {
  public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!Path.empty()) ::unlink(Path.c_str());
    }

    // Creates the file, writes `bytes`, gives it the target's permissions and
    // syncs it. "" or the reason it failed.
    std::string Write(const Target& target, const std::string& bytes) {
        std::string pattern = target.Directory + "/." + target.Name.substr(0, LongestTemporaryStem) + ".XXXXXX";
        const int descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (descriptor < 0) return "не создать временный файл: " + ErrorText(errno);
        Path = pattern;
        bool good = WriteAll(descriptor, bytes);
        int error = errno;
        if (good) {
            if (target.Exists) {
                // Root may keep another user's file theirs; others cannot and need not.
                if (::fchown(descriptor, target.Info.st_uid, target.Info.st_gid) != 0) {}
                good = ::fchmod(descriptor, target.Info.st_mode & PermissionBits) == 0;
            } else {
                good = ::fchmod(descriptor, NewFilePermissions()) == 0;
            }
            error = errno;
        }
        if (good) {
            good = ::fsync(descriptor) == 0;
            error = errno;
        }
        if (::close(descriptor) != 0 && good) {
            good = false;
            error = errno;
        }
        return good ? "" : "не записан: " + ErrorText(error);
    }

    // Renames the file over the target; from then on it is no longer removed.
    bool RenameTo(const std::string& target) {
        if (::rename(Path.c_str(), target.c_str()) != 0) return false;
        Path.clear();
        return true;
    }

  private:
    std::string Path;
};

// Holds HeldSignals back for its lifetime and puts the old mask back after.
class HeldBackSignals {
  public:
    HeldBackSignals() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : HeldSignals) sigaddset(&held, signal);
        ::sigprocmask(SIG_BLOCK, &held, &Previous);
    }
    ~HeldBackSignals() { ::sigprocmask(SIG_SETMASK, &Previous, nullptr); }
    HeldBackSignals(const HeldBackSignals&) = delete;
    HeldBackSignals& operator=(const HeldBackSignals&) = delete;

    // A held signal that was not already held before has arrived.
    bool Arrived() const {
        sigset_t pending;
        sigpending(&pending);
        for (const int signal : HeldSignals) {
            if (sigismember(&pending, signal) == 1 && sigismember(&Previous, signal) != 1) return true;
        }
        return false;
    }

  private:
    sigset_t Previous;
};

void SyncDirectory(const std::string& directory) {
    const int descriptor = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace

std::string CheckOutputs(const std::vector<Output>& outputs) {
    std::vector<std::pair<const Output*, Target>> files;
    for (const Output& output : outputs) {
        if (output.Path == StandardStream) continue;
        Target target = Resolve(output);
        if (!target.Complaint.empty()) return target.Complaint;
        for (const auto& [other, otherTarget] : files) {
            if (SameFile(target, otherTarget)) {
                return other->Option + " и " + output.Option + " называют один файл " + Quoted(output.Path);
            }
        }
        files.emplace_back(&output, std::move(target));
    }
    return "";
}

std::string WriteOutputs(const std::vector<Output>& outputs) {
    const std::string complaint = CheckOutputs(outputs);
    if (!complaint.empty()) return complaint;

    // Declared before the temporary files, so that the signals are held until
    // every one of them is renamed or removed.
    HeldBackSignals heldBack;
    std::vector<Target> targets;
    std::vector<std::unique_ptr<TemporaryFile>> temporaries;
    const Output* standardOutput = nullptr;
    for (const Output& output : outputs) {
        if (output.Path == StandardStream) {
            standardOutput = &output;
            continue;
        }
        targets.push_back(Resolve(output));
        temporaries.push_back(std::make_unique<TemporaryFile>());
        const std::string failure = temporaries.back()->Write(targets.back(), output.Bytes);
        if (!failure.empty()) return output.Option + ": " + Quoted(output.Path) + " " + failure;
        if (heldBack.Arrived()) return "прервано сигналом";
    }
    if (standardOutput != nullptr && !WriteAll(STDOUT_FILENO, standardOutput->Bytes)) {
        return standardOutput->Option + ": стандартный вывод не записан: " + ErrorText(errno);
    }
    if (heldBack.Arrived()) return "прервано сигналом";
    for (std::size_t index = 0; index < temporaries.size(); ++index) {
        if (!temporaries[index]->RenameTo(targets[index].Path)) {
            return "«" + targets[index].Path + "» не заменён: " + ErrorText(errno);
        }
    }
    for (const Target& target : targets) SyncDirectory(target.Directory);
    return "";
}

}  // namespace sheets
