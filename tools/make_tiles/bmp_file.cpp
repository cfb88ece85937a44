#include "tools/make_tiles/bmp_file.h"

#include <cstdio>

namespace make_tiles {
namespace {

constexpr int FileHeaderBytes = 14;
constexpr int InfoHeaderBytes = 40;
constexpr int BytesPerPixel = 3;
constexpr int RowAlignment = 4;
constexpr int BitsPerPixel = 24;
constexpr int PixelsPerMetre = 2835;  // 72 dots per inch

void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

bool WriteBmpFile(const RgbPicture& picture, const std::string& path) {
    const int rowBytes = (picture.Width * BytesPerPixel + RowAlignment - 1) / RowAlignment * RowAlignment;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(rowBytes) * picture.Height;
    const std::uint32_t headerBytes = FileHeaderBytes + InfoHeaderBytes;

    std::vector<std::uint8_t> bytes;
    bytes.push_back('B');
    bytes.push_back('M');
    PutLittleEndian(bytes, headerBytes + pixelBytes, 4);  // file size
    PutLittleEndian(bytes, 0, 4);                         // reserved
    PutLittleEndian(bytes, headerBytes, 4);               // offset of the pixels
    PutLittleEndian(bytes, InfoHeaderBytes, 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(picture.Width), 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(picture.Height), 4);  // positive: rows stored bottom-up
    PutLittleEndian(bytes, 1, 2);                                           // planes
    PutLittleEndian(bytes, BitsPerPixel, 2);
    PutLittleEndian(bytes, 0, 4);  // no compression
    PutLittleEndian(bytes, pixelBytes, 4);
    PutLittleEndian(bytes, PixelsPerMetre, 4);
    PutLittleEndian(bytes, PixelsPerMetre, 4);
    PutLittleEndian(bytes, 0, 4);  // colours used
    PutLittleEndian(bytes, 0, 4);  // important colours

    for (int y = picture.Height - 1; y >= 0; --y) {
        const std::uint8_t* row = &picture.Pixels[static_cast<size_t>(y) * picture.Width * BytesPerPixel];
        for (int x = 0; x < picture.Width; ++x) {
            const std::uint8_t* pixel = row + x * BytesPerPixel;
            bytes.push_back(pixel[2]);  // stored blue, green, red
            bytes.push_back(pixel[1]);
            bytes.push_back(pixel[0]);
        }
        for (int pad = picture.Width * BytesPerPixel; pad < rowBytes; ++pad) bytes.push_back(0);
    }

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace make_tiles
