#include "tests/image/reference_dib.h"

namespace {

// Reads that run past the end of the file are remembered, not performed.
struct Reader {
    const Bytes &file;
    bool overrun = false;
    uint32_t U8(uint64_t at)
    {
        if (at >= file.size()) { overrun = true; return 0; }
        return file[size_t(at)];
    }
    uint32_t U16(uint64_t at) { return U8(at) | (U8(at + 1) << 8); }
    uint32_t U32(uint64_t at) { return U16(at) | (U16(at + 2) << 16); }
};

struct Header {
    uint64_t start = 0, pixels = 0;
    uint32_t size = 0, bitCount = 0, compression = 0, used = 0, imageSize = 0;
    int64_t width = 0, height = 0;
    uint32_t entries = 0, entrySize = 0;
};

bool ReadHeader(Reader &in, Header *h)
{
    const bool fileHeader = in.file.size() >= 2 && in.file[0] == 'B' && in.file[1] == 'M';
    h->start = fileHeader ? 14 : 0;
    h->size = in.U32(h->start);
    if (h->size == 12) {
        h->width = in.U16(h->start + 4);
        h->height = in.U16(h->start + 6);
        h->bitCount = in.U16(h->start + 10);
        h->entrySize = 3;
    } else if (h->size == 40) {
        h->width = int32_t(in.U32(h->start + 4));
        h->height = int32_t(in.U32(h->start + 8));
        h->bitCount = in.U16(h->start + 14);
        h->compression = in.U32(h->start + 16);
        h->imageSize = in.U32(h->start + 20);
        h->used = in.U32(h->start + 32);
        h->entrySize = 4;
    } else {
        return false;
    }
    in.U8(h->start + h->size - 1);
    if (h->used > 0xFFFF) return false;
    h->entries = h->used ? h->used : h->bitCount == 1 ? 2 : h->bitCount == 4 ? 16 : h->bitCount == 8 ? 256 : 0;
    const uint64_t table = h->start + h->size;
    if (h->entries) in.U8(table + uint64_t(h->entries) * h->entrySize - 1);
    h->pixels = fileHeader ? in.U32(10) : table + uint64_t(h->entries) * h->entrySize;
    return !in.overrun && h->pixels <= in.file.size() && h->width > 0 && h->height != 0;
}

void ReadPixel(Reader &in, const Header &h, uint64_t row, int64_t x, uint8_t *rgb)
{
    const uint64_t tableAt = h.start + h.size;
    uint32_t index = 0;
    switch (h.bitCount) {
    case 1: index = (in.U8(row + x / 8) >> (7 - x % 8)) & 1; break;
    case 4: index = (in.U8(row + x / 2) >> (x % 2 ? 0 : 4)) & 15; break;
    case 8: index = in.U8(row + x); break;
    case 16: {
        const uint32_t v = in.U16(row + 2 * x);
        const uint32_t c[3] = {(v >> 10) & 31, (v >> 5) & 31, v & 31};
        for (int i = 0; i < 3; ++i) rgb[i] = uint8_t((c[i] << 3) | (c[i] >> 2));
        return;
    }
    case 24: case 32: {
        const uint64_t at = row + x * (h.bitCount / 8);
        rgb[0] = uint8_t(in.U8(at + 2)); rgb[1] = uint8_t(in.U8(at + 1)); rgb[2] = uint8_t(in.U8(at));
        return;
    }
    }
    // Indices beyond the colour table give black.
    const uint32_t usable = h.entries < (1u << h.bitCount) ? h.entries : 1u << h.bitCount;
    if (index >= usable) { rgb[0] = rgb[1] = rgb[2] = 0; return; }
    const uint64_t entry = tableAt + uint64_t(index) * h.entrySize;
    rgb[0] = uint8_t(in.U8(entry + 2)); rgb[1] = uint8_t(in.U8(entry + 1)); rgb[2] = uint8_t(in.U8(entry));
}

} // namespace

ReferenceImage DecodeReference(const Bytes &file)
{
    ReferenceImage out;
    Reader in{file};
    Header h;
    if (!ReadHeader(in, &h)) return out;
    const uint64_t rows = uint64_t(h.height < 0 ? -h.height : h.height);
    if ((uint64_t(h.width) * 3 + uint64_t(h.width) % 4) * rows > 0x7FFFFFFF) return out;
    const uint64_t available = file.size() - h.pixels;
    if (h.compression == BI_RLE8 || h.compression == BI_RLE4) {
        const bool fits = h.bitCount == (h.compression == BI_RLE8 ? 8u : 4u) && h.height > 0 &&
                          h.imageSize <= available && (h.imageSize || available);
        if (fits) out = ReferenceImage{ReferenceKind::RunLength, LONG(h.width), LONG(h.height), {}};
        return out;
    }
    const uint32_t b = h.bitCount;
    if (h.compression != BI_RGB || !(b == 1 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32)) return out;
    const uint64_t stride = (uint64_t(h.width) * b + 31) / 32 * 4;
    if (stride * rows > available) return out;
    out.rgb.resize(size_t(rows * h.width * 3));
    for (uint64_t r = 0; r < rows; ++r)
        for (int64_t x = 0; x < h.width; ++x)
            ReadPixel(in, h, h.pixels + r * stride, x, &out.rgb[size_t((r * h.width + x) * 3)]);
    if (in.overrun) return ReferenceImage{};
    out.kind = ReferenceKind::Image;
    out.width = LONG(h.width);
    out.height = LONG(h.height);
    return out;
}
