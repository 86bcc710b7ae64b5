// The Linux program's GL window: the window it is given (by id, or the root
// window), or an 800 x 600 window of its own, with a current GLX context.
#pragma once
#include "app/scene_projection.h"
#include "linux/saver_options.h"

// True with the context current and the size in width and height; false after
// its message has been printed and whatever was built is released again.
bool OpenGlxWindow(const SaverOptions &options, int *width, int *height);
// Releases the context, the windows and the colormap this program made, puts the
// X error handler back and closes the display connection.
void CloseGlxWindow();

// Handles what the X server has sent: a new size (given in width and height, and
// passed to ResizeScene), Escape or the close button on the program's own window,
// and the window's end. False when the animation must end.
bool HandleWindowEvents(int *width, int *height);
// The connection's file descriptor, readable when the server has sent something,
// and whether events already wait in the program (after flushing its requests).
int WindowConnectionFd();
bool WindowEventsWaiting();
