// Writing an RGB picture as an uncompressed 24-bit BMP file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace make_tiles {

struct RgbPicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels;  // rows from the top, three bytes R, G, B per pixel

    RgbPicture(int width, int height) : Width(width), Height(height), Pixels(static_cast<size_t>(width) * height * 3) {}
    std::uint8_t* At(int x, int y) { return &Pixels[(static_cast<size_t>(y) * Width + x) * 3]; }
};

// False when the file could not be written.
bool WriteBmpFile(const RgbPicture& picture, const std::string& path);

}  // namespace make_tiles
