#include "image/dib_layout.h"
#include "image/dib_loader.h"

namespace {

const DWORD FileHeaderSize = 14;
const DWORD CoreHeaderSize = 12;
const DWORD InfoHeaderSize = 40;
// The largest decoded picture either build loads. Loading holds it twice (the
// section and the copy), which a 32-bit process can still place; a larger one
// would be refused there only when memory ran out, and the x64 build would spend
// seconds and gigabytes on it.
const ULONGLONG MaxByteCount = 0x10000000;

bool Fits(DWORD offset, ULONGLONG size, DWORD length)
{
    return offset <= length && size <= length - offset;
}

bool IsPlainBitCount(WORD bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
           bitCount == 24 || bitCount == 32;
}

void ReadDimensions(DibLayout *layout)
{
    const BYTE *h = layout->header;
    if (layout->headerSize == CoreHeaderSize) {
        layout->width = ReadDibWord(h + 4);
        layout->height = ReadDibWord(h + 6);
        layout->bitCount = ReadDibWord(h + 10);
        layout->compression = BI_RGB;
    } else {
        layout->width = LONG(ReadDibDword(h + 4));
        layout->height = LONG(ReadDibDword(h + 8));
        layout->bitCount = ReadDibWord(h + 14);
        layout->compression = ReadDibDword(h + 16);
    }
}

// Uncompressed rows are padded to 4 bytes; all of them must lie in the file.
DibCheck MeasurePlainRows(DibLayout *layout, ULONGLONG rows, DWORD available)
{
    if (!IsPlainBitCount(layout->bitCount)) return DibUnconvertible;
    const ULONGLONG stride = (ULONGLONG(layout->width) * layout->bitCount + 31) / 32 * 4;
    if (rows > available / stride) return DibUnconvertible;
    layout->bitsSize = DWORD(stride * rows);
    return DibOk;
}

// Run-length data has no size of its own: it ends at the header's image size when
// that is given, else at the end of the file. Both are bounds for the decoder.
DibCheck MeasureRunLengthData(DibLayout *layout, WORD bitCount, DWORD available)
{
    if (layout->bitCount != bitCount || layout->height < 0) return DibUnconvertible;
    const DWORD imageSize = ReadDibDword(layout->header + 20);
    if (imageSize > available) return DibUnconvertible;
    layout->bitsSize = imageSize ? imageSize : available;
    return layout->bitsSize ? DibOk : DibUnconvertible;
}

DibCheck MeasurePixels(DibLayout *layout, DWORD available)
{
    if (layout->width <= 0 || layout->height == 0) return DibUnconvertible;
    const ULONGLONG rows = layout->height < 0 ? ULONGLONG(-LONGLONG(layout->height))
                                              : ULONGLONG(layout->height);
    DibCheck check = DibUnconvertible;
    switch (layout->compression) {
    case BI_RGB:  check = MeasurePlainRows(layout, rows, available); break;
    case BI_RLE8: check = MeasureRunLengthData(layout, 8, available); break;
    case BI_RLE4: check = MeasureRunLengthData(layout, 4, available); break;
    }
    if (check != DibOk) return check;
    const ULONGLONG targetStride = ULONGLONG(layout->width) * 3 + ULONGLONG(layout->width) % 4;
    return targetStride * rows > MaxByteCount ? DibTooLarge : DibOk;
}

} // namespace

WORD ReadDibWord(const BYTE *p)
{
    return WORD(p[0] | (p[1] << 8));
}

DWORD ReadDibDword(const BYTE *p)
{
    return DWORD(ReadDibWord(p)) | (DWORD(ReadDibWord(p + 2)) << 16);
}

WORD CountDibColors(const void *dibHeader)
{
    const BYTE *h = static_cast<const BYTE *>(dibHeader);
    WORD bitCount;
    if (ReadDibDword(h) == CoreHeaderSize) {
        bitCount = ReadDibWord(h + 10);
    } else {
        const DWORD used = ReadDibDword(h + 32);
        if (used != 0) return WORD(used);
        bitCount = ReadDibWord(h + 14);
    }
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    }
    return 0;
}

DibCheck LocateDib(const BYTE *view, DWORD length, DibLayout *layout)
{
    const bool fileHeader = length >= 2 && view[0] == 'B' && view[1] == 'M';
    const DWORD headerOffset = fileHeader ? FileHeaderSize : 0;
    if (!Fits(headerOffset, 4, length)) return DibUnknownFormat;
    layout->header = view + headerOffset;
    layout->headerSize = ReadDibDword(layout->header);
    if (layout->headerSize != CoreHeaderSize && layout->headerSize != InfoHeaderSize)
        return DibUnknownFormat;
    if (!Fits(headerOffset, layout->headerSize, length)) return DibUnknownFormat;

    // A colours-used field beyond 16 bits would make the table the conversion reads
    // larger than the one counted and copied here.
    if (layout->headerSize == InfoHeaderSize && ReadDibDword(layout->header + 32) > 0xFFFF)
        return DibUnconvertible;
    layout->colorCount = CountDibColors(layout->header);
    const DWORD entrySize = layout->headerSize == CoreHeaderSize ? 3 : 4;
    const DWORD tableOffset = headerOffset + layout->headerSize;
    const DWORD tableSize = entrySize * layout->colorCount;
    if (!Fits(tableOffset, tableSize, length)) return DibUnconvertible;
    layout->colors = view + tableOffset;

    const DWORD pixelOffset = fileHeader ? ReadDibDword(view + 10) : tableOffset + tableSize;
    if (pixelOffset > length) return DibUnconvertible;
    layout->bits = view + pixelOffset;
    ReadDimensions(layout);
    return MeasurePixels(layout, length - pixelOffset);
}

void BuildWorkingInfo(const DibLayout &layout, BITMAPINFO *info)
{
    const BYTE *h = layout.header;
    BITMAPINFOHEADER &out = info->bmiHeader;
    RGBQUAD *table = reinterpret_cast<RGBQUAD *>(reinterpret_cast<BYTE *>(info) + InfoHeaderSize);
    out.biSize = InfoHeaderSize;
    if (layout.headerSize == CoreHeaderSize) {
        out.biWidth = ReadDibWord(h + 4);
        out.biHeight = ReadDibWord(h + 6);
        out.biPlanes = ReadDibWord(h + 8);
        out.biBitCount = ReadDibWord(h + 10);
        out.biCompression = BI_RGB;
        out.biSizeImage = 0;
        out.biXPelsPerMeter = 0;
        out.biYPelsPerMeter = 0;
        out.biClrUsed = layout.colorCount;
        out.biClrImportant = layout.colorCount;
        for (WORD i = 0; i < layout.colorCount; ++i) {
            const BYTE *entry = layout.colors + 3 * i;
            table[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};
        }
    } else {
        out.biWidth = LONG(ReadDibDword(h + 4));
        out.biHeight = LONG(ReadDibDword(h + 8));
        out.biPlanes = ReadDibWord(h + 12);
        out.biBitCount = ReadDibWord(h + 14);
        out.biCompression = ReadDibDword(h + 16);
        out.biSizeImage = ReadDibDword(h + 20);
        out.biXPelsPerMeter = LONG(ReadDibDword(h + 24));
        out.biYPelsPerMeter = LONG(ReadDibDword(h + 28));
        out.biClrUsed = ReadDibDword(h + 32);
        out.biClrImportant = ReadDibDword(h + 36);
        CopyMemory(table, layout.colors, 4 * DWORD(layout.colorCount));
        // The run-length decoder reads no further than the image size says.
        if (out.biCompression != BI_RGB) out.biSizeImage = layout.bitsSize;
    }
    table[layout.colorCount] = RGBQUAD{0, 0, 0, 0};
}
