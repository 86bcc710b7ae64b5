// The baseline of the start-up figure: the least a GLX program does before its
// first frame (display, the given window's visual, a context, one white frame),
// then it waits for SIGTERM.
//   minimal_glx WINDOW_ID
#include <GL/glx.h>
#include <X11/Xutil.h>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 2) return 2;
    Display *display = XOpenDisplay(nullptr);
    if (!display) return 1;
    const Window window = Window(std::strtoul(argv[1], nullptr, 0));
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    XVisualInfo wanted;
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo *visual = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
    GLXContext context = glXCreateContext(display, visual, nullptr, True);
    glXMakeCurrent(display, window, context);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glXSwapBuffers(display, window);
    glFinish();
    pause();
    return 0;
}
