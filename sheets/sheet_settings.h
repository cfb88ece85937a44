// Reading the settings file for a sheet: the trainer's own reader and
// limiting, but a file that is missing or cannot be read is an error here
// and nothing is created.
#pragma once

#include <string>

#include "settings/settings.h"

namespace sheets {

// Fills `config` from the settings file at `path` as the trainer's settings
// reader does. Returns "" on success, otherwise one line saying why the file
// could not be read (it is missing, not a regular file, not readable, or a
// read failed); `config` is then left as it was.
std::string ReadSheetSettings(const std::string& path, settings::TrainerSettings& config);

}  // namespace sheets
