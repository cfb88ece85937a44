#include "artwork/piece_drawing.h"

#include <librsvg/rsvg.h>

namespace artwork {

bool RenderPiecePicture(cairo_t* cr, const PiecePicture& picture, double x, double y, double edge) {
    GError* error = nullptr;
    RsvgHandle* handle = rsvg_handle_new_from_data(picture.Text, picture.Length, &error);
    if (handle == nullptr) {
        g_clear_error(&error);
        return false;
    }
    // The path is no part of cairo's saved state; the caller's is kept aside
    // so that drawing the piece does not lose it.
    cairo_path_t* callersPath = cairo_copy_path(cr);
    cairo_save(cr);
    cairo_new_path(cr);
    const RsvgRectangle square = {x, y, edge, edge};
    const bool drawn = rsvg_handle_render_document(handle, cr, &square, &error);
    g_clear_error(&error);
    cairo_restore(cr);
    cairo_new_path(cr);
    if (callersPath->status == CAIRO_STATUS_SUCCESS) cairo_append_path(cr, callersPath);
    cairo_path_destroy(callersPath);
    g_object_unref(handle);
    return drawn;
}

}  // namespace artwork
