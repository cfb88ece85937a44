// Files and folders for the window tests.
#pragma once

#include <filesystem>
#include <string>

namespace window_test {

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
// A new empty folder under the system's temporary folder.
std::filesystem::path MakeTempDir(const std::string& prefix);
// rwxr-xr-x: others may enter and read but not write.
void MakeReadableByAll(const std::filesystem::path& path);

}  // namespace window_test
