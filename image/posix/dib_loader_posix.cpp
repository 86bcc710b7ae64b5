// The DIB loader on Linux: the Windows loader's steps and messages, with the file
// mapped by mmap and the pixels converted by ConvertDibPixels straight into the
// returned rows instead of through a GDI section. Its messages go to standard
// error.
#include "image/dib_layout.h"
#include "image/dib_loader.h"
#include "image/posix/dib_convert.h"
#include "platform/linux/messages.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const OutOfMemory = "Out of memory.";
const char *const UnknownFormat = "Unknown DIB file format.";
const char *const ConversionError = "Image file conversion error.";

int WINAPI PrintLoaderMessage(HWND, LPCSTR text, LPCSTR, UINT)
{
    PrintMessage(text);
    return 1;
}

// Everything one load holds. Each member exists only once its step succeeded.
struct LoadState {
    int file = -1;
    const BYTE *view = nullptr;
    DWORD length = 0;
    BITMAPINFO *sourceInfo = nullptr;
    unsigned char *pixels = nullptr;
    RgbImage *image = nullptr;
};

bool Fail(const char *text)
{
    LoaderMessageBox(nullptr, text, "Error", MB_OK);
    return false;
}

// An empty file cannot be mapped, as on Windows; nor can one of 4 GB or more be
// measured with the loader's 32-bit lengths.
bool OpenView(LoadState *s, const char *fileName)
{
    s->file = open(fileName, O_RDONLY | O_CLOEXEC);
    if (s->file < 0) return false;
    struct stat info;
    if (fstat(s->file, &info) != 0 || info.st_size <= 0 || info.st_size > 0xFFFFFFFFLL) return false;
    void *view = mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE, s->file, 0);
    if (view == MAP_FAILED) return false;
    s->view = static_cast<const BYTE *>(view);
    s->length = DWORD(info.st_size);
    return true;
}

bool ConvertView(LoadState *s)
{
    DibLayout layout{};
    const DibCheck check = LocateDib(s->view, s->length, &layout);
    if (check == DibUnknownFormat) return Fail(UnknownFormat);
    if (check == DibUnconvertible) return Fail(ConversionError);
    if (check == DibTooLarge) return Fail(OutOfMemory);

    s->sourceInfo = static_cast<BITMAPINFO *>(std::malloc(44 + 4 * size_t(layout.colorCount)));
    if (!s->sourceInfo) return Fail(OutOfMemory);
    BuildWorkingInfo(layout, s->sourceInfo);
    const DWORD rows = layout.height < 0 ? 0u - DWORD(layout.height) : DWORD(layout.height);
    s->pixels = static_cast<unsigned char *>(std::calloc(rows, size_t(layout.width) * 3));
    if (!s->pixels) return Fail(OutOfMemory);
    if (!ConvertDibPixels(layout, s->sourceInfo, s->pixels)) return Fail(ConversionError);

    RgbImage *image = static_cast<RgbImage *>(std::malloc(sizeof(RgbImage)));
    if (!image) return Fail(OutOfMemory);
    image->width = layout.width;
    image->height = layout.height;
    image->pixels = s->pixels;
    s->image = image;
    return true;
}

void ReleaseLoadState(LoadState *s)
{
    std::free(s->sourceInfo);
    if (s->view) munmap(const_cast<BYTE *>(s->view), s->length);
    if (s->file >= 0) close(s->file);
}

} // namespace

int (WINAPI *LoaderMessageBox)(HWND, LPCSTR, LPCSTR, UINT) = PrintLoaderMessage;

RgbImage *LoadDibImage(const char *fileName)
{
    LoadState s;
    const bool opened = OpenView(&s, fileName);
    if (opened) ConvertView(&s);
    ReleaseLoadState(&s);
    if (s.image) return s.image;
    std::free(s.pixels);
    if (!opened) {
        char text[1024];   // as long as the Windows program's message can be
        std::snprintf(text, sizeof text, "Failed to open DIB file %s.\n", fileName);
        Fail(text);
    }
    return nullptr;
}
