// Reading the working directory, with a buffer that grows to fit.
#include "files/working_directory.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

namespace files {
namespace {

constexpr std::size_t FirstPathBuffer = 256;

}  // namespace

std::optional<std::string> WorkingDirectory() {
    std::vector<char> buffer(FirstPathBuffer);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return std::nullopt;
        buffer.resize(buffer.size() * 2);
    }
    return std::string(buffer.data());
}

}  // namespace files
