// The animation window's projection.
#include "app/scene_projection.h"
#include "nimbra_gl.h"

// Before a context is current (WM_SIZE during window creation) these calls do nothing;
// OpenSceneWindow sets the real projection once the context is current.
void ResizeScene(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (GLdouble)width / (GLdouble)height, 0.1f, 50000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
