#include "image/dib_loader.h"
#include "image/dib_layout.h"
#include <cstdio>
#include <cstdlib>

namespace {

const char *const OutOfMemory = "Out of memory.";
const char *const UnknownFormat = "Unknown DIB file format.";
const char *const ConversionError = "Image file conversion error.";
const DWORD TargetHeaderSize = 44;

// Everything one load holds. Each member exists only once its step succeeded.
struct LoadState {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE mapping = nullptr;
    const BYTE *view = nullptr;
    DWORD length = 0;
    BITMAPINFO *sourceInfo = nullptr;
    HDC memoryDc = nullptr;
    BITMAPINFO *targetInfo = nullptr;
    HBITMAP section = nullptr;
    const BYTE *sectionBits = nullptr;
    unsigned char *pixels = nullptr;
    RgbImage *image = nullptr;
};

bool Fail(const char *text)
{
    LoaderMessageBox(GetFocus(), text, "Error", MB_OK);
    return false;
}

// A file that is already open for writing elsewhere cannot be opened here, and
// nobody can write it while it is open here, so its length stays what it was.
bool OpenView(LoadState *s, const char *fileName)
{
    s->file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (s->file == INVALID_HANDLE_VALUE) return false;
    s->mapping = CreateFileMappingA(s->file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!s->mapping) return false;
    s->view = static_cast<const BYTE *>(MapViewOfFile(s->mapping, FILE_MAP_READ, 0, 0, 0));
    if (!s->view) return false;
    DWORD high = 0;
    s->length = GetFileSize(s->file, &high);
    return high == 0 && s->length != INVALID_FILE_SIZE;
}

bool CreateTarget(LoadState *s, const DibLayout &layout)
{
    s->memoryDc = CreateCompatibleDC(nullptr);
    if (!s->memoryDc) return false;
    s->targetInfo = static_cast<BITMAPINFO *>(LocalAlloc(LPTR, TargetHeaderSize));
    if (!s->targetInfo) return false;
    BITMAPINFOHEADER &h = s->targetInfo->bmiHeader;
    const DWORD rows = layout.height < 0 ? 0u - DWORD(layout.height) : DWORD(layout.height);
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = layout.width;
    h.biHeight = layout.height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = rows * DWORD(layout.width) * 3;
    void *bits = nullptr;
    s->section = CreateDIBSection(s->memoryDc, s->targetInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!s->section || !bits) return false;
    s->sectionBits = static_cast<const BYTE *>(bits);
    return SelectObject(s->memoryDc, s->section) != nullptr;
}

// The section holds blue, green, red per pixel, each row padded to 4 bytes.
// Rows are copied in memory order, which is the header's row order.
void CopySectionRows(const LoadState &s, LONG width, DWORD rows)
{
    const BYTE *in = s.sectionBits;
    unsigned char *out = s.pixels;
    for (DWORD y = 0; y < rows; ++y) {
        for (LONG x = 0; x < width; ++x) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out += 3;
            in += 3;
        }
        in += width % 4;
    }
}

bool ConvertView(LoadState *s)
{
    DibLayout layout{};
    const DibCheck check = LocateDib(s->view, s->length, &layout);
    if (check == DibUnknownFormat) return Fail(UnknownFormat);
    if (check == DibUnconvertible) return Fail(ConversionError);
    if (check == DibTooLarge) return Fail(OutOfMemory);

    s->sourceInfo = static_cast<BITMAPINFO *>(LocalAlloc(LMEM_FIXED, 44 + 4 * DWORD(layout.colorCount)));
    if (!s->sourceInfo) return Fail(OutOfMemory);
    BuildWorkingInfo(layout, s->sourceInfo);
    if (!CreateTarget(s, layout)) return Fail(OutOfMemory);

    // A top-down source converts into the top-down section line by line; the
    // line count is the number of rows either way.
    const DWORD rows = layout.height < 0 ? 0u - DWORD(layout.height) : DWORD(layout.height);
    if (SetDIBits(s->memoryDc, s->section, 0, rows, layout.bits, s->sourceInfo, DIB_RGB_COLORS) == 0)
        return Fail(ConversionError);
    GdiFlush();

    s->pixels = static_cast<unsigned char *>(malloc(size_t(rows) * size_t(layout.width) * 3));
    if (!s->pixels) return Fail(OutOfMemory);
    CopySectionRows(*s, layout.width, rows);

    RgbImage *image = static_cast<RgbImage *>(malloc(sizeof(RgbImage)));
    if (!image) return Fail(OutOfMemory);
    image->width = layout.width;
    image->height = layout.height;
    image->pixels = s->pixels;
    s->image = image;
    return true;
}

void ReleaseLoadState(LoadState *s)
{
    if (s->memoryDc) DeleteDC(s->memoryDc);
    if (s->section) DeleteObject(s->section);
    if (s->targetInfo) LocalFree(s->targetInfo);
    if (s->sourceInfo) LocalFree(s->sourceInfo);
    if (s->view) UnmapViewOfFile(s->view);
    if (s->mapping) CloseHandle(s->mapping);
    if (s->file != INVALID_HANDLE_VALUE) CloseHandle(s->file);
}

} // namespace

int (WINAPI *LoaderMessageBox)(HWND, LPCSTR, LPCSTR, UINT) = MessageBoxA;

bool CanOpenImageFile(const char *fileName)
{
    FILE *probe = fopen(fileName, "r");
    if (!probe) return false;
    fclose(probe);
    return true;
}

RgbImage *LoadDibImage(const char *fileName)
{
    LoadState s;
    const bool opened = OpenView(&s, fileName);
    if (opened) ConvertView(&s);
    ReleaseLoadState(&s);
    if (s.image) return s.image;
    free(s.pixels);
    if (!opened) {
        char text[1024];   // the most wsprintfA ever writes
        wsprintfA(text, "Failed to open DIB file %s.\n", fileName);
        Fail(text);
    }
    return nullptr;
}
