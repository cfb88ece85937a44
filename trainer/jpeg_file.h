// Writing a picture as a JPEG file through libjpeg.
#pragma once

#include <string>

typedef struct _GdkPixbuf GdkPixbuf;

namespace trainer {

constexpr int BoardPictureQuality = 70;  // on libjpeg's 0..100 scale

// Writes an RGB picture (with or without alpha, which is dropped) to `path`,
// creating or emptying the file first; rows go from the top down. False,
// with nothing reported, when the file cannot be created or written.
bool WriteJpegFile(GdkPixbuf* picture, const std::string& path, int quality);

}  // namespace trainer
