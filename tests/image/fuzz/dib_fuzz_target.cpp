// The portable decode path over one input, as the Linux loader runs it on a
// mapped file: find and check the parts, build the working header, convert into
// zero-filled rows. Built with libFuzzer and the address and undefined-behaviour
// sanitizers (or, without clang, with gcc's sanitizers and fuzz_driver_main.cpp).
#include "image/dib_layout.h"
#include "image/posix/dib_convert.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The loader maps no empty file and measures files with 32 bits.
    if (size == 0 || size > 0xFFFFFFFFu) return 0;
    DibLayout layout{};
    if (LocateDib(data, DWORD(size), &layout) != DibOk) return 0;
    BITMAPINFO *info = static_cast<BITMAPINFO *>(std::malloc(44 + 4 * size_t(layout.colorCount)));
    if (!info) return 0;
    BuildWorkingInfo(layout, info);
    const DWORD rows = layout.height < 0 ? 0u - DWORD(layout.height) : DWORD(layout.height);
    BYTE *pixels = static_cast<BYTE *>(std::calloc(rows, size_t(layout.width) * 3));
    if (pixels) ConvertDibPixels(layout, info, pixels);
    std::free(pixels);
    std::free(info);
    return 0;
}
