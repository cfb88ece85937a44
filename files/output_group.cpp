// All-or-nothing writing of a run's outputs.
#include "files/output_group.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "text/utf8_text.h"

namespace files {
namespace {

// The signals that end a program from outside, held back while temporary
// files exist.
constexpr int HeldSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// A name as a message shows it: quoted, its control characters escaped so
// that the message stays one line.
std::string Quoted(const std::string& text) { return "«" + text::ShownInLine(text) + "»"; }

std::string Named(const std::string& label, const std::string& path) {
    return (label.empty() ? "" : label + ": ") + Quoted(path);
}

// Holds HeldSignals back for its lifetime and puts the old mask back after.
class HeldBackSignals {
  public:
    HeldBackSignals() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : HeldSignals) sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &Previous);
    }
    ~HeldBackSignals() { ::pthread_sigmask(SIG_SETMASK, &Previous, nullptr); }
    HeldBackSignals(const HeldBackSignals&) = delete;
    HeldBackSignals& operator=(const HeldBackSignals&) = delete;

    // A held signal has arrived that will act once it is let through: one
    // that was not held back before and that the program does not ignore
    // (the kernel keeps even an ignored signal pending while it is held,
    // and drops it when it is let through).
    [[nodiscard]] bool Arrived() const {
        sigset_t pending;
        sigpending(&pending);
        for (const int signal : HeldSignals) {
            if (sigismember(&pending, signal) != 1 || sigismember(&Previous, signal) == 1) continue;
            struct sigaction action {};
            if (::sigaction(signal, nullptr, &action) == 0 && (action.sa_flags & SA_SIGINFO) == 0 &&
                action.sa_handler == SIG_IGN) {
                continue;
            }
            return true;
        }
        return false;
    }

  private:
    sigset_t Previous;
};

// While the files are written, a file-size limit makes a write fail instead
// of ending the program, so that the temporary files are still removed.
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

// How often a wait for standard output looks for a held signal.
constexpr auto SignalLook = std::chrono::milliseconds(50);

// Whether `path` leads to the very file, pipe or terminal that standard
// output is (/dev/stdout, /proc/self/fd/1, the file it was sent to).
bool IsStandardOutput(const std::string& path) {
    struct stat named {};
    struct stat output {};
    return ::stat(path.c_str(), &named) == 0 && ::fstat(STDOUT_FILENO, &output) == 0 && named.st_dev == output.st_dev &&
           named.st_ino == output.st_ino;
}

// What a writer puts out, in memory; false when it is not complete.
bool Rendered(const ContentsWriter& contents, std::string& bytes) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* stream = ::open_memstream(&buffer, &size);
    if (stream == nullptr) return false;
    bool complete = contents(stream);
    complete = std::fclose(stream) == 0 && complete;
    if (buffer != nullptr) bytes.assign(buffer, size);
    std::free(buffer);
    return complete;
}

// Bytes on their way to standard output, shared between the thread that
// writes them and the one that waits.
struct StandardOutputWrite {
    std::string Bytes;
    std::mutex Guard;
    std::condition_variable Ended;
    bool Finished = false;
    int Error = 0;  // 0 when every byte is written

    void Run() {
        int error = 0;
        for (std::size_t at = 0; at < Bytes.size();) {
            const ssize_t written = ::write(STDOUT_FILENO, Bytes.data() + at, Bytes.size() - at);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) {
                error = written < 0 ? errno : EIO;
                break;
            }
            at += static_cast<std::size_t>(written);
        }
        const std::lock_guard<std::mutex> lock(Guard);
        Finished = true;
        Error = error;
        Ended.notify_all();
    }
};

// Writes the bytes to standard output, which may be a pipe nobody reads or
// a stopped terminal: a thread of its own writes them, while this one looks
// for held signals. True when one arrived first: the writing thread is then
// left to the end of the program. Otherwise `error` is 0 when all went out.
// Where no thread can be started, the bytes are written here.
template <typename SignalArrived>
bool WrittenToStandardOutput(std::string bytes, const SignalArrived& arrived, int& error) {
    const auto write = std::make_shared<StandardOutputWrite>();
    write->Bytes = std::move(bytes);
    std::thread writer;
    try {
        // Started with the signals held, as this thread holds them, so that
        // they come only here.
        writer = std::thread([write] { write->Run(); });
    } catch (const std::system_error&) {
        write->Run();
    }
    std::unique_lock<std::mutex> lock(write->Guard);
    while (!write->Finished) {
        if (write->Ended.wait_for(lock, SignalLook, [&] { return write->Finished; })) break;
        if (arrived()) {
            writer.detach();
            return true;
        }
    }
    error = write->Error;
    lock.unlock();
    if (writer.joinable()) writer.join();
    return false;
}

}  // namespace

std::string ProblemText(const std::string& label, const std::string& path, WriteProblem problem, int error) {
    const std::string who = Named(label, path) + " ";
    const std::string reason = error != 0 ? std::string(": ") + std::strerror(error) : std::string();
    switch (problem) {
        case WriteProblem::None: return "";
        case WriteProblem::LinkLoop: return who + "— ссылки, которые идут по кругу";
        case WriteProblem::ForeignLink:
            return who + "— ссылка другого пользователя в общей папке; по такой ссылке не пишется";
        case WriteProblem::NotRegular: return who + "— не обычный файл";
        case WriteProblem::NotWritable: return who + "защищён от записи";
        case WriteProblem::NoFolder: return who + "не создать: нет его папки";
        case WriteProblem::FolderNotWritable: return who + "не создать: в его папке нельзя создавать файлы";
        case WriteProblem::NotAName: return who + "— не имя файла";
        case WriteProblem::Unreachable: return who + "не открывается" + reason;
        case WriteProblem::TemporaryFailed: return who + "не записан: не создать временный файл" + reason;
        case WriteProblem::WriteFailed: return who + "не записан" + reason;
        case WriteProblem::Changed: return who + "не записан: за время работы имя стало вести к другому файлу";
        case WriteProblem::RenameFailed: return who + "не заменён" + reason;
        case WriteProblem::CannotReplace:
            return who +
                   "не заменён: файловая система не умеет ставить новый файл на место старого; старый файл оставлен";
    }
    return who + "не записан";
}

OutputGroup::OutputGroup() = default;
OutputGroup::~OutputGroup() = default;

std::string OutputGroup::Prepare(const std::vector<Output>& outputs, const std::vector<Output>& inputs) {
    Entries.clear();
    std::optional<std::string> standardOutputLabel;
    for (const Output& output : outputs) {
        Entry entry{output, nullptr};
        if (output.Path == StandardOutputName || IsStandardOutput(output.Path)) {
            // Written as it stands, as "-" is: no file of its own to
            // replace, and nothing to wait for until its turn.
            if (standardOutputLabel) {
                return *standardOutputLabel + " и " + output.Label + " оба ведут на стандартный вывод " +
                       Quoted(output.Path);
            }
            standardOutputLabel = output.Label;
        } else {
            entry.File = std::make_unique<FileReplacement>(output.Path);
            const WriteProblem problem = entry.File->Prepare();
            if (problem != WriteProblem::None) {
                return ProblemText(output.Label, output.Path, problem, entry.File->Error());
            }
            for (const Entry& other : Entries) {
                if (other.File && other.File->Identity().SameFileAs(entry.File->Identity())) {
                    return other.Named.Label + " и " + output.Label + " называют один файл " + Quoted(output.Path);
                }
            }
            for (const Output& input : inputs) {
                const std::optional<FileIdentity> read = IdentityOf(input.Path);
                if (read && read->SameFileAs(entry.File->Identity())) {
                    return output.Label + " и " + input.Label + " называют один файл " + Quoted(output.Path);
                }
            }
        }
        Entries.push_back(std::move(entry));
    }
    return "";
}

std::string OutputGroup::Write(const std::vector<ContentsWriter>& contents) {
    assert(contents.size() == Entries.size());
    // Declared before the guard below, so that the signals are held until
    // every temporary file is renamed or removed.
    const HeldBackSignals heldBack;
    const FileSizeSignalIgnored whileWriting;
    struct RemovedOnFailure {
        std::vector<Entry>& Entries;
        ~RemovedOnFailure() {
            for (Entry& entry : Entries) {
                if (entry.File) entry.File->Discard();
            }
        }
    } removed{Entries};

    const Entry* standardOutput = nullptr;
    const ContentsWriter* standardContents = nullptr;
    for (std::size_t index = 0; index < Entries.size(); ++index) {
        Entry& entry = Entries[index];
        if (!entry.File) {
            standardOutput = &entry;
            standardContents = &contents[index];
            continue;
        }
        const WriteProblem problem = entry.File->WriteTemporary(contents[index]);
        if (problem != WriteProblem::None) {
            return ProblemText(entry.Named.Label, entry.Named.Path, problem, entry.File->Error());
        }
        if (heldBack.Arrived()) return "прервано сигналом";
    }
    if (standardOutput != nullptr) {
        std::string bytes;
        errno = 0;
        int error = 0;
        bool failed = true;
        if (!Rendered(*standardContents, bytes)) {
            error = errno;
        } else if (std::fflush(stdout) != 0) {  // whatever the program put there before goes first
            error = errno;
        } else if (WrittenToStandardOutput(
                       std::move(bytes), [&heldBack] { return heldBack.Arrived(); }, error)) {
            return "прервано сигналом";
        } else {
            failed = error != 0;
        }
        if (failed) {
            const std::string reason = error != 0 ? std::string(": ") + std::strerror(error) : std::string();
            return standardOutput->Named.Label + ": стандартный вывод не записан" + reason;
        }
    }
    if (heldBack.Arrived()) return "прервано сигналом";
    for (Entry& entry : Entries) {
        if (!entry.File) continue;
        const WriteProblem problem = entry.File->CheckUnchanged();
        if (problem != WriteProblem::None) return ProblemText(entry.Named.Label, entry.Named.Path, problem, 0);
    }
    for (Entry& entry : Entries) {
        if (!entry.File) continue;
        const WriteProblem problem = entry.File->TakePlace();
        if (problem != WriteProblem::None) {
            return ProblemText(entry.Named.Label, entry.Named.Path, problem, entry.File->Error());
        }
    }
    return "";
}

}  // namespace files
