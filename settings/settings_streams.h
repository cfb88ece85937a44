// The settings file as a stream: opening it for reading, and reading or
// writing the fourteen lines. The path-based readers and the writer in
// settings.h are built on these; the worksheets' settings reader, tests and
// the fuzz target use them directly.
#pragma once

#include <cstdio>
#include <string>

#include "settings/settings.h"

namespace settings {

// Opens the settings file for reading only, so that a read-only file is
// still read. A file that does not exist is created empty when the directory
// allows it (nothing is reported when it does not). Null when there is
// nothing to read: no file, one that cannot be opened, or something that is
// not a regular file (a directory or a pipe of that name reads as empty).
std::FILE* OpenSettingsForReading(const std::string& path);

// The fourteen values from an open stream (null: every line empty): lines 1
// to 13 as numbers, line 14 as UTF-8 text. Lines after the fourteenth are
// not read.
Settings ReadSettings(std::FILE* stream);

// Writes the fourteen lines, each followed by one line feed; false when a
// write failed. Line 14 holds the name only when it is one of PieceNames,
// else it is empty, so every file written holds exactly fourteen lines.
bool WriteSettings(std::FILE* stream, const Settings& values);

}  // namespace settings
