// Reading the settings file without creating it.
#include "sheets/sheet_settings.h"

#include <cstdio>
#include <cstring>

#include "files/regular_file.h"
#include "settings/settings_streams.h"
#include "text/utf8_text.h"

namespace sheets {
namespace {

std::string Complaint(const std::string& path, const std::string& why) {
    return "файл настроек «" + text::ShownInLine(path) + "» " + why;
}

}  // namespace

std::string ReadSheetSettings(const std::string& path, settings::TrainerSettings& config) {
    const files::OpenedFile opened = files::OpenRegularFile(path);
    switch (opened.Problem) {
        case files::OpenProblem::None: break;
        case files::OpenProblem::Missing: return Complaint(path, "не найден");
        case files::OpenProblem::NotRegular: return Complaint(path, "не обычный файл");
        case files::OpenProblem::NotOpened:
            return Complaint(path, std::string("не открывается: ") + std::strerror(opened.Error));
    }
    const settings::Settings values = settings::ReadSettings(opened.Stream.get());
    if (std::ferror(opened.Stream.get())) return Complaint(path, "не читается");
    config.Adopt(values);
    return "";
}

}  // namespace sheets
