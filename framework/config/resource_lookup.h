// Strings that a saver may replace with its own: looked up in ClientInstance
// first, then in FrameworkModule.
#pragma once
#include <windows.h>

// Both return the length loaded, 0 when the string is in neither module.
int LoadClientString(UINT id, char *buffer, int capacity);
int LoadFrameworkString(UINT id, char *buffer, int capacity);
