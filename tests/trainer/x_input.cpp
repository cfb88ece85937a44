#include "tests/trainer/x_input.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <vector>

namespace trainer_test {

void XInput::MoveTo(ScreenPoint point) {
    XTestFakeMotionEvent(Connection, -1, point.X, point.Y, CurrentTime);
    Sync();
}

void XInput::Click(ScreenPoint point, unsigned button) {
    MoveTo(point);
    XTestFakeButtonEvent(Connection, button, True, CurrentTime);
    XTestFakeButtonEvent(Connection, button, False, CurrentTime);
    Sync();
}

void XInput::TypeKey(unsigned long keysym) {
    const KeyCode code = XKeysymToKeycode(Connection, keysym);
    XTestFakeKeyEvent(Connection, code, True, CurrentTime);
    XTestFakeKeyEvent(Connection, code, False, CurrentTime);
    Sync();
}

void XInput::TypeText(const std::string& text) {
    for (char c : text) TypeKey(static_cast<unsigned long>(static_cast<unsigned char>(c)));
}

void XInput::SendCloseRequest(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(Connection, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(Connection, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(Connection, window, False, NoEventMask, &event);
    Sync();
}

void XInput::Sync() {
    XSync(Connection, False);
}

namespace {

bool PidOf(Display* connection, Window window, long& pid) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(connection, "_NET_WM_PID", True);
    if (property == None) return false;
    if (XGetWindowProperty(connection, window, property, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                           &data) != Success ||
        data == nullptr) {
        return false;
    }
    const bool found = items == 1 && format == 32;
    if (found) pid = *reinterpret_cast<long*>(data);
    XFree(data);
    return found;
}

std::string TitleOf(Display* connection, Window window) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string title;
    const Atom property = XInternAtom(connection, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(connection, "UTF8_STRING", False);
    if (XGetWindowProperty(connection, window, property, 0, 1024, False, utf8, &type, &format, &items, &after, &data) ==
            Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<char*>(data), items);
        XFree(data);
    }
    return title;
}

}  // namespace

Window XInput::FindWindow(const std::string& title, long pid) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = None;
    if (XQueryTree(Connection, DefaultRootWindow(Connection), &root, &parent, &children, &count) == 0) return None;
    for (unsigned i = 0; i < count && found == None; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(Connection, children[i], &attributes) == 0 || attributes.map_state != IsViewable) {
            continue;
        }
        long windowPid = 0;
        if (PidOf(Connection, children[i], windowPid) && windowPid == pid && TitleOf(Connection, children[i]) == title) {
            found = children[i];
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

ScreenPoint XInput::OriginOf(Window window) {
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(Connection, window, DefaultRootWindow(Connection), 0, 0, &x, &y, &child);
    return {x, y};
}

void XInput::SizeOf(Window window, int& width, int& height) {
    XWindowAttributes attributes;
    XGetWindowAttributes(Connection, window, &attributes);
    width = attributes.width;
    height = attributes.height;
}

}  // namespace trainer_test
