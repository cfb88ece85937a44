#include "trainer/picture_export.h"

#include <gtk/gtk.h>

#include <cstring>

#include "trainer/dialogs.h"
#include "trainer/jpeg_file.h"
#include "trainer/main_window.h"
#include "trainer/messages.h"
#include "trainer/window_layout.h"

namespace trainer {
namespace {

constexpr int BitsPerSample = 8;

void FillArea(GdkPixbuf* picture, int x, int y, int width, int height, guint32 rgba) {
    GdkPixbuf* area = gdk_pixbuf_new_subpixbuf(picture, x, y, width, height);
    gdk_pixbuf_fill(area, rgba);
    g_object_unref(area);
}

guint32 Rgba(unsigned char red, unsigned char green, unsigned char blue) {
    return (static_cast<guint32>(red) << 24) | (static_cast<guint32>(green) << 16) | (static_cast<guint32>(blue) << 8) |
           0xFFu;
}

#if GTK_CHECK_VERSION(3, 0, 0)
// A square without a picture shows the window's background: GTK 3 paints it
// from the toplevel's style, here into one pixel that is then read.
guint32 BackgroundOf(GtkWidget* widget) {
    cairo_surface_t* pixel = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(pixel);
    gtk_render_background(gtk_widget_get_style_context(gtk_widget_get_toplevel(widget)), cr, 0, 0, 1, 1);
    cairo_destroy(cr);
    cairo_surface_flush(pixel);
    guint32 colour = 0;
    std::memcpy(&colour, cairo_image_surface_get_data(pixel), sizeof colour);  // 0x00RRGGBB in the native order
    cairo_surface_destroy(pixel);
    return Rgba(static_cast<unsigned char>(colour >> 16), static_cast<unsigned char>(colour >> 8),
                static_cast<unsigned char>(colour));
}
#else
// A square without a picture shows the window's background.
guint32 BackgroundOf(GtkWidget* widget) {
    const GdkColor& colour = gtk_widget_get_style(widget)->bg[GTK_STATE_NORMAL];
    return Rgba(static_cast<unsigned char>(colour.red >> 8), static_cast<unsigned char>(colour.green >> 8),
                static_cast<unsigned char>(colour.blue >> 8));
}
#endif

}  // namespace

PictureExport::~PictureExport() {
    if (BoardPicture != nullptr) g_object_unref(BoardPicture);
}

void PictureExport::CaptureBoard() {
    const int cellSize = Window.CellSize();
    const int edge = rules::LastSquare * cellSize;
    if (BoardPicture != nullptr) g_object_unref(BoardPicture);
    BoardPicture = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, BitsPerSample, edge, edge);
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
            const int x = (file - 1) * cellSize;
            const int y = (row - 1) * cellSize;
            GdkPixbuf* picture = Window.SquarePicture(file, row);
            if (picture != nullptr && gdk_pixbuf_get_width(picture) == cellSize &&
                gdk_pixbuf_get_height(picture) == cellSize) {
                gdk_pixbuf_copy_area(picture, 0, 0, cellSize, cellSize, BoardPicture, x, y);
            } else {
                FillArea(BoardPicture, x, y, cellSize, cellSize,
                         BackgroundOf(Window.Control(SquareControlNumber(file, row))));
            }
        }
    }
    const int framed = Window.FramedSquare();
    if (framed != 0) {
        const int x = (SquareFileOf(framed) - 1) * cellSize;
        const int y = (SquareRowOf(framed) - 1) * cellSize;
        const guint32 red = Rgba(FrameColour.Red, FrameColour.Green, FrameColour.Blue);
        FillArea(BoardPicture, x, y, cellSize, FrameWidth, red);
        FillArea(BoardPicture, x, y + cellSize - FrameWidth, cellSize, FrameWidth, red);
        FillArea(BoardPicture, x, y, FrameWidth, cellSize, red);
        FillArea(BoardPicture, x + cellSize - FrameWidth, y, FrameWidth, cellSize, red);
    }
}

void PictureExport::ExportBoardPicture() {
    CaptureBoard();
    const std::string path =
        Boxes.AskSavePath({SaveDialogTitle, JpegFilterName, JpegFilterPattern, WorkDir + ImageFolder});
    if (path.empty()) return;
    WriteJpegFile(BoardPicture, path, BoardPictureQuality);
}

}  // namespace trainer
