#include "programs/display_loss.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xlibint.h>

namespace programs {
namespace {

constexpr int EndStatus = 0;
constexpr int RenderBadPictureOffset = 1;  // RENDER's BadPicture, after BadPictFormat

// What the error handler needs. Xlib hands its handlers no data of their
// own, so this is set once, when the handlers are installed, and only read
// afterwards.
struct ErrorHandling {
    XErrorHandler Toolkit = nullptr;
    int BadPicture = -1;  // RENDER's error code, when the server has RENDER
};
ErrorHandling Handling;

// Xlib ends the process itself if this returns, with status 1. _exit, not
// exit: exit handlers could reach the lost display again.
int EndOnLostDisplay(Display*) { ::_exit(EndStatus); }

// True for an id this connection made: its own windows, pixmaps and pictures.
bool IsOwnResource(Display* display, XID id) { return (id & ~display->resource_mask) == display->resource_base; }

int OnProtocolError(Display* display, XErrorEvent* error) {
    // A request on the destroyed window fails, and so do those on what was
    // to be made from it (a pixmap, a graphics context, a picture).
    const int code = error->error_code;
    const bool goneResource = code == BadWindow || code == BadDrawable || code == BadPixmap || code == BadGC ||
                              (Handling.BadPicture >= 0 && code == Handling.BadPicture);
    if (goneResource && IsOwnResource(display, error->resourceid)) return 0;
    return Handling.Toolkit != nullptr ? Handling.Toolkit(display, error) : 0;
}

}  // namespace

void EndWithStatusZeroWhenTheDisplayOrWindowIsLost() {
    Display* display = gdk_x11_get_default_xdisplay();
    if (display == nullptr) return;
    int opcode = 0;
    int firstEvent = 0;
    int firstError = 0;
    if (XQueryExtension(display, "RENDER", &opcode, &firstEvent, &firstError)) {
        Handling.BadPicture = firstError + RenderBadPictureOffset;
    }
    Handling.Toolkit = XSetErrorHandler(OnProtocolError);
#if GTK_CHECK_VERSION(3, 0, 0)
    // GTK 3 puts its own handler in place of this one around each of its
    // error traps, and that handler ends the program with status 1 for any
    // error it reads there that is outside the trap, such as a request's on
    // the destroyed window. A trap held open for the program's life covers
    // every request, so those errors are dropped wherever they are read.
    gdk_x11_display_error_trap_push(gdk_display_get_default());
#endif
    XSetIOErrorHandler(EndOnLostDisplay);
}

}  // namespace programs
