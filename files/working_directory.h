// The process's current working directory, which every path of both programs
// is relative to.
#pragma once

#include <optional>
#include <string>

namespace files {

// The absolute path of the working directory, however long; none when it
// cannot be read (for instance when it has been removed).
std::optional<std::string> WorkingDirectory();

}  // namespace files
