// All-or-nothing writing of a run's outputs.
#include "files/output_group.h"

#include <signal.h>

#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace files {
namespace {

// The signals that end a program from outside, held back while temporary
// files exist.
constexpr int HeldSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

std::string Quoted(const std::string& text) { return "«" + text + "»"; }

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
        ::sigprocmask(SIG_BLOCK, &held, &Previous);
    }
    ~HeldBackSignals() { ::sigprocmask(SIG_SETMASK, &Previous, nullptr); }
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
    }
    return who + "не записан";
}

OutputGroup::OutputGroup() = default;
OutputGroup::~OutputGroup() = default;

std::string OutputGroup::Prepare(const std::vector<Output>& outputs, const std::vector<Output>& inputs) {
    Entries.clear();
    for (const Output& output : outputs) {
        Entry entry{output, nullptr};
        if (output.Path != StandardOutputName) {
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
        errno = 0;
        const bool written = (*standardContents)(stdout) && std::fflush(stdout) == 0 && !std::ferror(stdout);
        if (!written) {
            const std::string reason = errno != 0 ? std::string(": ") + std::strerror(errno) : std::string();
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
