// Strings that a saver may replace with its own: looked up in ClientInstance
// first, then in FrameworkModule.
#pragma once
#include <windows.h>

// Room for a name from the string table (a registry name, a library or routine):
// 99 characters and the terminator. The framework's names come from its own
// table, never from the saver's.
const int NameCapacity = 100;

// Both return the length loaded, 0 when the string is in neither module.
int LoadClientString(UINT id, char *buffer, int capacity);
int LoadFrameworkString(UINT id, char *buffer, int capacity);
