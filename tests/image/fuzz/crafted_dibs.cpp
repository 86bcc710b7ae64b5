#include "tests/image/fuzz/crafted_dibs.h"

namespace {

const unsigned FileHeaderSize = 14, CoreHeaderSize = 12, InfoHeaderSize = 40;
const unsigned RunLength8 = 1, RunLength4 = 2, BitFields = 3;

void Put16(Bytes &out, uint32_t v) { out.push_back(uint8_t(v)); out.push_back(uint8_t(v >> 8)); }
void Put32(Bytes &out, uint32_t v) { Put16(out, v & 0xFFFF); Put16(out, v >> 16); }

struct Recipe {
    unsigned headerSize = InfoHeaderSize;
    bool fileHeader = true;
    int32_t width = 5;
    int32_t height = 3;
    unsigned bitCount = 8;
    unsigned compression = 0;
    unsigned colorsUsed = 0;
    Bytes bits;   // empty: a pattern filling every padded row
};

unsigned PaletteEntries(const Recipe &r)
{
    if (r.headerSize == InfoHeaderSize && r.colorsUsed) return r.colorsUsed;
    return r.bitCount <= 8 ? 1u << r.bitCount : 0;
}

Bytes PatternRows(const Recipe &r)
{
    const uint32_t stride = (uint32_t(r.width) * r.bitCount + 31) / 32 * 4;
    const uint32_t rows = uint32_t(r.height < 0 ? -r.height : r.height);
    Bytes bits(size_t(stride) * rows);
    for (size_t i = 0; i < bits.size(); ++i) bits[i] = uint8_t(i * 37 + 11);
    return bits;
}

Bytes Build(const Recipe &r)
{
    const Bytes bits = r.bits.empty() ? PatternRows(r) : r.bits;
    Bytes header;
    Put32(header, r.headerSize);
    if (r.headerSize == CoreHeaderSize) {
        Put16(header, uint32_t(r.width)); Put16(header, uint32_t(r.height));
        Put16(header, 1); Put16(header, r.bitCount);
    } else {
        Put32(header, uint32_t(r.width)); Put32(header, uint32_t(r.height));
        Put16(header, 1); Put16(header, r.bitCount);
        Put32(header, r.compression); Put32(header, r.compression ? uint32_t(bits.size()) : 0);
        Put32(header, 2835); Put32(header, 2835);
        Put32(header, r.colorsUsed); Put32(header, 0);
    }
    for (unsigned i = 0; i < PaletteEntries(r); ++i) {
        header.insert(header.end(), {uint8_t(10 + i), uint8_t(20 + i), uint8_t(30 + i)});
        if (r.headerSize == InfoHeaderSize) header.push_back(0);
    }
    Bytes file;
    if (r.fileHeader) {
        file = {'B', 'M'};
        Put32(file, uint32_t(FileHeaderSize + header.size() + bits.size()));
        Put32(file, 0);
        Put32(file, uint32_t(FileHeaderSize + header.size()));
    }
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), bits.begin(), bits.end());
    return file;
}

Bytes Repeated(const Bytes &codes, uint32_t times)
{
    Bytes data(codes.size() * times);
    for (size_t i = 0; i < data.size(); ++i) data[i] = codes[i % codes.size()];
    return data;
}

Bytes Joined(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Runs, literal runs of odd and even length, a jump, ends of line and of the
// picture: every escape of the run-length codes once.
const Bytes EightBitCodes = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 1, 2, 2, 0, 4, 0, 1, 2, 3, 0, 0, 9, 3, 0, 1};
const Bytes FourBitCodes = {3, 0x12, 0, 3, 0x23, 0x10, 0, 0, 0, 2, 1, 1, 2, 0x31, 0, 4, 0x01, 0x23, 0, 0, 9, 0x21, 0, 1};

} // namespace

Bytes RunLengthDib(int32_t width, int32_t height, unsigned bitCount, const Bytes &data)
{
    Recipe r;
    r.width = width;
    r.height = height;
    r.bitCount = bitCount;
    r.compression = bitCount == 4 ? RunLength4 : RunLength8;
    r.colorsUsed = 4;
    r.bits = data;
    return Build(r);
}

Bytes ColumnCarryingRuns(uint32_t runs)
{
    return Repeated({255, 2}, runs);
}

Bytes ColumnCarryingJumps(uint32_t jumps)
{
    return Repeated({0, 2, 255, 0}, jumps);
}

std::vector<NamedDib> SeedDibs()
{
    std::vector<NamedDib> seeds;
    const struct { const char *name; unsigned headerSize; bool fileHeader; } kinds[] = {
        {"info", InfoHeaderSize, true}, {"info-packed", InfoHeaderSize, false},
        {"core", CoreHeaderSize, true}, {"core-packed", CoreHeaderSize, false},
    };
    for (const auto &kind : kinds)
        for (unsigned bitCount : {1u, 4u, 8u, 24u}) {
            Recipe r;
            r.headerSize = kind.headerSize;
            r.fileHeader = kind.fileHeader;
            r.bitCount = bitCount;
            seeds.push_back({std::string(kind.name) + "-" + std::to_string(bitCount) + "bit.bmp", Build(r)});
        }
    Recipe r;
    for (unsigned bitCount : {16u, 32u}) {
        r.bitCount = bitCount;
        seeds.push_back({"info-" + std::to_string(bitCount) + "bit.bmp", Build(r)});
    }
    r.bitCount = 16;
    r.compression = BitFields;
    seeds.push_back({"info-16bit-bitfields.bmp", Build(r)});
    r = Recipe();
    r.height = -3;
    r.bitCount = 24;
    seeds.push_back({"info-24bit-top-down.bmp", Build(r)});
    r = Recipe();
    r.fileHeader = false;
    r.colorsUsed = 17;
    seeds.push_back({"info-packed-8bit-17-colours.bmp", Build(r)});
    seeds.push_back({"rle8.bmp", RunLengthDib(6, 4, 8, EightBitCodes)});
    seeds.push_back({"rle4.bmp", RunLengthDib(6, 4, 4, FourBitCodes)});
    seeds.push_back({"rle8-open-end.bmp", RunLengthDib(6, 4, 8, {4, 1, 0, 0, 5, 2})});
    seeds.push_back({"rle4-open-end.bmp", RunLengthDib(6, 4, 4, {4, 0x12, 0, 0, 5, 0x23})});
    return seeds;
}

std::vector<NamedDib> LargeCraftedDibs()
{
    // Runs take the column to 2^31 - 128, and jumps, which draw nothing, on to
    // 2^32 - 3: three pixels left of the row were it a signed 32-bit number. A run
    // of 4 follows, and the end of the line that closes it.
    const Bytes wrapEnd = {0, 2, 253, 0, 4, 3, 0, 0, 0, 1};
    const Bytes openRow = Repeated({255, 1}, 350897);
    return {
        {"column-wraps-4x1.bmp", RunLengthDib(4, 1, 8, Joined({ColumnCarryingRuns(8421504), ColumnCarryingJumps(8421504), wrapEnd}))},
        {"column-wrap-storm-4x1.bmp", RunLengthDib(4, 1, 8, ColumnCarryingRuns(16843009))},
        {"open-segment-89478485x1.bmp", RunLengthDib(89478485, 1, 8, openRow)},
    };
}

std::vector<NamedDib> SmallCraftedDibs()
{
    return {
        {"widest-inside-bound-89478485x1.bmp", RunLengthDib(89478485, 1, 8, {0, 1})},
        {"just-outside-bound-89478486x1.bmp", RunLengthDib(89478486, 1, 8, {0, 1})},
        {"tallest-inside-bound-1x67108864.bmp", RunLengthDib(1, 67108864, 8, {0, 1})},
        {"just-outside-bound-1x67108865.bmp", RunLengthDib(1, 67108865, 8, {0, 1})},
        {"top-down-rle8.bmp", RunLengthDib(3, -2, 8, {3, 1, 0, 0, 3, 2, 0, 1})},
        {"top-down-rle4.bmp", RunLengthDib(3, -2, 4, {3, 0x12, 0, 0, 3, 0x30, 0, 1})},
        {"jumps-beyond-width.bmp",
         RunLengthDib(4, 3, 8, {3, 1, 0, 2, 255, 0, 2, 2, 0, 2, 255, 1, 255, 3, 0, 2, 0, 1, 4, 2, 0, 1})},
        {"literal-beyond-width.bmp", RunLengthDib(3, 2, 4, {0, 7, 0x12, 0x30, 0x12, 0x30, 0, 0, 2, 0x21, 0, 1})},
    };
}
