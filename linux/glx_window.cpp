// Opening and closing the GL window on X: display, target window, visual, context,
// in that order and back. Nothing is grabbed: the program only listens to its own
// window's events.
#include "linux/glx_window.h"
#include "platform/linux/messages.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

Display *SceneDisplay = nullptr;
Window SceneDrawable = 0;
GLXContext SceneContext = nullptr;

namespace {

const char SceneTitle[] = "Nimbra by Tamsin Quell - http://www.example.org/nimbra/";

Window targetWindow = 0;      // the window given, or the root window; 0 for our own
Window ownWindow = 0;         // a window this program made (its own, or a child of the target)
Atom deleteWindowMessage = 0;
bool windowLost = false;

// A window that goes away under the program (the daemon ends the saver) shows up as
// an error on the next request; the animation then ends.
int NoteXError(Display *, XErrorEvent *)
{
    windowLost = true;
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
    XVisualInfo *info = XGetVisualInfo(SceneDisplay, VisualIDMask, &wanted, &count);
    if (!info) return nullptr;
    int gl = 0, doubleBuffer = 0, rgba = 0, depth = 0;
    glXGetConfig(SceneDisplay, info, GLX_USE_GL, &gl);
    glXGetConfig(SceneDisplay, info, GLX_DOUBLEBUFFER, &doubleBuffer);
    glXGetConfig(SceneDisplay, info, GLX_RGBA, &rgba);
    glXGetConfig(SceneDisplay, info, GLX_DEPTH_SIZE, &depth);
    if (gl && doubleBuffer && rgba && depth >= 16) return info;
    XFree(info);
    return nullptr;
}

Window CreateWindowWithVisual(Window parent, const XVisualInfo *visual, int width, int height, long events)
{
    XSetWindowAttributes attributes;
    attributes.colormap = XCreateColormap(SceneDisplay, parent, visual->visual, AllocNone);
    attributes.background_pixel = BlackPixel(SceneDisplay, visual->screen);
    attributes.border_pixel = 0;
    attributes.event_mask = events;
    return XCreateWindow(SceneDisplay, parent, 0, 0, unsigned(width), unsigned(height), 0, visual->depth,
                         InputOutput, visual->visual, CWColormap | CWBackPixel | CWBorderPixel | CWEventMask,
                         &attributes);
}

void NameOwnWindow()
{
    XStoreName(SceneDisplay, ownWindow, SceneTitle);
    deleteWindowMessage = XInternAtom(SceneDisplay, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(SceneDisplay, ownWindow, &deleteWindowMessage, 1);
}

const char *const NoWindow = "Window Creation Error.";
const char *const NoVisual = "Can't Find A Suitable PixelFormat.";

// Our own 800 x 600 top-level window, with Escape and the close button.
XVisualInfo *CreateOwnWindow(int *width, int *height, const char **failure)
{
    XVisualInfo *visual = glXChooseVisual(SceneDisplay, DefaultScreen(SceneDisplay), doubleBufferedVisual);
    if (!visual) {
        *failure = NoVisual;
        return nullptr;
    }
    *width = 800;
    *height = 600;
    ownWindow = CreateWindowWithVisual(DefaultRootWindow(SceneDisplay), visual, *width, *height,
                                       StructureNotifyMask | KeyPressMask);
    NameOwnWindow();
    XMapWindow(SceneDisplay, ownWindow);
    SceneDrawable = ownWindow;
    return visual;
}

// The given window (or the root window) itself, or a child that covers it when its
// visual is not one the GL can draw into double-buffered. A window that does not
// exist is reported as a window that could not be made.
XVisualInfo *UseTargetWindow(Window target, int *width, int *height, const char **failure)
{
    XWindowAttributes attributes;
    *failure = NoWindow;
    if (!XGetWindowAttributes(SceneDisplay, target, &attributes) || windowLost) return nullptr;
    *failure = NoVisual;
    targetWindow = target;
    *width = attributes.width;
    *height = attributes.height;
    // Only the target's size and end are of interest: no input is asked for.
    XSelectInput(SceneDisplay, target, StructureNotifyMask);
    XVisualInfo *visual = TargetVisual(attributes);
    if (visual) {
        SceneDrawable = target;
        return visual;
    }
    visual = glXChooseVisual(SceneDisplay, XScreenNumberOfScreen(attributes.screen), doubleBufferedVisual);
    if (!visual) return nullptr;
    ownWindow = CreateWindowWithVisual(target, visual, *width, *height, 0);
    XMapWindow(SceneDisplay, ownWindow);
    SceneDrawable = ownWindow;
    return visual;
}

bool FailOpening(const char *text)
{
    CloseGlxWindow();
    PrintMessage(text);
    return false;
}

} // namespace

bool OpenGlxWindow(const SaverOptions &options, int *width, int *height)
{
    SceneDisplay = XOpenDisplay(nullptr);
    if (!SceneDisplay) return FailOpening("Can't Open The X Display.");
    XSetErrorHandler(NoteXError);
    XVisualInfo *visual = nullptr;
    const char *failure = NoWindow;
    switch (options.target) {
    case SaverOptions::OwnWindow:
        visual = CreateOwnWindow(width, height, &failure);
        break;
    case SaverOptions::RootWindow:
        visual = UseTargetWindow(DefaultRootWindow(SceneDisplay), width, height, &failure);
        break;
    case SaverOptions::GivenWindow:
        visual = UseTargetWindow(Window(options.windowId), width, height, &failure);
        break;
    }
    if (!visual) return FailOpening(failure);
    SceneContext = glXCreateContext(SceneDisplay, visual, nullptr, True);
    XFree(visual);
    if (!SceneContext) return FailOpening("Can't Create A GL Rendering Context.");
    if (!glXMakeCurrent(SceneDisplay, SceneDrawable, SceneContext) || windowLost)
        return FailOpening("Can't Activate The GL Rendering Context.");
    ResizeScene(*width, *height);
    return true;
}

void CloseGlxWindow()
{
    if (SceneContext) {
        glXMakeCurrent(SceneDisplay, None, nullptr);
        glXDestroyContext(SceneDisplay, SceneContext);
        SceneContext = nullptr;
    }
    if (ownWindow && !windowLost) XDestroyWindow(SceneDisplay, ownWindow);
    ownWindow = targetWindow = SceneDrawable = 0;
    if (SceneDisplay) {
        XCloseDisplay(SceneDisplay);
        SceneDisplay = nullptr;
    }
    windowLost = false;
}

bool HandleWindowEvents(int *width, int *height)
{
    while (!windowLost && XPending(SceneDisplay)) {
        XEvent event;
        XNextEvent(SceneDisplay, &event);
        switch (event.type) {
        case ConfigureNotify:
            if (event.xconfigure.window != (targetWindow ? targetWindow : ownWindow)) break;
            if (event.xconfigure.width == *width && event.xconfigure.height == *height) break;
            *width = event.xconfigure.width;
            *height = event.xconfigure.height;
            if (targetWindow && ownWindow) XResizeWindow(SceneDisplay, ownWindow, unsigned(*width), unsigned(*height));
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
