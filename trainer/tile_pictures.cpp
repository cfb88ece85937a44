#include "trainer/tile_pictures.h"

#include <fcntl.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

namespace trainer {
namespace {

constexpr std::size_t ReadChunk = 64 * 1024;

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

// Decodes the picture from an open regular file, watching its size.
GdkPixbuf* DecodePicture(int descriptor) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    SizeCheck check;
    g_signal_connect(loader, "size-prepared", G_CALLBACK(CheckSize), &check);
    std::array<guchar, ReadChunk> chunk{};
    std::size_t total = 0;
    bool fed = true;
    for (;;) {
        const ssize_t got = ::read(descriptor, chunk.data(), chunk.size());
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
        fed = got > 0 && total <= LargestTileFileBytes &&
              gdk_pixbuf_loader_write(loader, chunk.data(), static_cast<gsize>(got), nullptr) && !check.TooLarge;
        if (!fed) break;
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
    // O_NONBLOCK keeps a pipe of that name from blocking the open; only a
    // regular file is read.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return nullptr;
    struct stat info {};
    GdkPixbuf* picture = nullptr;
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::size_t>(info.st_size) <= LargestTileFileBytes) {
        picture = DecodePicture(descriptor);
    }
    ::close(descriptor);
    return picture;
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

GdkPixbuf* TilePictures::PictureFor(chess::PieceCode code, int shade) const {
    return Picture(TileNumberFor(code, shade));
}

}  // namespace trainer
