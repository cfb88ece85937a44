// Writing a user's file so that it is never lost: the new contents go to a
// temporary file beside the file they replace, which takes the file's place
// only once it is complete and on disk. Every program writes its files this
// way: the settings, the board picture and the worksheets.
//
// The steps for each file:
// - the name is resolved: a symbolic link is followed and the file it leads
//   to (existing or not) is written, the link itself staying. A link found
//   in a folder that is sticky and writable by everyone (such as /tmp) is
//   followed only when it belongs to the user or to the folder's owner, as
//   the kernel itself rules for such folders; another user's link there is
//   refused, since following it would write wherever that user chose;
// - only a regular file is replaced, and only one the user may write, in a
//   folder the user may create files in; nothing waits on a pipe or device,
//   however the name leads there (/dev/stdout, /proc/self/fd/N);
// - a temporary file is made and removed at once, and where the file exists
//   one is renamed over another, so that a folder that cannot take one, or a
//   file system that cannot rename over a file, is found before the work;
// - the temporary file is created new (never an existing one) with the
//   permission bits 0600 and the name ".NAME.partial.PID.XXXXXX" (PID the
//   writer's process); such files of the same name left by a writer whose
//   process no longer exists (killed in the middle of a write) are removed
//   first;
// - it is written with SIGXFSZ ignored, so that a file-size limit makes the
//   write fail instead of ending the program; flushed, given the old file's
//   permission bits (07777), its access list (ACL) and other extended
//   attributes (not a program's capabilities) and, where the system allows,
//   its owner and group (a new file gets 0666 less the umask), and synced.
//   What the file system cannot do at all (owners, modes and attributes on
//   a FAT stick, a sync of the folder) is left out and the write goes on;
// - just before the rename the name is resolved once more under the same
//   rules: when it now leads to another file, or to another user's link, the
//   file is not written. Then the rename, and a sync of the folder.
// On any failure the old file stays byte for byte and no temporary file is
// left.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

namespace files {

// Why a file was not written.
enum class WriteProblem {
    None,
    LinkLoop,           // links in a circle or too deep to follow
    ForeignLink,        // another user's link in a folder open to everyone
    NotRegular,         // a folder, a pipe, a device or a socket of that name
    NotWritable,        // a file the user may not write
    NoFolder,           // the folder it would be in does not exist
    FolderNotWritable,  // no file may be created in that folder
    NotAName,           // the path ends in "/" and so names no file
    Unreachable,        // the system refused to look it up
    TemporaryFailed,    // the temporary file could not be created
    WriteFailed,        // writing or syncing the temporary file failed
    Changed,            // the name led elsewhere by the time of the rename
    RenameFailed,       // the rename itself failed
    CannotReplace,      // the file system cannot rename a file over an existing one
};

// Writes the contents into the stream given; false when they are not
// complete.
using ContentsWriter = std::function<bool(std::FILE*)>;

// The file a name leads to: the folder that holds it and its name there,
// and the file itself when it exists. Two names with the same identity are
// one file.
struct FileIdentity {
    dev_t FolderDevice = 0;
    ino_t FolderInode = 0;
    std::string Name;
    bool Exists = false;
    dev_t Device = 0;
    ino_t Inode = 0;

    [[nodiscard]] bool SameFileAs(const FileIdentity& other) const;
};

// The identity of the file `path` leads to, links followed; none when its
// folder cannot be found.
[[nodiscard]] std::optional<FileIdentity> IdentityOf(const std::string& path);

// One file being replaced, from the first check to the rename. A
// temporary file that has not taken the file's place is removed when the
// object goes.
class FileReplacement {
  public:
    explicit FileReplacement(std::string path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Resolves the name and checks that the file can be written: a
    // temporary file is made there and removed again at once (and renamed
    // over another where the file exists), so that a folder or a file
    // system that cannot take one is found now; nothing else is created or
    // changed.
    [[nodiscard]] WriteProblem Prepare();
    // After Prepare: the file written.
    [[nodiscard]] const FileIdentity& Identity() const { return Target; }
    // Writes the temporary file in full and syncs it. Needs Prepare first.
    [[nodiscard]] WriteProblem WriteTemporary(const ContentsWriter& contents);
    // Whether the name still leads to the file that Prepare found, under the
    // same rules.
    [[nodiscard]] WriteProblem CheckUnchanged() const;
    // Renames the temporary file over the file and syncs the folder.
    [[nodiscard]] WriteProblem TakePlace();
    // Removes the temporary file, if there is one, at once.
    void Discard();

    // The system's error number of the last failure, 0 when it has none.
    [[nodiscard]] int Error() const { return LastError; }

  private:
    void RemoveTemporary();
    void RemoveAbandonedTemporaries() const;
    // A new temporary file in Folder: its descriptor and name, or -1 with
    // errno set.
    int CreateTemporary(std::string& name) const;
    // Makes a temporary file and removes it again, and where the file
    // exists, renames one temporary file over another: what the write needs
    // of the folder and its file system, tried before the work.
    [[nodiscard]] WriteProblem TryTemporaries();

    std::string Path;
    int Folder = -1;  // the folder of the file written, held open from Prepare on
    FileIdentity Target;
    std::string Temporary;  // its name in Folder; empty when there is none
    int LastError = 0;
};

// Replaces the file `path` with what `contents` writes, by the steps above
// (and with the signals that end a program held back meanwhile, as for a
// group of outputs). False on any failure, the old file then left as it was.
bool ReplaceFileContents(const std::string& path, const ContentsWriter& contents);

// What a temporary file of a file named `name` is called up to its last
// part, which is random: ".NAME.partial.PID.".
[[nodiscard]] std::string TemporaryNameStem(const std::string& name, pid_t writer);

}  // namespace files
