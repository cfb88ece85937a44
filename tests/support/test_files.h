// Files and folders for the window tests, and a piece of a test run in a
// child process under a file-size limit and an alarm.
#pragma once

#include <sys/resource.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace support {

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
// rwxr-xr-x: others may enter and read but not write.
void MakeReadableByAll(const std::filesystem::path& path);
// The names in a folder, sorted: a temporary file left behind shows here.
std::vector<std::string> NamesIn(const std::filesystem::path& folder);

// What ChildResult gives besides the work's own result.
constexpr int ChildKilled = -1;  // ended by a signal, its alarm's included
// Runs `work` in a child process under a file-size limit of `fileSizeLimit`
// bytes, ended by an alarm after `patienceSeconds`; the child's result (0..255).
int ChildResult(const std::function<int()>& work, rlim_t fileSizeLimit = RLIM_INFINITY, unsigned patienceSeconds = 30);

}  // namespace support
