#include "tests/image/dib_files.h"
#include <cstdio>

void Put16(Bytes &out, uint32_t v) { out.push_back(uint8_t(v)); out.push_back(uint8_t(v >> 8)); }
void Put32(Bytes &out, uint32_t v) { Put16(out, v & 0xFFFF); Put16(out, v >> 16); }
void Poke32(Bytes &out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
}

void PaletteColor(int i, uint8_t rgb[3])
{
    rgb[0] = uint8_t(i * 5 + 7);
    rgb[1] = uint8_t(255 - i * 3);
    rgb[2] = uint8_t(i * 11);
}

namespace {

int PaletteEntries(const DibRecipe &recipe)
{
    if (recipe.paletteEntries >= 0) return recipe.paletteEntries;
    if (recipe.headerSize != 12 && recipe.colorsUsed) return int(recipe.colorsUsed & 0xFFFF);
    return recipe.bitCount <= 8 ? 1 << recipe.bitCount : 0;
}

int UsableEntries(const DibRecipe &recipe)
{
    const int entries = PaletteEntries(recipe);
    const int limit = 1 << recipe.bitCount;
    return entries < limit ? entries : limit;
}

LONG Rows(const DibRecipe &recipe) { return recipe.height < 0 ? -recipe.height : recipe.height; }

uint32_t Stride(const DibRecipe &recipe) { return (uint32_t(recipe.width) * recipe.bitCount + 31) / 32 * 4; }

// The test picture: for row r (in file order) and column x.
int PictureIndex(const DibRecipe &recipe, LONG x, LONG r) { return int((x * 3 + r * 5 + 1) % UsableEntries(recipe)); }
void PictureRgb(LONG x, LONG r, uint8_t rgb[3])
{
    rgb[0] = uint8_t(x * 40 + r * 3);
    rgb[1] = uint8_t(r * 50 + x);
    rgb[2] = uint8_t(x * x + r * 7 + 9);
}
uint16_t Picture555(LONG x, LONG r)
{
    return uint16_t((((x * 7 + r) & 31) << 10) | (((x + r * 3) & 31) << 5) | ((x * 5 + r * 11) & 31));
}
uint8_t Expand5(int v) { return uint8_t((v << 3) | (v >> 2)); }

Bytes PictureBits(const DibRecipe &recipe)
{
    Bytes bits;
    for (LONG r = 0; r < Rows(recipe); ++r) {
        Bytes row(Stride(recipe), 0);
        for (LONG x = 0; x < recipe.width; ++x) {
            uint8_t rgb[3];
            switch (recipe.bitCount) {
            case 1: row[x / 8] |= uint8_t(PictureIndex(recipe, x, r) << (7 - x % 8)); break;
            case 4: row[x / 2] |= uint8_t(PictureIndex(recipe, x, r) << (x % 2 ? 0 : 4)); break;
            case 8: row[x] = uint8_t(PictureIndex(recipe, x, r)); break;
            case 16: row[2 * x] = uint8_t(Picture555(x, r)); row[2 * x + 1] = uint8_t(Picture555(x, r) >> 8); break;
            case 24: PictureRgb(x, r, rgb); row[3 * x] = rgb[2]; row[3 * x + 1] = rgb[1]; row[3 * x + 2] = rgb[0]; break;
            case 32: PictureRgb(x, r, rgb); row[4 * x] = rgb[2]; row[4 * x + 1] = rgb[1]; row[4 * x + 2] = rgb[0]; row[4 * x + 3] = 0xAB; break;
            }
        }
        bits.insert(bits.end(), row.begin(), row.end());
    }
    return bits;
}

} // namespace

DibRecipe Recipe(DWORD headerSize, bool fileHeader, LONG width, LONG height, WORD bitCount, DWORD used)
{
    DibRecipe recipe;
    recipe.headerSize = headerSize;
    recipe.fileHeader = fileHeader;
    recipe.width = width;
    recipe.height = height;
    recipe.bitCount = bitCount;
    recipe.colorsUsed = used;
    return recipe;
}

Bytes MakeDib(const DibRecipe &recipe)
{
    Bytes header;
    Put32(header, recipe.headerSize);
    if (recipe.headerSize == 12) {
        Put16(header, uint32_t(recipe.width)); Put16(header, uint32_t(recipe.height));
        Put16(header, recipe.planes); Put16(header, recipe.bitCount);
    } else {
        Put32(header, uint32_t(recipe.width)); Put32(header, uint32_t(recipe.height));
        Put16(header, recipe.planes); Put16(header, recipe.bitCount);
        Put32(header, recipe.compression); Put32(header, recipe.imageSize);
        Put32(header, 2835); Put32(header, 2835);
        Put32(header, recipe.colorsUsed); Put32(header, 0);
        while (header.size() < recipe.headerSize) header.push_back(0);
    }
    for (int i = 0; i < PaletteEntries(recipe); ++i) {
        uint8_t rgb[3];
        PaletteColor(i, rgb);
        header.push_back(rgb[2]); header.push_back(rgb[1]); header.push_back(rgb[0]);
        if (recipe.headerSize != 12) header.push_back(0x5A);
    }
    const Bytes bits = recipe.pixelData.empty() ? PictureBits(recipe) : recipe.pixelData;
    Bytes file;
    if (recipe.fileHeader) {
        file.push_back('B'); file.push_back('M');
        Put32(file, uint32_t(14 + header.size() + bits.size()));
        Put32(file, 0);
        Put32(file, uint32_t(14 + header.size()));
    }
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), bits.begin(), bits.end());
    return file;
}

Bytes ExpectedRgb(const DibRecipe &recipe)
{
    Bytes rgb;
    for (LONG r = 0; r < Rows(recipe); ++r)
        for (LONG x = 0; x < recipe.width; ++x) {
            uint8_t c[3];
            if (recipe.bitCount <= 8) {
                PaletteColor(PictureIndex(recipe, x, r), c);
            } else if (recipe.bitCount == 16) {
                const uint16_t v = Picture555(x, r);
                c[0] = Expand5((v >> 10) & 31); c[1] = Expand5((v >> 5) & 31); c[2] = Expand5(v & 31);
            } else {
                PictureRgb(x, r, c);
            }
            rgb.insert(rgb.end(), c, c + 3);
        }
    return rgb;
}

std::string TestFilePath(const char *name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// Rewrites the file in place and cuts it to its new length: under Wine, creating
// it anew (CREATE_ALWAYS, as fopen "wb" does) costs milliseconds a time, which the
// mutation tests' ten thousand files turn into most of their run.
bool WriteTestFile(const std::string &path, const Bytes &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = (bytes.empty() || (WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                                       written == bytes.size())) &&
                    SetEndOfFile(file);
    return CloseHandle(file) && ok;
}
