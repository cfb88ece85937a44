#include "trainer/tile_pictures.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <array>
#include <cstdint>
#include <cstdio>

#include "files/regular_file.h"

namespace trainer {
namespace {

constexpr std::size_t ReadChunk = 64 * 1024;

// The start of a BMP file: the 14-byte file header, then the picture header,
// whose size comes first. The oldest picture header (12 bytes) gives the
// sides as 16-bit numbers, every later one (40 bytes and more) as signed
// 32-bit numbers, the height negative for rows stored from the top down.
constexpr std::size_t FileHeaderBytes = 14;
constexpr std::size_t CoreHeaderBytes = 12;
constexpr std::size_t InfoHeaderBytes = 40;
constexpr std::size_t LargestInfoHeaderBytes = 124;
constexpr std::size_t SidesEnd = FileHeaderBytes + CoreHeaderBytes;  // enough for the sides in every kind
constexpr std::size_t HeaderSizeAt = FileHeaderBytes;
constexpr std::size_t SidesAt = FileHeaderBytes + 4;

std::uint32_t LittleEndian(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int index = count - 1; index >= 0; --index) value = value << 8 | bytes[index];
    return value;
}

bool SideFits(std::int64_t side) { return side >= 1 && side <= LargestTileEdge; }

// Whether the first SidesEnd bytes of a file are a BMP file's start whose
// sides are within LargestTileEdge.
bool BmpHeaderFits(const std::array<unsigned char, SidesEnd>& start) {
    if (start[0] != 'B' || start[1] != 'M') return false;
    const std::uint32_t headerBytes = LittleEndian(&start[HeaderSizeAt], 4);
    if (headerBytes == CoreHeaderBytes) {
        return SideFits(LittleEndian(&start[SidesAt], 2)) && SideFits(LittleEndian(&start[SidesAt + 2], 2));
    }
    if (headerBytes < InfoHeaderBytes || headerBytes > LargestInfoHeaderBytes) return false;
    const auto width = static_cast<std::int32_t>(LittleEndian(&start[SidesAt], 4));
    const auto height = static_cast<std::int32_t>(LittleEndian(&start[SidesAt + 4], 4));
    return SideFits(width) && (SideFits(height) || SideFits(-static_cast<std::int64_t>(height)));
}

// What the loader learns of a picture before it decodes it.
struct SizeCheck {
    bool TooLarge = false;
};

void CheckSize(GdkPixbufLoader* loader, int width, int height, gpointer check) {
    if (width > LargestTileEdge || height > LargestTileEdge || width < 1 || height < 1) {
        static_cast<SizeCheck*>(check)->TooLarge = true;
        gdk_pixbuf_loader_set_size(loader, 0, 0);  // tells the decoder to stop here
    }
}

// Decodes a BMP picture whose first bytes, `start`, have been read from the
// stream already; the rest comes from the stream.
GdkPixbuf* DecodeBmp(const std::array<unsigned char, SidesEnd>& start, std::FILE* stream) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("bmp", nullptr);
    if (loader == nullptr) return nullptr;
    SizeCheck check;
    g_signal_connect(loader, "size-prepared", G_CALLBACK(CheckSize), &check);
    bool fed = gdk_pixbuf_loader_write(loader, start.data(), start.size(), nullptr) && !check.TooLarge;
    std::array<guchar, ReadChunk> chunk{};
    std::size_t total = start.size();
    while (fed) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), stream);
        if (got == 0) {
            fed = !std::ferror(stream);
            break;
        }
        total += got;
        fed = total <= LargestTileFileBytes && gdk_pixbuf_loader_write(loader, chunk.data(), got, nullptr) &&
              !check.TooLarge;
    }
    const bool closed = gdk_pixbuf_loader_close(loader, nullptr);
    GdkPixbuf* picture = nullptr;
    if (fed && closed && !check.TooLarge) {
        picture = gdk_pixbuf_loader_get_pixbuf(loader);
        if (picture != nullptr) g_object_ref(picture);
    }
    g_object_unref(loader);
    return picture;
}

}  // namespace

GdkPixbuf* LoadTilePicture(const std::string& path) {
    const files::OpenedFile opened = files::OpenRegularFile(path);
    if (!opened.Stream || opened.Bytes > LargestTileFileBytes) return nullptr;
    std::array<unsigned char, SidesEnd> start{};
    if (std::fread(start.data(), 1, start.size(), opened.Stream.get()) != start.size()) return nullptr;
    if (!BmpHeaderFits(start)) return nullptr;
    return DecodeBmp(start, opened.Stream.get());
}

TilePictures::~TilePictures() {
    for (GdkPixbuf*& image : Images) {
        if (image != nullptr) g_object_unref(image);
        image = nullptr;
    }
}

std::string TilePath(const std::string& workDir, int number) {
    return workDir + std::string(TileFolder) + std::string(TileNames[number]) + std::string(TileExtension);
}

void TilePictures::LoadTiles(const std::string& workDir) {
    for (int number = 0; number < TileCount; ++number) {
        if (Images[number] != nullptr) g_object_unref(Images[number]);
        Images[number] = LoadTilePicture(TilePath(workDir, number));
    }
}

void TilePictures::ScaleTiles(int cellSize) {
    for (GdkPixbuf*& image : Images) {
        if (image == nullptr) continue;
        GdkPixbuf* scaled = gdk_pixbuf_scale_simple(image, cellSize, cellSize, GDK_INTERP_BILINEAR);
        g_object_unref(image);
        image = scaled;
    }
}

GdkPixbuf* TilePictures::Picture(int number) const {
    if (number < 0 || number >= TileCount) return nullptr;
    return Images[number];
}

GdkPixbuf* TilePictures::PictureFor(rules::PieceCode code, int shade) const {
    return Picture(TileNumberFor(code, shade));
}

}  // namespace trainer
