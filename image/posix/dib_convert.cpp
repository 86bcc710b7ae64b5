// Uncompressed 1-, 4-, 8-, 16- (5-5-5), 24- and 32-bit pixels, and 8- and 4-bit
// run-length data, into packed red, green, blue rows. Palette indices beyond the colour table give
// black. LocateDib has checked that every byte read here lies in the file.
#include "image/posix/dib_convert.h"

#include <cstddef>
#include <cstring>

namespace {

struct Target {
    BYTE *rows;
    DWORD stride;
    LONG width;
    DWORD height;

    BYTE *At(DWORD x, DWORD y) const { return rows + size_t(y) * stride + size_t(x) * 3; }
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
    }
}

// Blue, green, red (and a fourth byte for 32 bits) become red, green, blue.
void SwapTrueColorRow(const BYTE *in, DWORD step, LONG width, BYTE *out)
{
    for (LONG x = 0; x < width; ++x, in += step, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

void ConvertPlainRows(const DibLayout &layout, const Palette &palette, const Target &target)
{
    const DWORD stride = DWORD((ULONGLONG(layout.width) * layout.bitCount + 31) / 32 * 4);
    for (DWORD y = 0; y < target.height; ++y) {
        const BYTE *row = layout.bits + size_t(y) * stride;
        if (layout.bitCount >= 24) {
            SwapTrueColorRow(row, layout.bitCount / 8, target.width, target.At(0, y));
            continue;
        }
        for (LONG x = 0; x < target.width; ++x)
            ConvertPixel(row, x, layout.bitCount, palette, target.At(DWORD(x), y));
    }
}

// Run-length data draws from the bottom line up: runs of one index (two
// alternating ones for 4 bits), and escapes for the end of a line, the end of the
// picture, a jump, and a run of literal indices padded to a 16-bit boundary.
// Pixels beyond the width are dropped. What a line segment draws shows only once
// an end of line, a jump or the end of the picture closes it: data that ends
// before that leaves the open segment undrawn, as Windows' conversion does.
//
// Within a line the column only grows, and every change of line closes the
// segment, so the open segment is one stretch of one line that nothing has drawn
// yet: it is drawn straight into the zero-filled rows, and cleared again if the
// data ends before it is closed. The column stops at the width, so no number of
// runs and jumps can carry it anywhere else.
class RunLengthDecoder {
public:
    RunLengthDecoder(const Palette &palette, const Target &target) : palette(palette), target(target) {}

    void Decode(const BYTE *in, const BYTE *end, bool fourBit)
    {
        if (!DecodeUntilClosed(in, end, fourBit)) ClearOpenSegment();
    }

private:
    // False when the data ends with a segment open.
    bool DecodeUntilClosed(const BYTE *in, const BYTE *end, bool fourBit)
    {
        while (y < target.height) {
            if (end - in < 2) return false;
            const BYTE count = in[0], code = in[1];
            in += 2;
            if (count) {
                if (fourBit) Run(count, code >> 4, code & 15);
                else Run(count, code, code);
                continue;
            }
            if (code == 0) { NextLine(); continue; }
            if (code == 1) return true;
            if (code == 2) {
                if (end - in < 2) return false;
                Jump(in[0], in[1]);
                in += 2;
                continue;
            }
            const std::ptrdiff_t bytes = fourBit ? (code + 1) / 2 : code;
            if (end - in < bytes) return false;
            for (BYTE i = 0; i < code; ++i) Put(fourBit ? (i % 2 ? in[i / 2] & 15 : in[i / 2] >> 4) : in[i]);
            const std::ptrdiff_t padded = bytes + (bytes & 1);
            in += padded < end - in ? padded : end - in;
        }
        return true;
    }

    // A run alternates between two indices (the same one for 8 bits); only the
    // pixels left of the width are drawn.
    void Run(BYTE count, DWORD first, DWORD second)
    {
        BYTE colors[2][3];
        palette.Put(first, colors[0]);
        palette.Put(second, colors[1]);
        const DWORD drawn = width - x < count ? width - x : count;
        BYTE *out = target.At(x, y);
        for (DWORD i = 0; i < drawn; ++i, out += 3) std::memcpy(out, colors[i % 2], 3);
        x += drawn;
    }

    void Put(DWORD index)
    {
        if (x == width) return;
        palette.Put(index, target.At(x, y));
        ++x;
    }

    void NextLine()
    {
        x = segmentStart = 0;
        ++y;
    }

    void Jump(BYTE dx, BYTE dy)
    {
        x = width - x > dx ? x + dx : width;
        y += dy;
        segmentStart = x;
    }

    void ClearOpenSegment()
    {
        std::memset(target.At(segmentStart, y), 0, size_t(x - segmentStart) * 3);
    }

    const Palette &palette;
    const Target &target;
    const DWORD width = DWORD(target.width);
    DWORD x = 0;              // never beyond the width
    DWORD y = 0;              // below the height while the data is read
    DWORD segmentStart = 0;   // where the open segment begins on line y
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
