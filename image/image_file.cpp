#include "image/dib_loader.h"

// A file that cannot be opened is no picture, quietly: the caller has its own
// message for a missing texture. One that opens goes to the platform's loader.
RgbImage *LoadImageFile(const char *fileName)
{
    if (!fileName || !CanOpenImageFile(fileName)) return nullptr;
    return LoadDibImage(fileName);
}
