#include "tests/editor/x_driver.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace editor_test {
namespace {

constexpr unsigned WheelUpButton = 4;
constexpr unsigned WheelDownButton = 5;
constexpr unsigned LeftButton = 1;

// _MOTIF_WM_HINTS holds flags, functions, decorations, input mode, status.
constexpr int MotifHintFields = 5;
constexpr unsigned long MotifFunctionsSet = 1;
constexpr unsigned long MotifDecorationsSet = 2;

bool ReadCardinalProperty(Display* connection, Window window, const char* name, long count,
                          unsigned long* values, Atom type = AnyPropertyType) {
    Atom actualType;
    int actualFormat;
    unsigned long items;
    unsigned long bytesAfter;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(connection, name, False);
    if (XGetWindowProperty(connection, window, property, 0, count, False, type, &actualType, &actualFormat,
                           &items, &bytesAfter, &data) != Success ||
        data == nullptr) {
        return false;
    }
    const bool complete = actualFormat == 32 && items == static_cast<unsigned long>(count);
    if (complete) {
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        for (long i = 0; i < count; ++i) {
            values[i] = longs[i];
        }
    }
    XFree(data);
    return complete;
}

}  // namespace

void XDriver::MoveTo(ScreenPoint point) {
    XTestFakeMotionEvent(Connection, DefaultScreen(Connection), point.X, point.Y, CurrentTime);
    Sync();
}

void XDriver::PressButton(unsigned button) {
    XTestFakeButtonEvent(Connection, button, True, CurrentTime);
    Sync();
}

void XDriver::ReleaseButton(unsigned button) {
    XTestFakeButtonEvent(Connection, button, False, CurrentTime);
    Sync();
}

void XDriver::Click(ScreenPoint point) {
    MoveTo(point);
    PressButton(LeftButton);
    ReleaseButton(LeftButton);
}

void XDriver::Scroll(ScreenPoint point, bool up) {
    MoveTo(point);
    const unsigned button = up ? WheelUpButton : WheelDownButton;
    PressButton(button);
    ReleaseButton(button);
}

void XDriver::TypeKey(unsigned long keysym) {
    const KeyCode code = XKeysymToKeycode(Connection, keysym);
    XTestFakeKeyEvent(Connection, code, True, CurrentTime);
    XTestFakeKeyEvent(Connection, code, False, CurrentTime);
    Sync();
}

void XDriver::SendCloseRequest(Window window) {
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

void XDriver::Resize(Window window, int width, int height) {
    XResizeWindow(Connection, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    Sync();
}

void XDriver::Sync() {
    XSync(Connection, False);
}

Window XDriver::FindWindow(const std::string& title, long pid) {
    Window root;
    Window parent;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(Connection, DefaultRootWindow(Connection), &root, &parent, &children, &count)) {
        return None;
    }
    Window found = None;
    for (unsigned i = 0; i < count && found == None; ++i) {
        unsigned long windowPid = 0;
        const bool pidMatches =
            pid == 0 || (ReadCardinalProperty(Connection, children[i], "_NET_WM_PID", 1, &windowPid, XA_CARDINAL) &&
                         windowPid == static_cast<unsigned long>(pid));
        if (pidMatches && TitleOf(children[i]) == title) {
            found = children[i];
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

ScreenPoint XDriver::OriginOf(Window window) {
    int x = 0;
    int y = 0;
    Window child;
    XTranslateCoordinates(Connection, window, DefaultRootWindow(Connection), 0, 0, &x, &y, &child);
    return {x, y};
}

std::string XDriver::TitleOf(Window window) {
    XTextProperty property{};
    std::string title;
    const Atom netName = XInternAtom(Connection, "_NET_WM_NAME", False);
    if (XGetTextProperty(Connection, window, &property, netName) && property.value != nullptr) {
        title.assign(reinterpret_cast<const char*>(property.value), property.nitems);
        XFree(property.value);
    }
    return title;
}

unsigned long XDriver::PixelAt(Window window, int x, int y) {
    XImage* image = XGetImage(Connection, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return 0;
    }
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel;
}

bool XDriver::MotifHints(Window window, unsigned long& functions, unsigned long& decorations) {
    unsigned long hints[MotifHintFields] = {};
    if (!ReadCardinalProperty(Connection, window, "_MOTIF_WM_HINTS", MotifHintFields, hints)) {
        return false;
    }
    functions = (hints[0] & MotifFunctionsSet) != 0 ? hints[1] : 0;
    decorations = (hints[0] & MotifDecorationsSet) != 0 ? hints[2] : 0;
    return true;
}

}  // namespace editor_test
