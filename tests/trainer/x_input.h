// Real X input for window tests, sent through the XTEST extension as a
// person's mouse and keyboard would send it, and what the X server tells
// about top-level windows.
#pragma once

#include <string>

#include <X11/Xlib.h>

namespace trainer_test {

struct ScreenPoint {
    int X;
    int Y;
};

struct XInput {
    Display* Connection = nullptr;

    explicit XInput(Display* connection) : Connection(connection) {}

    void MoveTo(ScreenPoint point);
    // Moves there, presses and releases a mouse button (1 left, 3 right).
    void Click(ScreenPoint point, unsigned button = 1);
    // Presses and releases the key that produces `keysym`.
    void TypeKey(unsigned long keysym);
    // Types plain ASCII text key by key.
    void TypeText(const std::string& text);
    // What a window manager sends when the user closes a window.
    void SendCloseRequest(Window window);
    void Sync();

    // The top-level window titled `title` of process `pid`; None when the
    // X server knows none.
    Window FindWindow(const std::string& title, long pid);
    ScreenPoint OriginOf(Window window);
    void SizeOf(Window window, int& width, int& height);
};

}  // namespace trainer_test
