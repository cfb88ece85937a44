#include "tests/support/x_driver.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace support {
namespace {

constexpr unsigned WheelUpButton = 4;
constexpr unsigned WheelDownButton = 5;

// _MOTIF_WM_HINTS holds flags, functions, decorations, input mode, status.
constexpr int MotifHintFields = 5;
constexpr unsigned long MotifFunctionsSet = 1;
constexpr unsigned long MotifDecorationsSet = 2;

constexpr long LongestTitle = 1024;  // in 32-bit units, as XGetWindowProperty counts

bool ReadCardinalProperty(Display* connection, Window window, const char* name, long count, unsigned long* values,
                          Atom type = AnyPropertyType) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long items = 0;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(connection, name, False);
    if (XGetWindowProperty(connection, window, property, 0, count, False, type, &actualType, &actualFormat, &items,
                           &bytesAfter, &data) != Success ||
        data == nullptr) {
        return false;
    }
    const bool complete = actualFormat == 32 && items == static_cast<unsigned long>(count);
    if (complete) {
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        for (long i = 0; i < count; ++i) values[i] = longs[i];
    }
    XFree(data);
    return complete;
}

// While it lives, X errors are counted instead of ending the process: a window
// of another process may go away while a test reads it.
class ErrorTrap {
  public:
    explicit ErrorTrap(Display* connection) : Connection(connection) {
        XSync(Connection, False);
        Errors = 0;
        Previous = XSetErrorHandler(CountError);
    }
    ~ErrorTrap() {
        XSync(Connection, False);
        XSetErrorHandler(Previous);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool Failed() {
        XSync(Connection, False);
        return Errors != 0;
    }

  private:
    static int CountError(Display*, XErrorEvent*) {
        ++Errors;
        return 0;
    }

    static inline int Errors = 0;  // Xlib's handler takes no context
    Display* Connection;
    XErrorHandler Previous = nullptr;
};

// The pixels of an area of a window; nullptr when the window cannot be read
// there (gone, unmapped or the area outside it).
XImage* ReadArea(Display* connection, Window window, const ClientArea& area) {
    ErrorTrap trap(connection);
    XImage* image = XGetImage(connection, window, area.X, area.Y, static_cast<unsigned>(area.Width),
                              static_cast<unsigned>(area.Height), AllPlanes, ZPixmap);
    if (trap.Failed() && image != nullptr) {
        XDestroyImage(image);
        image = nullptr;
    }
    return image;
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

void XDriver::Click(ScreenPoint point, unsigned button) {
    MoveTo(point);
    PressButton(button);
    ReleaseButton(button);
}

void XDriver::Scroll(ScreenPoint point, bool up) { Click(point, up ? WheelUpButton : WheelDownButton); }

void XDriver::TypeKey(unsigned long keysym) {
    const KeyCode code = XKeysymToKeycode(Connection, keysym);
    XTestFakeKeyEvent(Connection, code, True, CurrentTime);
    XTestFakeKeyEvent(Connection, code, False, CurrentTime);
    Sync();
}

void XDriver::TypeText(const std::string& text) {
    for (char c : text) TypeKey(static_cast<unsigned long>(static_cast<unsigned char>(c)));
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

void XDriver::DestroyWindow(Window window) {
    XDestroyWindow(Connection, window);
    Sync();
}

void XDriver::KillClientOf(Window window) {
    XKillClient(Connection, window);
    Sync();
}

void XDriver::Resize(Window window, int width, int height) {
    XResizeWindow(Connection, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    Sync();
}

void XDriver::Sync() { XSync(Connection, False); }

Window XDriver::FindWindow(const std::string& title, long pid) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(Connection, DefaultRootWindow(Connection), &root, &parent, &children, &count) == 0) return None;
    Window found = None;
    for (unsigned i = 0; i < count && found == None; ++i) {
        unsigned long windowPid = 0;
        const bool pidMatches =
            pid == 0 || (ReadCardinalProperty(Connection, children[i], "_NET_WM_PID", 1, &windowPid, XA_CARDINAL) &&
                         windowPid == static_cast<unsigned long>(pid));
        if (pidMatches && TitleOf(children[i]) == title && IsOnScreen(children[i])) found = children[i];
    }
    if (children != nullptr) XFree(children);
    return found;
}

bool XDriver::IsOnScreen(Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(Connection, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

ScreenPoint XDriver::OriginOf(Window window) {
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(Connection, window, DefaultRootWindow(Connection), 0, 0, &x, &y, &child);
    return {x, y};
}

void XDriver::SizeOf(Window window, int& width, int& height) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(Connection, window, &attributes);
    width = attributes.width;
    height = attributes.height;
}

std::string XDriver::TitleOf(Window window) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string title;
    const Atom property = XInternAtom(Connection, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(Connection, "UTF8_STRING", False);
    if (XGetWindowProperty(Connection, window, property, 0, LongestTitle, False, utf8, &type, &format, &items, &after,
                           &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<const char*>(data), items);
        XFree(data);
    }
    return title;
}

unsigned long XDriver::PixelAt(Window window, int x, int y) {
    XImage* image = ReadArea(Connection, window, {x, y, 1, 1});
    if (image == nullptr) return 0;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel;
}

bool XDriver::ShowsDrawing(Window window, const ClientArea& area) {
    XImage* image = ReadArea(Connection, window, area);
    if (image == nullptr) return false;
    const unsigned long first = XGetPixel(image, 0, 0);
    bool drawn = false;
    for (int y = 0; y < area.Height && !drawn; ++y) {
        for (int x = 0; x < area.Width && !drawn; ++x) drawn = XGetPixel(image, x, y) != first;
    }
    XDestroyImage(image);
    return drawn;
}

bool XDriver::MotifHints(Window window, unsigned long& functions, unsigned long& decorations) {
    unsigned long hints[MotifHintFields] = {};
    if (!ReadCardinalProperty(Connection, window, "_MOTIF_WM_HINTS", MotifHintFields, hints)) return false;
    functions = (hints[0] & MotifFunctionsSet) != 0 ? hints[1] : 0;
    decorations = (hints[0] & MotifDecorationsSet) != 0 ? hints[2] : 0;
    return true;
}

}  // namespace support
