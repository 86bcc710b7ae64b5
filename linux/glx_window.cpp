// Opening and closing the GL window on X: display, target window, visual, context,
// in that order and back. Nothing is grabbed: the program only listens to its own
// window's events.
#include "linux/glx_window.h"
#include "platform/linux/messages.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cstdio>
#include <unistd.h>

namespace {

const char SceneTitle[] = "Nimbra";

Display *display = nullptr;
Window drawable = 0;          // the window the context draws into
GLXContext context = nullptr;
Window targetWindow = 0;      // the window given, or the root window; 0 for our own
Window ownWindow = 0;         // a window this program made (its own, or a child of the target)
Colormap ownColormap = 0;
Atom deleteWindowMessage = 0;
bool windowLost = false;
int errorCount = 0;
int (*previousErrorHandler)(Display *, XErrorEvent *) = nullptr;

// An error about the target window or the window made in it means that it went
// away under the program (the daemon ends the saver): the animation then ends.
// Any other error is reported and survived.
int NoteXError(Display *errorDisplay, XErrorEvent *error)
{
    ++errorCount;
    if (error->resourceid && (error->resourceid == targetWindow || error->resourceid == ownWindow)) {
        windowLost = true;
        return 0;
    }
    char text[160];
    XGetErrorText(errorDisplay, error->error_code, text, sizeof text);
    std::fprintf(stderr, "nimbra: X error: %s (request %d.%d, resource 0x%lx)\n", text, error->request_code,
                 error->minor_code, error->resourceid);
    return 0;
}

int doubleBufferedVisual[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1,
                              GLX_BLUE_SIZE, 1, GLX_DEPTH_SIZE, 16, None};

// The target's own visual when the GL can draw into it double-buffered with a
// depth buffer; otherwise null, and the program draws into a child window.
XVisualInfo *TargetVisual(const XWindowAttributes &attributes)
{
    XVisualInfo wanted;
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo *info = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
    if (!info) return nullptr;
    int gl = 0, doubleBuffer = 0, rgba = 0, depth = 0;
    glXGetConfig(display, info, GLX_USE_GL, &gl);
    glXGetConfig(display, info, GLX_DOUBLEBUFFER, &doubleBuffer);
    glXGetConfig(display, info, GLX_RGBA, &rgba);
    glXGetConfig(display, info, GLX_DEPTH_SIZE, &depth);
    if (gl && doubleBuffer && rgba && depth >= 16) return info;
    XFree(info);
    return nullptr;
}

// A child of another program's window is override-redirect, so that a window
// manager leaves it alone when that window is the root window.
void CreateWindowWithVisual(Window parent, const XVisualInfo *visual, int width, int height, long events, bool child)
{
    ownColormap = XCreateColormap(display, parent, visual->visual, AllocNone);
    XSetWindowAttributes attributes;
    attributes.colormap = ownColormap;
    attributes.background_pixel = BlackPixel(display, visual->screen);
    attributes.border_pixel = 0;
    attributes.event_mask = events;
    attributes.override_redirect = child;
    ownWindow = XCreateWindow(display, parent, 0, 0, unsigned(width), unsigned(height), 0, visual->depth,
                              InputOutput, visual->visual,
                              CWColormap | CWBackPixel | CWBorderPixel | CWEventMask | CWOverrideRedirect,
                              &attributes);
    XClassHint classHint = {const_cast<char *>("nimbra"), const_cast<char *>("Nimbra")};
    XSetClassHint(display, ownWindow, &classHint);
    const long pid = getpid();
    XChangeProperty(display, ownWindow, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(&pid), 1);
}

void NameOwnWindow()
{
    XStoreName(display, ownWindow, SceneTitle);
    deleteWindowMessage = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, ownWindow, &deleteWindowMessage, 1);
}

// Waits for the server's answer to everything so far: an error in the window's
// creation shows here, not later as another message.
bool WindowMade()
{
    const int errorsBefore = errorCount;
    XSync(display, False);
    return !windowLost && errorCount == errorsBefore;
}

const char *const NoWindow = "Window Creation Error.";
const char *const NoVisual = "Can't Find A Suitable PixelFormat.";

// Our own 800 x 600 top-level window, with Escape and the close button.
XVisualInfo *CreateOwnWindow(int *width, int *height, const char **failure)
{
    XVisualInfo *visual = glXChooseVisual(display, DefaultScreen(display), doubleBufferedVisual);
    if (!visual) {
        *failure = NoVisual;
        return nullptr;
    }
    *width = 800;
    *height = 600;
    CreateWindowWithVisual(DefaultRootWindow(display), visual, *width, *height, StructureNotifyMask | KeyPressMask,
                           false);
    NameOwnWindow();
    XMapWindow(display, ownWindow);
    drawable = ownWindow;
    if (WindowMade()) return visual;
    XFree(visual);
    *failure = NoWindow;
    return nullptr;
}

// The given window (or the root window) itself, or a child that covers it when its
// visual is not one the GL can draw into double-buffered. A window that does not
// exist is reported as a window that could not be made.
XVisualInfo *UseTargetWindow(Window target, int *width, int *height, const char **failure)
{
    XWindowAttributes attributes;
    *failure = NoWindow;
    targetWindow = target;
    if (!XGetWindowAttributes(display, target, &attributes) || windowLost) return nullptr;
    *failure = NoVisual;
    *width = attributes.width;
    *height = attributes.height;
    // Only the target's size and end are of interest: no input is asked for.
    XSelectInput(display, target, StructureNotifyMask);
    XVisualInfo *visual = TargetVisual(attributes);
    if (visual) {
        drawable = target;
        return visual;
    }
    visual = glXChooseVisual(display, XScreenNumberOfScreen(attributes.screen), doubleBufferedVisual);
    if (!visual) return nullptr;
    CreateWindowWithVisual(target, visual, *width, *height, 0, true);
    XMapWindow(display, ownWindow);
    drawable = ownWindow;
    if (WindowMade()) return visual;
    XFree(visual);
    *failure = NoWindow;
    return nullptr;
}

bool FailOpening(const char *text)
{
    CloseGlxWindow();
    PrintMessage(text);
    return false;
}

// The window's new size, when it is one.
bool TakeNewSize(const XConfigureEvent &event, int *width, int *height)
{
    if (event.window != (targetWindow ? targetWindow : ownWindow)) return false;
    if (event.width == *width && event.height == *height) return false;
    *width = event.width;
    *height = event.height;
    return true;
}

} // namespace

bool OpenGlxWindow(const SaverOptions &options, int *width, int *height)
{
    display = XOpenDisplay(nullptr);
    if (!display) return FailOpening("Can't Open The X Display.");
    previousErrorHandler = XSetErrorHandler(NoteXError);
    XVisualInfo *visual = nullptr;
    const char *failure = NoWindow;
    switch (options.target) {
    case SaverOptions::OwnWindow:
        visual = CreateOwnWindow(width, height, &failure);
        break;
    case SaverOptions::RootWindow:
        visual = UseTargetWindow(DefaultRootWindow(display), width, height, &failure);
        break;
    case SaverOptions::GivenWindow:
        visual = UseTargetWindow(Window(options.windowId), width, height, &failure);
        break;
    }
    if (!visual) return FailOpening(failure);
    context = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    if (!context) return FailOpening("Can't Create A GL Rendering Context.");
    if (!glXMakeCurrent(display, drawable, context) || windowLost)
        return FailOpening("Can't Activate The GL Rendering Context.");
    ResizeScene(*width, *height);
    return true;
}

void CloseGlxWindow()
{
    if (context) {
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, context);
        context = nullptr;
    }
    if (ownWindow && !windowLost) XDestroyWindow(display, ownWindow);
    if (ownColormap) XFreeColormap(display, ownColormap);
    if (display) {
        // Errors of the last requests still reach this program's handler.
        XSync(display, False);
        XSetErrorHandler(previousErrorHandler);
        XCloseDisplay(display);
        display = nullptr;
    }
    ownWindow = targetWindow = drawable = 0;
    ownColormap = 0;
    previousErrorHandler = nullptr;
    windowLost = false;
}

bool HandleWindowEvents(int *width, int *height)
{
    while (!windowLost && XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case ConfigureNotify:
            if (!TakeNewSize(event.xconfigure, width, height)) break;
            if (targetWindow && ownWindow) XResizeWindow(display, ownWindow, unsigned(*width), unsigned(*height));
            ResizeScene(*width, *height);
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == targetWindow || event.xdestroywindow.window == ownWindow)
                windowLost = true;
            break;
        case KeyPress:
            if (XLookupKeysym(&event.xkey, 0) == XK_Escape) return false;
            break;
        case ClientMessage:
            if (Atom(event.xclient.data.l[0]) == deleteWindowMessage) return false;
            break;
        }
    }
    return !windowLost;
}

int WindowConnectionFd()
{
    return ConnectionNumber(display);
}

bool WindowEventsWaiting()
{
    return XEventsQueued(display, QueuedAfterFlush) > 0;
}
