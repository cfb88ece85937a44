// Reading the settings file without creating it.
#include "sheets/sheet_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "settings/settings_streams.h"

namespace sheets {
namespace {

struct CloseStream {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};

std::string Complaint(const std::string& path, const std::string& why) { return "файл настроек «" + path + "» " + why; }

}  // namespace

std::string ReadSheetSettings(const std::string& path, settings::TrainerSettings& config) {
    // O_NONBLOCK: a pipe of that name must not hold the open up; only a
    // regular file is read.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        const int error = errno;
        if (error == ENOENT) return Complaint(path, "не найден");
        return Complaint(path, std::string("не открывается: ") + std::strerror(error));
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return Complaint(path, "не обычный файл");
    }
    std::unique_ptr<std::FILE, CloseStream> stream(::fdopen(descriptor, "rb"));
    if (!stream) {
        ::close(descriptor);
        return Complaint(path, "не открывается");
    }
    const settings::Settings values = settings::ReadSettings(stream.get());
    if (std::ferror(stream.get())) return Complaint(path, "не читается");
    config.Adopt(values);
    return "";
}

}  // namespace sheets
