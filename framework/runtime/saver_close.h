// The close and active-configuration sequences of the default saver procedure.
#pragma once
#include <windows.h>

const char *SaverTag(HWND hwnd);   // "full DefSaverProc" or "preview DefSaverProc"
void PostClose(HWND hwnd);
void RunCloseSequence(HWND hwnd);
void RunActiveConfig(HWND hwnd);
