// OpenGL 1.1 and GLU as Windows has them: its GL headers need windows.h first.
#pragma once
#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>
