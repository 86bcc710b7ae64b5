// Uncompressed 1-, 4-, 8-, 16- (5-5-5), 24- and 32-bit pixels, and 8- and 4-bit
// run-length data, into packed red, green, blue rows. Palette indices beyond the colour table give
// black. LocateDib has checked that every byte read here lies in the file.
#include "image/posix/dib_convert.h"

#include <cstddef>
#include <vector>

namespace {

struct Target {
    BYTE *rows;
    DWORD stride;
    LONG width;
    DWORD height;

    BYTE *At(LONG x, DWORD y) const { return rows + size_t(y) * stride + size_t(x) * 3; }
};

struct Palette {
    const RGBQUAD *entries;
    DWORD usable;

    void Put(DWORD index, BYTE *out) const
    {
        if (index >= usable) { out[0] = out[1] = out[2] = 0; return; }
        out[0] = entries[index].rgbRed;
        out[1] = entries[index].rgbGreen;
        out[2] = entries[index].rgbBlue;
    }
};

BYTE Expand5(DWORD value)
{
    return BYTE((value << 3) | (value >> 2));
}

void ConvertPixel(const BYTE *row, LONG x, WORD bitCount, const Palette &palette, BYTE *out)
{
    switch (bitCount) {
    case 1:  palette.Put((row[x / 8] >> (7 - x % 8)) & 1, out); return;
    case 4:  palette.Put((row[x / 2] >> (x % 2 ? 0 : 4)) & 15, out); return;
    case 8:  palette.Put(row[x], out); return;
    case 16: {
        const DWORD v = DWORD(row[2 * x]) | (DWORD(row[2 * x + 1]) << 8);
        out[0] = Expand5((v >> 10) & 31);
        out[1] = Expand5((v >> 5) & 31);
        out[2] = Expand5(v & 31);
        return;
    }
    case 24: case 32: {
        const BYTE *p = row + size_t(x) * (bitCount / 8);
        out[0] = p[2]; out[1] = p[1]; out[2] = p[0];
        return;
    }
    }
}

void ConvertPlainRows(const DibLayout &layout, const Palette &palette, const Target &target)
{
    const DWORD stride = DWORD((ULONGLONG(layout.width) * layout.bitCount + 31) / 32 * 4);
    for (DWORD y = 0; y < target.height; ++y) {
        const BYTE *row = layout.bits + size_t(y) * stride;
        for (LONG x = 0; x < target.width; ++x)
            ConvertPixel(row, x, layout.bitCount, palette, target.At(x, y));
    }
}

// Run-length data draws from the bottom line up: runs of one index (two
// alternating ones for 4 bits), and escapes for the end of a line, the end of the
// picture, a jump, and a run of literal indices padded to a 16-bit boundary.
// Pixels beyond the width are dropped. What a line segment draws shows only once
// an end of line, a jump or the end of the picture closes it: data that ends
// before that leaves the open segment undrawn, as Windows' conversion does.
class RunLengthDecoder {
public:
    RunLengthDecoder(const Palette &palette, const Target &target) : palette(palette), target(target) {}

    void Decode(const BYTE *in, const BYTE *end, bool fourBit)
    {
        while (y < target.height && end - in >= 2) {
            const BYTE count = in[0], code = in[1];
            in += 2;
            if (count) {
                for (BYTE i = 0; i < count; ++i) Put(fourBit ? (i % 2 ? code & 15 : code >> 4) : code);
                continue;
            }
            if (code == 0) { Close(); x = 0; ++y; continue; }
            if (code == 1) { Close(); return; }
            if (code == 2) {
                if (end - in < 2) return;
                Close();
                x += in[0];
                y += in[1];
                in += 2;
                continue;
            }
            const std::ptrdiff_t bytes = fourBit ? (code + 1) / 2 : code;
            if (end - in < bytes) return;
            for (BYTE i = 0; i < code; ++i) Put(fourBit ? (i % 2 ? in[i / 2] & 15 : in[i / 2] >> 4) : in[i]);
            in += bytes + (bytes & 1);
        }
    }

private:
    struct Pixel { LONG x; DWORD y; DWORD index; };

    void Put(DWORD index)
    {
        if (x < target.width && y < target.height) open.push_back(Pixel{x, y, index});
        ++x;
    }

    void Close()
    {
        for (const Pixel &pixel : open) palette.Put(pixel.index, target.At(pixel.x, pixel.y));
        open.clear();
    }

    const Palette &palette;
    const Target &target;
    std::vector<Pixel> open;   // the open segment's pixels
    LONG x = 0;
    DWORD y = 0;
};

void DecodeRunLength(const DibLayout &layout, const Palette &palette, const Target &target)
{
    RunLengthDecoder decoder(palette, target);
    decoder.Decode(layout.bits, layout.bits + layout.bitsSize, layout.bitCount == 4);
}

} // namespace

bool ConvertDibPixels(const DibLayout &layout, const BITMAPINFO *info, BYTE *rows)
{
    const DWORD height = layout.height < 0 ? 0u - DWORD(layout.height) : DWORD(layout.height);
    const Target target{rows, DWORD(layout.width) * 3, layout.width, height};
    const DWORD tableSize = layout.bitCount <= 8 ? 1u << layout.bitCount : 0;
    const Palette palette{info->bmiColors, layout.colorCount < tableSize ? layout.colorCount : tableSize};
    switch (layout.compression) {
    case BI_RGB:
        // Uncompressed pixels on no plane are refused; run-length data does not say.
        if (info->bmiHeader.biPlanes == 0) return false;
        ConvertPlainRows(layout, palette, target);
        return true;
    case BI_RLE8:
    case BI_RLE4: DecodeRunLength(layout, palette, target); return true;
    }
    return false;
}
