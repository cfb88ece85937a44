// Replacing a user's file as a whole: the new contents go to a temporary
// file beside it, which takes the file's place only once it is complete and
// on disk. A failure at any step leaves the old file byte for byte as it was.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace settings {

// Writes what `writeContents` puts into the stream it is given (false: the
// contents are not complete) to a temporary file in the directory of the
// file `path` names, flushes and syncs it, and renames it over that file.
//
// - A symbolic link is followed: the link stays and the file it points to
//   (existing or not) gets the new contents.
// - An existing file keeps its permission bits (and, where allowed, its
//   owner); a new one gets 0666 less the umask.
// - Only a regular file is replaced: anything else of that name (a
//   directory, a named pipe, a device) is not touched, and nothing waits on it.
// - A file the user may not write is not written, as if it had been opened
//   for writing.
//
// False on any failure; no temporary file is left behind then.
bool ReplaceFileContents(const std::string& path, const std::function<bool(std::FILE*)>& writeContents);

// The file that replacing `path` writes: `path` itself, or with symbolic
// links followed, the file they end at. Empty when the links go round in a
// circle or too deep.
std::string ReplacedFilePath(const std::string& path);

}  // namespace settings
