// The program's icon, drawn with the same code as the square pictures.
#pragma once

#include <string>

namespace make_icon {

// Writes an `edge` x `edge` PNG file: the white knight on a light square,
// corners rounded off and transparent. False when the file could not be
// written.
bool WriteIcon(int edge, const std::string& path);

}  // namespace make_icon
