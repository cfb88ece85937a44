// The 26 square pictures, loaded from "JPG/" under the working directory
// and scaled to the board's cell size.
#pragma once

#include <array>
#include <cstddef>
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
    // A file that is missing or unreadable, or that LoadTilePicture refuses,
    // leaves its picture empty.
    void LoadTiles(const std::string& workDir);
    // Scales every loaded picture to cellSize x cellSize, smoothly.
    void ScaleTiles(int cellSize);

    // The picture with this number; nullptr when it could not be loaded.
    GdkPixbuf* Picture(int number) const;
    // The picture for a piece code on a square of the given shade.
    GdkPixbuf* PictureFor(rules::PieceCode code, int shade) const;

  private:
    std::array<GdkPixbuf*, TileCount> Images{};
};

// A square needs at most 70 pixels a side; a picture far beyond that is no
// square picture, and decoding it would cost time and memory for nothing.
constexpr int LargestTileEdge = 1024;
// Room for an uncompressed 32-bit picture of that size and its header.
constexpr std::size_t LargestTileFileBytes = std::size_t{LargestTileEdge} * LargestTileEdge * 4 + 64 * 1024;

// The picture in the BMP file at `path`; nullptr when it is not a regular
// file (a pipe is not waited on), is larger than LargestTileFileBytes, is
// not a BMP file (a picture in any other format counts as missing: other
// decoders may spend seconds or gigabytes on a small file), its BMP header
// gives a side beyond LargestTileEdge (found before the decoder sees it), or
// it cannot be read or decoded.
GdkPixbuf* LoadTilePicture(const std::string& path);

// The path of picture `number` under the working directory.
std::string TilePath(const std::string& workDir, int number);

}  // namespace trainer
