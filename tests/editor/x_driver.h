// Drives windows with real X events through the XTest extension, as a
// person with a mouse and a keyboard would, and reads what the X server
// knows about a window.
#pragma once

#include <string>

#include <X11/Xlib.h>

namespace editor_test {

struct ScreenPoint {
    int X;
    int Y;
};

struct XDriver {
    Display* Connection = nullptr;

    explicit XDriver(Display* connection) : Connection(connection) {}

    void MoveTo(ScreenPoint point);
    void PressButton(unsigned button);
    void ReleaseButton(unsigned button);
    // Moves there, presses and releases the left button.
    void Click(ScreenPoint point);
    // One notch of the wheel there (up or down).
    void Scroll(ScreenPoint point, bool up);
    // Presses and releases the key that produces `keysym`.
    void TypeKey(unsigned long keysym);
    // What a window manager sends when the user closes a window.
    void SendCloseRequest(Window window);
    // What a window manager does when the user drags a window's edge.
    void Resize(Window window, int width, int height);
    void Sync();

    // The top-level window whose title is `title` and whose _NET_WM_PID is
    // `pid` (any process when pid is 0); None when there is none.
    Window FindWindow(const std::string& title, long pid = 0);
    ScreenPoint OriginOf(Window window);
    std::string TitleOf(Window window);
    // The colour of one pixel of a window, as the server holds it.
    unsigned long PixelAt(Window window, int x, int y);
    // The decoration and function flags of _MOTIF_WM_HINTS; false when unset.
    bool MotifHints(Window window, unsigned long& functions, unsigned long& decorations);
};

}  // namespace editor_test
