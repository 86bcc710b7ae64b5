// Builds DIB files for the loader's tests, and the pixels they must load as.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct DibRecipe {
    DWORD headerSize = 40;     // 12, 40, or anything else for a header the loader rejects
    bool fileHeader = true;    // false: a packed DIB
    LONG width = 5;
    LONG height = 3;           // negative: rows stored top row first
    WORD planes = 1;
    WORD bitCount = 24;
    DWORD compression = BI_RGB;
    DWORD colorsUsed = 0;
    DWORD imageSize = 0;
    int paletteEntries = -1;   // entries written; -1: as many as the header implies
    Bytes pixelData;           // empty: the test picture in the header's format
};

// A recipe with the given header kind, size and format; everything else default.
DibRecipe Recipe(DWORD headerSize, bool fileHeader, LONG width, LONG height, WORD bitCount, DWORD used = 0);

// The whole file: file header (if any), DIB header, colour table, pixel data.
Bytes MakeDib(const DibRecipe &recipe);

// What the loader must return for MakeDib(recipe): red, green, blue triples,
// rows in the order the file stores them.
Bytes ExpectedRgb(const DibRecipe &recipe);

// Palette entry i of the test files, as red, green, blue.
void PaletteColor(int i, uint8_t rgb[3]);

std::string TestFilePath(const char *name);   // in the temporary directory
bool WriteTestFile(const std::string &path, const Bytes &bytes);

void Put16(Bytes &out, uint32_t v);
void Put32(Bytes &out, uint32_t v);
void Poke32(Bytes &out, size_t at, uint32_t v);
