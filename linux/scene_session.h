// The scene's whole life in the program, the benchmark and the tests: OpenScene
// seeds the random sequence, opens the GL window, loads the textures once and
// sets the scene up; CloseScene frees what it made, in reverse order.
#pragma once
#include "linux/saver_options.h"

// True with the scene ready to draw and the window's size in width and height;
// false after its message has been printed and everything released again.
bool OpenScene(const SaverOptions &options, int *width, int *height);
void CloseScene();
