// Writing a picture as a JPEG file through libjpeg.
#pragma once

#include <string>

typedef struct _GdkPixbuf GdkPixbuf;

namespace trainer {

constexpr int BoardPictureQuality = 70;  // on libjpeg's 0..100 scale

// Writes an RGB picture (with or without alpha, which is dropped) to `path`
// through a temporary file beside it, which then takes that name (an
// existing file of that name is replaced; a link is followed); rows go from
// the top down. False, with nothing reported and nothing left behind, when
// the file cannot be written or is not a regular file.
bool WriteJpegFile(GdkPixbuf* picture, const std::string& path, int quality);

}  // namespace trainer
