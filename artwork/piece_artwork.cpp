#include "artwork/piece_artwork.h"

#include <librsvg/rsvg.h>

#include "artwork/piece_pictures.h"

namespace artwork {

void DrawPiece(cairo_t* cr, chess::PieceCode code, double x, double y, double edge) {
    const PiecePicture* picture = FindPiecePicture(code);
    if (picture == nullptr || edge <= 0) return;
    GError* error = nullptr;
    RsvgHandle* handle = rsvg_handle_new_from_data(picture->Text, picture->Length, &error);
    if (handle == nullptr) {
        // The pictures are compiled in and were read once at build time; a
        // picture that does not parse draws nothing rather than stopping.
        g_clear_error(&error);
        return;
    }
    // The path is no part of cairo's saved state; the caller's is kept aside
    // so that drawing the piece does not lose it.
    cairo_path_t* callersPath = cairo_copy_path(cr);
    cairo_save(cr);
    cairo_new_path(cr);
    const RsvgRectangle square = {x, y, edge, edge};
    if (!rsvg_handle_render_document(handle, cr, &square, &error)) g_clear_error(&error);
    cairo_restore(cr);
    cairo_new_path(cr);
    if (callersPath->status == CAIRO_STATUS_SUCCESS) cairo_append_path(cr, callersPath);
    cairo_path_destroy(callersPath);
    g_object_unref(handle);
}

}  // namespace artwork
