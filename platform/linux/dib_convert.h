// The portable conversion of a DIB's pixels into 24-bit rows: what the Windows
// loader has GDI's SetDIBits do, for a platform without it.
#pragma once
#include "image/dib_layout.h"

// Converts the pixel data that layout locates, read by the working header and
// colour table in info (BuildWorkingInfo), into rows of blue, green, red, each
// padded to 4 bytes, in the source's row order. rows is zero-filled, as a new DIB
// section is; run-length data leaves the pixels it skips as they are. False when
// the conversion converts nothing: a format it does not take, or run-length data
// that draws no line.
bool ConvertDibPixels(const DibLayout &layout, const BITMAPINFO *info, BYTE *rows);
