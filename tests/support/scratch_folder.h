// Scratch folders for the tests and the benchmarks: a new empty folder under
// the temporary folder ($TMPDIR, else /tmp), removed with all it holds when
// the object goes. Header only, so that a benchmark needs no test library.
#pragma once

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace support {

class ScratchFolder {
  public:
    // Makes "<temporary folder>/<prefix>-XXXXXX" with the X's chosen by
    // mkdtemp; throws std::system_error naming the folder when it cannot.
    explicit ScratchFolder(const std::string& prefix) : Path(Create(prefix)) {}
    ~ScratchFolder() {
        namespace fs = std::filesystem;
        std::error_code ignored;
        // A test may have taken the owner's rights away to see a write fail.
        fs::permissions(Path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(Path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path Path;

  private:
    static std::filesystem::path Create(const std::string& prefix) {
        const char* base = std::getenv("TMPDIR");
        const std::string pattern =
            std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" + prefix + "-XXXXXX";
        // mkdtemp fills in the X's even when it fails: the message names the pattern.
        std::string name = pattern;
        if (::mkdtemp(name.data()) == nullptr) {
            throw std::system_error(errno, std::generic_category(), "cannot make the scratch folder " + pattern);
        }
        return name;
    }
};

// A scratch folder that is the working directory while the object lives;
// the working directory before it comes back at the end.
class ScratchWorkingDirectory : public ScratchFolder {
  public:
    explicit ScratchWorkingDirectory(const std::string& prefix)
        : ScratchFolder(prefix), Previous(std::filesystem::current_path()) {
        std::filesystem::current_path(Path);
    }
    ~ScratchWorkingDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(Previous, ignored);
    }

  private:
    const std::filesystem::path Previous;
};

}  // namespace support
