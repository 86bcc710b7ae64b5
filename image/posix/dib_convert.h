// The portable conversion of a DIB's pixels into the loader's packed rows: what
// the Windows loader has GDI's SetDIBits and its own copy of the section do, for a
// platform without GDI.
#pragma once
#include "image/dib_layout.h"

// Converts the pixel data that layout locates, read by the working header and
// colour table in info (BuildWorkingInfo), into rows of red, green, blue triples
// with no gaps, in the source's row order. rows is zero-filled, as a new DIB
// section is; run-length data leaves the pixels it skips as they are. False for a
// format Windows' conversion refuses.
bool ConvertDibPixels(const DibLayout &layout, const BITMAPINFO *info, BYTE *rows);
