// The DIB loader on Linux: the Windows loader's steps and messages, with the file
// mapped by mmap and the pixels converted by ConvertDibPixels straight into the
// returned rows instead of through a GDI section. Its messages go to standard
// error, after the name of the file they are about. Only regular files are read:
// anything else (a FIFO would block the open until a writer came) is no picture.
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
    const char *fileName;
    int file = -1;
    const BYTE *view = nullptr;
    DWORD length = 0;
    BITMAPINFO *sourceInfo = nullptr;
    unsigned char *pixels = nullptr;
    RgbImage *image = nullptr;
};

bool Fail(const LoadState &s, const char *text)
{
    char line[4200];   // a texture path of up to 4096 bytes, and the longest text
    std::snprintf(line, sizeof line, "%s: %s", s.fileName, text);
    LoaderMessageBox(nullptr, line, "Error", MB_OK);
    return false;
}

// An empty file cannot be mapped, as on Windows; nor can one of 4 GB or more be
// measured with the loader's 32-bit lengths.
bool OpenView(LoadState *s)
{
    s->file = open(s->fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (s->file < 0) return false;
    struct stat info;
    if (fstat(s->file, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0 ||
        info.st_size > 0xFFFFFFFFLL)
        return false;
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
    if (check == DibUnknownFormat) return Fail(*s, UnknownFormat);
    if (check == DibUnconvertible) return Fail(*s, ConversionError);
    if (check == DibTooLarge) return Fail(*s, OutOfMemory);

    s->sourceInfo = static_cast<BITMAPINFO *>(std::malloc(44 + 4 * size_t(layout.colorCount)));
    if (!s->sourceInfo) return Fail(*s, OutOfMemory);
    BuildWorkingInfo(layout, s->sourceInfo);
    const DWORD rows = layout.height < 0 ? 0u - DWORD(layout.height) : DWORD(layout.height);
    s->pixels = static_cast<unsigned char *>(std::calloc(rows, size_t(layout.width) * 3));
    if (!s->pixels) return Fail(*s, OutOfMemory);
    if (!ConvertDibPixels(layout, s->sourceInfo, s->pixels)) return Fail(*s, ConversionError);

    RgbImage *image = static_cast<RgbImage *>(std::malloc(sizeof(RgbImage)));
    if (!image) return Fail(*s, OutOfMemory);
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

bool CanOpenImageFile(const char *fileName)
{
    const int file = open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) return false;
    struct stat info;
    const bool regular = fstat(file, &info) == 0 && S_ISREG(info.st_mode);
    close(file);
    return regular;
}

RgbImage *LoadDibImage(const char *fileName)
{
    LoadState s{fileName};
    const bool opened = OpenView(&s);
    if (opened) ConvertView(&s);
    ReleaseLoadState(&s);
    if (s.image) return s.image;
    std::free(s.pixels);
    if (!opened) {
        // This text names the file already.
        char text[4200];
        std::snprintf(text, sizeof text, "Failed to open DIB file %s.\n", fileName);
        LoaderMessageBox(nullptr, text, "Error", MB_OK);
    }
    return nullptr;
}
