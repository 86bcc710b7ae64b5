#include "image/dib_loader.h"

#include <cstdio>

// A file that cannot be opened is no picture, quietly: the caller has its own
// message for a missing texture. One that opens goes to the platform's loader.
RgbImage *LoadImageFile(const char *fileName)
{
    if (!fileName) return nullptr;
    FILE *probe = std::fopen(fileName, "r");
    if (!probe) return nullptr;
    std::fclose(probe);
    return LoadDibImage(fileName);
}
