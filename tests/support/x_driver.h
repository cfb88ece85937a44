// Drives windows with real X events through the XTest extension, as a
// person with a mouse and a keyboard would, and reads what the X server
// knows about a window: its title, place, size, hints and pixels.
#pragma once

#include <string>

#include <X11/Xlib.h>

namespace support {

struct ScreenPoint {
    int X;
    int Y;
};

// A rectangle within a window's client area.
struct ClientArea {
    int X;
    int Y;
    int Width;
    int Height;
};

// What a window test says when it skips because there is no display to
// show windows on.
constexpr const char* NoDisplayReason =
    "skipped: no X display; the window tests run under an X server (xvfb-run -a -s \"-screen 0 1280x1024x24 "
    "-noreset\")";

constexpr unsigned LeftButton = 1;
constexpr unsigned RightButton = 3;

struct XDriver {
    Display* Connection = nullptr;

    explicit XDriver(Display* connection) : Connection(connection) {}

    // Each call returns once the X server has handled what it sent.
    void MoveTo(ScreenPoint point);
    void PressButton(unsigned button);
    void ReleaseButton(unsigned button);
    // Moves there, presses and releases a mouse button.
    void Click(ScreenPoint point, unsigned button = LeftButton);
    // One notch of the wheel there (up or down).
    void Scroll(ScreenPoint point, bool up);
    // Presses and releases the key that produces `keysym`.
    void TypeKey(unsigned long keysym);
    // Types plain ASCII text key by key.
    void TypeText(const std::string& text);
    // What a window manager sends when the user closes a window.
    void SendCloseRequest(Window window);
    // What another client may do to a window without asking: destroy it, or
    // close the connection of the client that made it.
    void DestroyWindow(Window window);
    void KillClientOf(Window window);
    // What a window manager does when the user drags a window's edge.
    void Resize(Window window, int width, int height);
    void Sync();

    // The viewable top-level window whose title is `title` and whose
    // _NET_WM_PID is `pid` (any process when pid is 0); None when there is none.
    Window FindWindow(const std::string& title, long pid = 0);
    bool IsOnScreen(Window window);
    ScreenPoint OriginOf(Window window);
    void SizeOf(Window window, int& width, int& height);
    std::string TitleOf(Window window);
    // The colour of one pixel of a window, as the server holds it.
    unsigned long PixelAt(Window window, int x, int y);
    // True when the area shows more than one colour: a control is drawn
    // there, not only the window's plain background.
    bool ShowsDrawing(Window window, const ClientArea& area);
    // The decoration and function flags of _MOTIF_WM_HINTS; false when unset.
    bool MotifHints(Window window, unsigned long& functions, unsigned long& decorations);
};

}  // namespace support
