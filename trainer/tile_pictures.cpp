#include "trainer/tile_pictures.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

namespace trainer {

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
        Images[number] = gdk_pixbuf_new_from_file(TilePath(workDir, number).c_str(), nullptr);
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
