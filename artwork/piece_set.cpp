#include "artwork/piece_set.h"

#include "artwork/piece_drawing.h"

namespace artwork {
namespace {

// Edge of the square the pictures are recorded into; a recording holds
// vectors, so this is only the unit of the replay's scale.
constexpr double RecordedEdge = 100;

}  // namespace

PieceSet::PieceSet() {
    for (int index = 0; index < PiecePictureCount; ++index) {
        const cairo_rectangle_t extents = {0, 0, RecordedEdge, RecordedEdge};
        cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
        cairo_t* cr = cairo_create(recording);
        const bool drawn = RenderPiecePicture(cr, PiecePictures[index], 0, 0, RecordedEdge);
        cairo_destroy(cr);
        if (!drawn) {
            cairo_surface_destroy(recording);
            recording = nullptr;
        }
        Recorded[index] = recording;
    }
}

PieceSet::~PieceSet() {
    for (cairo_surface_t* recording : Recorded) {
        if (recording != nullptr) cairo_surface_destroy(recording);
    }
}

void PieceSet::Draw(cairo_t* cr, rules::PieceCode code, double x, double y, double edge) const {
    const PiecePicture* picture = FindPiecePicture(code);
    if (picture == nullptr || edge <= 0) return;
    cairo_surface_t* recording = Recorded[picture - PiecePictures];
    if (recording == nullptr) return;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, edge / RecordedEdge, edge / RecordedEdge);
    cairo_set_source_surface(cr, recording, 0, 0);
    // Painting leaves the caller's path as it is; the recording holds
    // nothing outside its square.
    cairo_paint(cr);
    cairo_restore(cr);
}

}  // namespace artwork
