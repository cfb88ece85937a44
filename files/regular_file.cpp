// Opening a regular file without blocking on the name.
#include "files/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace files {

OpenedFile OpenRegularFile(const std::string& path) {
    OpenedFile opened;
    // O_NONBLOCK keeps a pipe of that name from holding the open up until a
    // writer comes; it is taken off again once the file is known to be a
    // regular one.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        opened.Error = errno;
        opened.Problem = opened.Error == ENOENT ? OpenProblem::Missing : OpenProblem::NotOpened;
        return opened;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0) {
        opened.Error = errno;
        opened.Problem = OpenProblem::NotOpened;
    } else if (!S_ISREG(info.st_mode)) {
        opened.Problem = OpenProblem::NotRegular;
    } else {
        const int flags = ::fcntl(descriptor, F_GETFL);
        if (flags >= 0) ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK);
        opened.Stream.reset(::fdopen(descriptor, "rb"));
        if (opened.Stream) {
            opened.Bytes = static_cast<std::uint64_t>(info.st_size);
            return opened;
        }
        opened.Error = errno;
        opened.Problem = OpenProblem::NotOpened;
    }
    ::close(descriptor);
    return opened;
}

}  // namespace files
