// Where the parts of a mapped DIB file lie, and whether they all lie inside it.
#pragma once
#include "nimbra_types.h"

// The outcome of checking a mapped file before anything reads its pixels.
enum DibCheck {
    DibOk,
    DibUnknownFormat,     // the headers are not a 12- or 40-byte DIB header, or do not fit
    DibUnconvertible,     // colour table, dimensions, format or pixel data are impossible
    DibTooLarge           // the 24-bit result is larger than the loader's bound (256 MiB)
};

struct DibLayout {
    const BYTE *header;   // the DIB header inside the view
    DWORD headerSize;     // 12 or 40
    WORD colorCount;      // colour table entries, as CountDibColors gives them
    const BYTE *colors;   // the colour table, right after the header
    const BYTE *bits;     // the pixel data
    DWORD bitsSize;       // bytes from bits to the end of the pixel data the conversion may read
    LONG width;
    LONG height;          // sign as in the header
    WORD bitCount;
    DWORD compression;
};

WORD ReadDibWord(const BYTE *p);
DWORD ReadDibDword(const BYTE *p);   // as two 16-bit halves, low half first

// Finds the header, colour table and pixel data of a file mapped at view with
// length bytes, and checks every extent against that length.
DibCheck LocateDib(const BYTE *view, DWORD length, DibLayout *layout);

// Fills the working header and colour table the conversion reads. info has room
// for 44 + 4 * layout.colorCount bytes.
void BuildWorkingInfo(const DibLayout &layout, BITMAPINFO *info);
