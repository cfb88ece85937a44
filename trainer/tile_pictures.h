// The 26 square pictures, loaded from "JPG/" under the working directory
// and scaled to the board's cell size.
#pragma once

#include <array>
#include <string>

#include "rules/position.h"
#include "trainer/tile_names.h"

typedef struct _GdkPixbuf GdkPixbuf;

namespace trainer {

class TilePictures {
  public:
    TilePictures() = default;
    TilePictures(const TilePictures&) = delete;
    TilePictures& operator=(const TilePictures&) = delete;
    ~TilePictures();

    // Loads pictures 0..25 in number order from workDir + "JPG/<name>.bmp".
    // A file that is missing or unreadable leaves its picture empty.
    void LoadTiles(const std::string& workDir);
    // Scales every loaded picture to cellSize x cellSize, smoothly.
    void ScaleTiles(int cellSize);

    // The picture with this number; nullptr when it could not be loaded.
    GdkPixbuf* Picture(int number) const;
    // The picture for a piece code on a square of the given shade.
    GdkPixbuf* PictureFor(chess::PieceCode code, int shade) const;

  private:
    std::array<GdkPixbuf*, TileCount> Images{};
};

// The path of picture `number` under the working directory.
std::string TilePath(const std::string& workDir, int number);

}  // namespace trainer
