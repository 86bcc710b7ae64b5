#include "bmp_writer.h"
#include <cstdio>

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes &out, uint32_t v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); }
void Put32(Bytes &out, uint32_t v) { Put16(out, v & 0xFFFF); Put16(out, v >> 16); }
uint8_t Byte(float v) { return uint8_t(Clamp01(v) * 255.0f + 0.5f); }

bool WriteFile(const std::string &path, const Bytes &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) { std::perror(path.c_str()); return false; }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

void PutInfoHeader(Bytes &out, int width, int height, int bitCount, uint32_t imageSize, uint32_t colors)
{
    Put32(out, 40); Put32(out, uint32_t(width)); Put32(out, uint32_t(height));
    Put16(out, 1); Put16(out, uint32_t(bitCount)); Put32(out, 0); Put32(out, imageSize);
    Put32(out, 2835); Put32(out, 2835); Put32(out, colors); Put32(out, 0);
}

void PutFileHeader(Bytes &out, uint32_t headerAndTable, uint32_t dataSize)
{
    out.push_back('B'); out.push_back('M');
    Put32(out, 14 + headerAndTable + dataSize); Put32(out, 0); Put32(out, 14 + headerAndTable);
}

} // namespace

bool WriteBmp24(const std::string &path, const Picture &pic)
{
    const uint32_t stride = (uint32_t(pic.width) * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * uint32_t(pic.height);
    Bytes out;
    PutFileHeader(out, 40, dataSize);
    PutInfoHeader(out, pic.width, pic.height, 24, dataSize, 0);
    for (int y = pic.height - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < pic.width; ++x) {
            const Color &c = pic.at(x, y);
            out.push_back(Byte(c.b)); out.push_back(Byte(c.g)); out.push_back(Byte(c.r));
        }
        while (out.size() - rowStart < stride) out.push_back(0);
    }
    return WriteFile(path, out);
}

bool WriteBmp4(const std::string &path, int width, int height, const std::vector<uint8_t> &indices,
               const std::vector<Color> &palette)
{
    const uint32_t stride = (uint32_t(width) * 4 + 31) / 32 * 4;
    const uint32_t dataSize = stride * uint32_t(height);
    Bytes out;
    PutFileHeader(out, 40 + 64, dataSize);
    PutInfoHeader(out, width, height, 4, dataSize, 16);
    for (int i = 0; i < 16; ++i) {
        const Color c = i < int(palette.size()) ? palette[i] : Color{};
        out.push_back(Byte(c.b)); out.push_back(Byte(c.g)); out.push_back(Byte(c.r)); out.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < width; ++x)
            row[x / 2] |= uint8_t((indices[size_t(y) * width + x] & 15) << (x % 2 ? 0 : 4));
        out.insert(out.end(), row.begin(), row.end());
    }
    return WriteFile(path, out);
}

bool WriteIcon(const std::string &path, const std::vector<const Picture *> &images)
{
    Bytes out;
    Put16(out, 0); Put16(out, 1); Put16(out, uint32_t(images.size()));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    std::vector<Bytes> blobs;
    for (const Picture *pic : images) {
        Bytes b;
        const uint32_t maskStride = (uint32_t(pic->width) + 31) / 32 * 4;
        PutInfoHeader(b, pic->width, pic->height * 2, 32,
                      uint32_t(pic->width * pic->height * 4) + maskStride * uint32_t(pic->height), 0);
        for (int y = pic->height - 1; y >= 0; --y)
            for (int x = 0; x < pic->width; ++x) {
                const Color &c = pic->at(x, y);
                b.push_back(Byte(c.b)); b.push_back(Byte(c.g)); b.push_back(Byte(c.r));
                b.push_back(Byte(pic->coverage(x, y)));
            }
        // The monochrome mask marks what older renderers leave transparent.
        for (int y = pic->height - 1; y >= 0; --y) {
            Bytes row(maskStride, 0);
            for (int x = 0; x < pic->width; ++x)
                if (pic->coverage(x, y) < 0.5f) row[x / 8] |= uint8_t(0x80 >> (x % 8));
            b.insert(b.end(), row.begin(), row.end());
        }
        blobs.push_back(b);
    }
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(uint8_t(images[i]->width)); out.push_back(uint8_t(images[i]->height));
        out.push_back(0); out.push_back(0);
        Put16(out, 1); Put16(out, 32); Put32(out, uint32_t(blobs[i].size())); Put32(out, offset);
        offset += uint32_t(blobs[i].size());
    }
    for (const Bytes &b : blobs) out.insert(out.end(), b.begin(), b.end());
    return WriteFile(path, out);
}
