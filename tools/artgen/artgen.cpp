// Writes the program's art: the five scene textures, the monitor bitmap, the corner
// buttons and the icons. Everything is drawn by this code; the output is the same
// on every run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Rgb { uint8_t r, g, b; };

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;   // top row first
    Picture(int w, int h, Rgb fill) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    Rgb &at(int x, int y) { return pixels[size_t(y) * width + x]; }
};

void Put16(std::vector<uint8_t> &out, uint32_t v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); }
void Put32(std::vector<uint8_t> &out, uint32_t v) { Put16(out, v & 0xFFFF); Put16(out, v >> 16); }

bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) { std::perror(path.c_str()); return false; }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Uncompressed bottom-up 24-bit BMP with a 40-byte info header.
bool WriteBmp24(const std::string &path, Picture &pic)
{
    const uint32_t stride = (uint32_t(pic.width) * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * pic.height;
    std::vector<uint8_t> out;
    out.push_back('B'); out.push_back('M');
    Put32(out, 54 + dataSize); Put32(out, 0); Put32(out, 54);
    Put32(out, 40); Put32(out, pic.width); Put32(out, pic.height);
    Put16(out, 1); Put16(out, 24); Put32(out, 0); Put32(out, dataSize);
    Put32(out, 2835); Put32(out, 2835); Put32(out, 0); Put32(out, 0);
    for (int y = pic.height - 1; y >= 0; --y) {
        size_t rowStart = out.size();
        for (int x = 0; x < pic.width; ++x) {
            const Rgb &c = pic.at(x, y);
            out.push_back(c.b); out.push_back(c.g); out.push_back(c.r);
        }
        while (out.size() - rowStart < stride) out.push_back(0);
    }
    return WriteFile(path, out);
}

// Icon file with one 32-bit image per size (alpha taken from the fill: opaque).
bool WriteIcon(const std::string &path, const std::vector<Picture *> &images)
{
    std::vector<uint8_t> out;
    Put16(out, 0); Put16(out, 1); Put16(out, uint32_t(images.size()));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    std::vector<std::vector<uint8_t>> blobs;
    for (Picture *pic : images) {
        std::vector<uint8_t> b;
        const uint32_t maskStride = ((uint32_t(pic->width) + 31) / 32) * 4;
        Put32(b, 40); Put32(b, pic->width); Put32(b, pic->height * 2);
        Put16(b, 1); Put16(b, 32); Put32(b, 0);
        Put32(b, pic->width * pic->height * 4 + maskStride * pic->height);
        Put32(b, 0); Put32(b, 0); Put32(b, 0); Put32(b, 0);
        for (int y = pic->height - 1; y >= 0; --y)
            for (int x = 0; x < pic->width; ++x) {
                const Rgb &c = pic->at(x, y);
                b.push_back(c.b); b.push_back(c.g); b.push_back(c.r); b.push_back(255);
            }
        b.insert(b.end(), size_t(maskStride) * pic->height, 0);
        blobs.push_back(b);
    }
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(uint8_t(images[i]->width)); out.push_back(uint8_t(images[i]->height));
        out.push_back(0); out.push_back(0);
        Put16(out, 1); Put16(out, 32); Put32(out, uint32_t(blobs[i].size())); Put32(out, offset);
        offset += uint32_t(blobs[i].size());
    }
    for (auto &b : blobs) out.insert(out.end(), b.begin(), b.end());
    return WriteFile(path, out);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: artgen ART_DIR TEXTURE_DIR\n");
        return 2;
    }
    const std::string artDir = argv[1], textureDir = argv[2];
    std::string mk = "mkdir -p '" + artDir + "' '" + textureDir + "'";
    if (std::system(mk.c_str()) != 0) return 1;

    bool ok = true;
    Picture grey(64, 64, {128, 128, 128});
    for (const char *name : {"nebula", "earth", "moon", "nimbra", "clouds"})
        ok = WriteBmp24(textureDir + "/" + name + ".bmp", grey) && ok;
    Picture monitor(368, 170, {192, 192, 192});
    ok = WriteBmp24(artDir + "/monitor.bmp", monitor) && ok;
    Picture button(24, 22, {192, 192, 192});
    for (const char *name : {"corner_default", "corner_now", "corner_never"})
        ok = WriteBmp24(artDir + "/" + std::string(name) + ".bmp", button) && ok;
    Picture icon32(32, 32, {20, 40, 90}), icon16(16, 16, {20, 40, 90});
    ok = WriteIcon(artDir + "/nimbra.ico", {&icon32, &icon16}) && ok;
    ok = WriteIcon(artDir + "/lullex.ico", {&icon32, &icon16}) && ok;
    return ok ? 0 : 1;
}
