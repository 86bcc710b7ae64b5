#include "app/gl_window.h"
