// Opening a regular file for reading without ever waiting on the name: a
// named pipe, a device or a socket of that name is refused at once instead.
#pragma once

#include <cstdint>
#include <string>

#include "files/open_stream.h"

namespace files {

enum class OpenProblem {
    None,        // opened
    Missing,     // no file of that name (a link that leads nowhere included)
    NotRegular,  // a folder, a pipe, a device or a socket
    NotOpened,   // the system refused it; the reason is in Error
};

struct OpenedFile {
    OpenStream Stream;  // null unless Problem is None
    OpenProblem Problem = OpenProblem::None;
    int Error = 0;            // errno of the refusal when Problem is NotOpened
    std::uint64_t Bytes = 0;  // the file's size when it was opened
};

// Opens `path` read-only (so that a file the user may read but not write is
// still read). The open itself never blocks, whatever the name stands for,
// and only a regular file is kept open; reads from the stream then block as
// for any regular file.
[[nodiscard]] OpenedFile OpenRegularFile(const std::string& path);

}  // namespace files
