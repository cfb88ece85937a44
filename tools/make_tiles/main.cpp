// Writes the 26 square pictures of the trainer into a folder:
//   make-tiles FOLDER
#include <cairo.h>

#include <cstdio>
#include <string>

#include "tools/make_tiles/bmp_file.h"
#include "tools/make_tiles/piece_drawing.h"
#include "trainer/tile_names.h"

namespace {

// Stored edge of a picture: the largest square the trainer shows, so a
// picture is only ever scaled down.
constexpr int PictureSize = 70;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-tiles FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    int written = 0;
    const rules::PieceCode codes[] = {rules::NoPiece, rules::Pawn,  rules::Knight, rules::Bishop,
                                      rules::Rook,    rules::Queen, rules::King};
    for (rules::PieceCode kind : codes) {
        for (int colour : {rules::Black, rules::White}) {
            if (kind == rules::NoPiece && colour == rules::White) continue;
            for (int shade : {trainer::DarkSquare, trainer::LightSquare}) {
                const rules::PieceCode code = kind * colour;
                const int number = trainer::TileNumberFor(code, shade);
                const std::string path =
                    folder + std::string(trainer::TileNames[number]) + std::string(trainer::TileExtension);
                if (!make_tiles::WriteBmpFile(make_tiles::DrawSquarePicture(code, shade, PictureSize), path)) {
                    std::fprintf(stderr, "make-tiles: cannot write %s\n", path.c_str());
                    return 1;
                }
                ++written;
            }
        }
    }
    // Hand back cairo's caches, so a leak checker sees nothing left over.
    cairo_debug_reset_static_data();
    if (written != trainer::TileCount) {
        std::fprintf(stderr, "make-tiles: wrote %d pictures, expected %d\n", written, trainer::TileCount);
        return 1;
    }
    return 0;
}
