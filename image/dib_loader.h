// Reads Windows device-independent bitmap files into packed RGB images.
#pragma once
#include "nimbra_types.h"

struct RgbImage {
    LONG width;
    LONG height;              // sign as in the file's header
    unsigned char *pixels;    // width x |height| RGB triples, bottom row first for bottom-up files
};

RgbImage *LoadImageFile(const char *fileName);   // null (quietly) when the file cannot be opened
RgbImage *LoadDibImage(const char *fileName);
// Whether LoadImageFile goes on to the loader: on Windows, whether fopen opens the
// file; on Linux, whether it is a regular file that opens (without waiting: a FIFO
// would block the open until a writer came).
bool CanOpenImageFile(const char *fileName);
WORD CountDibColors(const void *dibHeader);

// The message box the loader reports its errors through (MessageBoxA). A test that
// provokes thousands of failures in a row may answer it directly instead of
// waiting for a real box each time.
extern int (WINAPI *LoaderMessageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
