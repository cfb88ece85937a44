#include "artwork/piece_pictures.h"

namespace artwork {

const PiecePicture* FindPiecePicture(rules::PieceCode code) {
    for (const PiecePicture& picture : PiecePictures) {
        if (picture.Code == code) return &picture;
    }
    return nullptr;
}

}  // namespace artwork
