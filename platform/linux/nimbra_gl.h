// OpenGL 1.1 and GLU from Debian's libgl-dev and libglu1-mesa-dev.
#pragma once
#include <GL/gl.h>
#include <GL/glu.h>
