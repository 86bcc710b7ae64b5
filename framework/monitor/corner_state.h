// Corner states as kept in the monitor control's style bits: two bits per
// corner, NOW then NEV, starting at bit 4 in the order top-left, top-right,
// bottom-right, bottom-left.
#pragma once
#include <windows.h>

enum { CORNER_DEFAULT = 0, CORNER_NOW = 1, CORNER_NEVER = 2 };

int DecodeCornerState(LONG style, int corner);   // both bits or neither: default
LONG EncodeCornerStates(LONG style, const int states[4]);
