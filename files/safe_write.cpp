// Replacing a user's file through a temporary file beside it.
#include "files/safe_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>
#include <vector>

#include "files/output_group.h"

namespace files {
namespace {

// As many links as the system itself follows in one path.
constexpr int MostLinksFollowed = 40;
constexpr mode_t NewFileMode = 0666;      // narrowed by the umask, as for any new file
constexpr mode_t PrivateFileMode = 0600;  // until the contents are complete
constexpr mode_t PermissionBits = 07777;
// Keeps a temporary file's name within the system's limit of 255 bytes.
constexpr std::size_t LongestNameInStem = 200;
constexpr std::string_view PartialMark = ".partial.";
constexpr std::size_t RandomPartLength = 6;
constexpr std::string_view RandomAlphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int NameTries = 100;

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where the links at the end of a path lead.
struct Followed {
    WriteProblem Problem = WriteProblem::None;
    int Error = 0;
    std::string Path;  // the path of the file itself
};

// The kernel's rule for folders that are sticky and writable by everyone: a
// link there is followed only when it belongs to the one who follows it or
// to the folder's owner.
bool MayFollow(const std::string& link, const struct stat& linkInfo) {
    struct stat folder {};
    if (::stat(DirectoryOf(link).c_str(), &folder) != 0) return false;
    const bool sharedFolder = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !sharedFolder || linkInfo.st_uid == ::geteuid() || linkInfo.st_uid == folder.st_uid;
}

// Follows the links at the end of `path` (the folders on the way are the
// kernel's to resolve, under its own rules), applying the rule above when
// `linkRule` is set.
Followed FollowLinks(const std::string& path, bool linkRule) {
    Followed result;
    result.Path = path;
    for (int followed = 0; followed <= MostLinksFollowed; ++followed) {
        struct stat info {};
        if (::lstat(result.Path.c_str(), &info) != 0) {
            // A missing file is a new one; a missing folder shows later.
            if (errno != ENOENT && errno != ENOTDIR) result = {WriteProblem::Unreachable, errno, result.Path};
            return result;
        }
        if (!S_ISLNK(info.st_mode)) return result;
        if (linkRule && !MayFollow(result.Path, info)) return {WriteProblem::ForeignLink, 0, result.Path};
        std::vector<char> target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX) + 1);
        const ssize_t length = ::readlink(result.Path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return {WriteProblem::Changed, 0, path};
        const std::string pointsTo(target.data(), static_cast<std::size_t>(length));
        const bool relativeToLink = pointsTo.front() != '/' && result.Path.find('/') != std::string::npos;
        result.Path = relativeToLink ? DirectoryOf(result.Path) + "/" + pointsTo : pointsTo;
    }
    return {WriteProblem::LinkLoop, 0, path};
}

// The folder of a followed path, opened; its descriptor or -1 with errno set.
int OpenFolder(const std::string& path) {
    return ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// Fills in the identity of `name` in the open folder; false (errno set) when
// it cannot be looked at.
bool Identify(int folder, const std::string& name, FileIdentity& identity, struct stat* fileInfo = nullptr) {
    struct stat info {};
    if (::fstat(folder, &info) != 0) return false;
    identity.FolderDevice = info.st_dev;
    identity.FolderInode = info.st_ino;
    identity.Name = name;
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        identity.Exists = true;
        identity.Device = info.st_dev;
        identity.Inode = info.st_ino;
        if (fileInfo != nullptr) *fileInfo = info;
        return true;
    }
    identity.Exists = false;
    return errno == ENOENT;
}

mode_t CurrentUmask() {
    // The process's mask as the kernel reports it, so that it is never
    // changed even for a moment (another thread may be creating files).
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "Umask:") {
            std::string octal;
            status >> octal;
            return static_cast<mode_t>(std::strtoul(octal.c_str(), nullptr, 8));
        }
        status.ignore(LINE_MAX, '\n');
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

std::string RandomPart() {
    std::array<unsigned char, RandomPartLength> bytes{};
    if (::getrandom(bytes.data(), bytes.size(), GRND_NONBLOCK) != static_cast<ssize_t>(bytes.size())) {
        auto seed = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(seed >>= 5);
    }
    std::string part;
    for (const unsigned char byte : bytes) part += RandomAlphabet[byte % RandomAlphabet.size()];
    return part;
}

// The process id in the name of a temporary file of the stem's file, or
// none when `entry` is not one.
std::optional<pid_t> WriterOf(const std::string& entry, const std::string& stemBeforePid) {
    if (entry.compare(0, stemBeforePid.size(), stemBeforePid) != 0) return std::nullopt;
    const std::string rest = entry.substr(stemBeforePid.size());
    const std::size_t dot = rest.find('.');
    if (dot == 0 || dot == std::string::npos || rest.size() - dot - 1 != RandomPartLength) return std::nullopt;
    if (rest.find_first_not_of("0123456789") != dot) return std::nullopt;
    const long long pid = std::strtoll(rest.substr(0, dot).c_str(), nullptr, 10);
    if (pid <= 0 || pid > INT_MAX) return std::nullopt;
    return static_cast<pid_t>(pid);
}

// Whether a failed call says only that the file system cannot do that at
// all (a FAT stick through FUSE has no owners, modes or attributes).
bool Unsupported(int error) { return error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP || error == EINVAL; }

// Whether a failed rename over an existing file says that the file system
// cannot put one file in another's place.
bool CannotRenameOver(int error) { return error == EEXIST || Unsupported(error); }

// The access list (ACL) is kept as this attribute; its mask stands in the
// group's permission bits.
constexpr const char* AccessListAttribute = "system.posix_acl_access";
// A capability belongs to the program it was given to, not to whatever
// contents replace it.
constexpr const char* CapabilityAttribute = "security.capability";

struct Attribute {
    std::string Name;
    std::string Value;
};

// The extended attributes of a file, read through `descriptor` when it is
// one and otherwise by `path` (the file itself, not a link); false with
// errno set when they cannot be read.
bool ReadAttributes(int descriptor, const std::string& path, std::vector<Attribute>& attributes) {
    const auto list = [&](char* names, std::size_t size) {
        return descriptor >= 0 ? ::flistxattr(descriptor, names, size) : ::llistxattr(path.c_str(), names, size);
    };
    const auto get = [&](const char* name, void* value, std::size_t size) {
        return descriptor >= 0 ? ::fgetxattr(descriptor, name, value, size)
                               : ::lgetxattr(path.c_str(), name, value, size);
    };
    std::vector<char> names;
    for (;;) {
        const ssize_t needed = list(nullptr, 0);
        if (needed < 0) return false;
        names.resize(static_cast<std::size_t>(needed));
        const ssize_t got = list(names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            break;
        }
        if (errno != ERANGE) return false;  // grown meanwhile: asked again
    }
    for (std::size_t at = 0; at < names.size();) {
        const std::string name(names.data() + at);
        at += name.size() + 1;
        std::string value;
        for (;;) {
            const ssize_t needed = get(name.c_str(), nullptr, 0);
            if (needed < 0) break;  // gone meanwhile
            value.resize(static_cast<std::size_t>(needed));
            const ssize_t got = get(name.c_str(), value.data(), value.size());
            if (got >= 0) {
                value.resize(static_cast<std::size_t>(got));
                attributes.push_back({name, value});
                break;
            }
            if (errno != ERANGE) break;
        }
    }
    return true;
}

// Gives the temporary file (`descriptor`) what the file it replaces has
// besides its contents: the owner and group where the system allows it (only
// root may give a file away, so a failure there is expected and harmless),
// the permission bits, and the access list and other extended attributes.
// A step the file system does not support is left out; false with errno set
// when one fails otherwise.
bool TakeOverFileProperties(int descriptor, int folder, const std::string& name, const struct stat& old) {
    // The owner first: a change of owner clears set-id bits, which the mode
    // then puts back.
    if (::fchown(descriptor, old.st_uid, old.st_gid) != 0) errno = 0;
    // Read through a descriptor of the old file, or by its name under /proc
    // when the user may write it but not read it.
    std::vector<Attribute> attributes;
    const int oldFile = ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    const std::string byName = "/proc/self/fd/" + std::to_string(folder) + "/" + name;
    bool read = false;
    if (oldFile >= 0) {
        struct stat opened {};
        // Only the file that was looked at, not one put in its place since.
        read = ::fstat(oldFile, &opened) == 0 && opened.st_dev == old.st_dev && opened.st_ino == old.st_ino &&
               ReadAttributes(oldFile, "", attributes);
        const int error = errno;
        ::close(oldFile);
        errno = error;
    } else {
        read = ReadAttributes(-1, byName, attributes);
    }
    if (!read && !Unsupported(errno)) return false;
    const auto has = [&](const char* wanted) {
        return std::any_of(attributes.begin(), attributes.end(),
                           [&](const Attribute& attribute) { return attribute.Name == wanted; });
    };
    // The temporary file may have taken an access list from its folder's
    // default list; the file it replaces had none.
    if (!has(AccessListAttribute)) ::fremovexattr(descriptor, AccessListAttribute);
    // With an access list the group's bits hold its mask; the list itself,
    // set after them, puts every entry back.
    if (::fchmod(descriptor, old.st_mode & PermissionBits) != 0 && !Unsupported(errno) && errno != EPERM) {
        return false;
    }
    for (const Attribute& attribute : attributes) {
        if (attribute.Name == CapabilityAttribute) continue;
        if (::fsetxattr(descriptor, attribute.Name.c_str(), attribute.Value.data(), attribute.Value.size(), 0) == 0) {
            continue;
        }
        // Another namespace's attributes (a security label, the trusted
        // ones) may be the system's alone to set; the access list may not
        // be dropped.
        const bool mayNotSet = (errno == EPERM || errno == EACCES) && attribute.Name != AccessListAttribute;
        if (!Unsupported(errno) && !mayNotSet) return false;
    }
    errno = 0;
    return true;
}

// A new file's permission bits, as for any file created there; a file
// system without them is left as it is.
bool SetNewFileMode(int descriptor) {
    if (::fchmod(descriptor, NewFileMode & ~CurrentUmask()) == 0) return true;
    const bool skipped = Unsupported(errno) || errno == EPERM;
    if (skipped) errno = 0;
    return skipped;
}

}  // namespace

bool FileIdentity::SameFileAs(const FileIdentity& other) const {
    if (Exists && other.Exists && Device == other.Device && Inode == other.Inode) return true;
    return FolderDevice == other.FolderDevice && FolderInode == other.FolderInode && Name == other.Name;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    const Followed followed = FollowLinks(path, false);
    if (followed.Problem != WriteProblem::None) return std::nullopt;
    const int folder = OpenFolder(followed.Path);
    if (folder < 0) return std::nullopt;
    FileIdentity identity;
    const bool known = Identify(folder, NameOf(followed.Path), identity);
    ::close(folder);
    if (!known) return std::nullopt;
    return identity;
}

std::string TemporaryNameStem(const std::string& name, pid_t writer) {
    return "." + name.substr(0, LongestNameInStem) + std::string(PartialMark) + std::to_string(writer) + ".";
}

FileReplacement::FileReplacement(std::string path) : Path(std::move(path)) {}

FileReplacement::~FileReplacement() {
    RemoveTemporary();
    if (Folder >= 0) ::close(Folder);
}

WriteProblem FileReplacement::Prepare() {
    assert(Folder < 0);
    // What the name leads to in the end, whatever the links: a pipe or a
    // device reached through /dev/stdout or /proc/self/fd (whose links do
    // not name a file) is found here.
    struct stat reached {};
    if (::stat(Path.c_str(), &reached) == 0 && !S_ISREG(reached.st_mode)) return WriteProblem::NotRegular;
    const Followed followed = FollowLinks(Path, true);
    LastError = followed.Error;
    if (followed.Problem != WriteProblem::None) return followed.Problem;
    const std::string name = NameOf(followed.Path);
    if (name.empty()) return WriteProblem::NotAName;
    Folder = OpenFolder(followed.Path);
    if (Folder < 0) {
        LastError = errno;
        return LastError == ENOENT || LastError == ENOTDIR ? WriteProblem::NoFolder : WriteProblem::Unreachable;
    }
    struct stat info {};
    if (!Identify(Folder, name, Target, &info)) {
        LastError = errno;
        return WriteProblem::Unreachable;
    }
    if (Target.Exists) {
        // A link here now was put there after it was followed.
        if (S_ISLNK(info.st_mode)) return WriteProblem::Changed;
        if (!S_ISREG(info.st_mode)) return WriteProblem::NotRegular;
        if (::faccessat(Folder, name.c_str(), W_OK, AT_EACCESS) != 0) return WriteProblem::NotWritable;
    }
    if (::faccessat(Folder, ".", W_OK | X_OK, AT_EACCESS) != 0) return WriteProblem::FolderNotWritable;
    return TryTemporaries();
}

int FileReplacement::CreateTemporary(std::string& name) const {
    const std::string stem = TemporaryNameStem(Target.Name, ::getpid());
    for (int attempt = 0; attempt < NameTries; ++attempt) {
        name = stem + RandomPart();
        const int descriptor = ::openat(
            Folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, PrivateFileMode);
        if (descriptor >= 0 || errno != EEXIST) return descriptor;
    }
    return -1;
}

WriteProblem FileReplacement::TryTemporaries() {
    std::string first;
    const int descriptor = CreateTemporary(first);
    if (descriptor < 0) {
        LastError = errno;
        return WriteProblem::TemporaryFailed;
    }
    ::close(descriptor);
    WriteProblem problem = WriteProblem::None;
    if (Target.Exists) {
        std::string second;
        const int other = CreateTemporary(second);
        if (other < 0) {
            LastError = errno;
            problem = WriteProblem::TemporaryFailed;
        } else {
            ::close(other);
            if (::renameat(Folder, first.c_str(), Folder, second.c_str()) == 0) {
                first = second;
            } else {
                LastError = errno;
                problem = CannotRenameOver(LastError) ? WriteProblem::CannotReplace : WriteProblem::RenameFailed;
                ::unlinkat(Folder, second.c_str(), 0);
            }
        }
    }
    ::unlinkat(Folder, first.c_str(), 0);
    return problem;
}

void FileReplacement::RemoveAbandonedTemporaries() const {
    const int copy = ::openat(Folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (copy < 0) return;
    DIR* entries = ::fdopendir(copy);
    if (entries == nullptr) {
        ::close(copy);
        return;
    }
    const std::string stem = "." + Target.Name.substr(0, LongestNameInStem) + std::string(PartialMark);
    const pid_t self = ::getpid();
    const uid_t user = ::geteuid();
    while (const dirent* entry = ::readdir(entries)) {
        const std::optional<pid_t> writer = WriterOf(entry->d_name, stem);
        if (!writer || *writer == self) continue;
        if (::kill(*writer, 0) == 0 || errno != ESRCH) continue;  // still at work, or another user's
        struct stat info {};
        if (::fstatat(Folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == user) {
            ::unlinkat(Folder, entry->d_name, 0);
        }
    }
    ::closedir(entries);
}

WriteProblem FileReplacement::WriteTemporary(const ContentsWriter& contents) {
    assert(Folder >= 0 && Temporary.empty());
    RemoveAbandonedTemporaries();
    std::string name;
    const int descriptor = CreateTemporary(name);
    if (descriptor < 0) {
        LastError = errno;
        return WriteProblem::TemporaryFailed;
    }
    Temporary = name;
    std::FILE* stream = ::fdopen(descriptor, "wb");
    if (stream == nullptr) {
        LastError = errno;
        ::close(descriptor);
        RemoveTemporary();
        return WriteProblem::TemporaryFailed;
    }

    errno = 0;
    bool complete = contents(stream);
    complete = std::fflush(stream) == 0 && !std::ferror(stream) && complete;
    int error = errno;
    if (complete) {
        // The old file's properties as they are now, not as they were when
        // the run began.
        struct stat old {};
        if (::fstatat(Folder, Target.Name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode)) {
            complete = TakeOverFileProperties(descriptor, Folder, Target.Name, old);
        } else {
            complete = SetNewFileMode(descriptor);
        }
        complete = complete && ::fsync(descriptor) == 0;
        error = errno;
    }
    if (std::fclose(stream) != 0 && complete) {
        complete = false;
        error = errno;
    }
    if (!complete) {
        LastError = error;
        RemoveTemporary();
        return WriteProblem::WriteFailed;
    }
    return WriteProblem::None;
}

WriteProblem FileReplacement::CheckUnchanged() const {
    const Followed followed = FollowLinks(Path, true);
    if (followed.Problem != WriteProblem::None) return followed.Problem;
    const int folder = OpenFolder(followed.Path);
    if (folder < 0) return WriteProblem::Changed;
    FileIdentity now;
    struct stat info {};
    const bool known = Identify(folder, NameOf(followed.Path), now, &info);
    ::close(folder);
    const bool sameName = known && now.FolderDevice == Target.FolderDevice && now.FolderInode == Target.FolderInode &&
                          now.Name == Target.Name;
    if (!sameName || (now.Exists && !S_ISREG(info.st_mode))) return WriteProblem::Changed;
    return WriteProblem::None;
}

WriteProblem FileReplacement::TakePlace() {
    assert(!Temporary.empty());
    if (::renameat(Folder, Temporary.c_str(), Folder, Target.Name.c_str()) != 0) {
        LastError = errno;
        RemoveTemporary();
        return Target.Exists && CannotRenameOver(LastError) ? WriteProblem::CannotReplace : WriteProblem::RenameFailed;
    }
    Temporary.clear();
    // Makes the rename itself durable; a folder that cannot be synced still
    // holds the new file.
    ::fsync(Folder);
    return WriteProblem::None;
}

void FileReplacement::Discard() { RemoveTemporary(); }

void FileReplacement::RemoveTemporary() {
    if (Temporary.empty()) return;
    ::unlinkat(Folder, Temporary.c_str(), 0);
    Temporary.clear();
}

bool ReplaceFileContents(const std::string& path, const ContentsWriter& contents) {
    // The list outlives the group, which may look at what it was given until its end.
    const std::vector<Output> outputs = {{"", path}};
    OutputGroup group;
    return group.Prepare(outputs).empty() && group.Write({contents}).empty();
}

}  // namespace files
