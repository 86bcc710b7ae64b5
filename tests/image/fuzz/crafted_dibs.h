// Bitmap files built byte by byte for the portable decoder's fuzzing and its
// tests: the seed corpus (every depth, header kind and compression) and the
// crafted run-length files that once drove the decoder out of its picture or its
// memory. The same bytes on every run and every machine.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct NamedDib {
    std::string name;
    Bytes bytes;
};

// A file with a file header, a 40-byte info header, a four-entry palette (entry i
// is blue 10 + i, green 20 + i, red 30 + i) and the given run-length data.
Bytes RunLengthDib(int32_t width, int32_t height, unsigned bitCount, const Bytes &data);

// Runs of 255 pixels of palette entry 2, and jumps of 255 columns on the same
// line: what carries a column counter towards 2^32.
Bytes ColumnCarryingRuns(uint32_t runs);
Bytes ColumnCarryingJumps(uint32_t jumps);

std::vector<NamedDib> SeedDibs();

// The crafted files too large to keep in the repository: the 4 x 1 file whose
// column wraps before a run of 4, the one that wraps and keeps the segment open
// (the allocation storm), and the 700 KB file whose open segment fills an
// 89478485-pixel row.
std::vector<NamedDib> LargeCraftedDibs();

// The small crafted files, kept in tests/image/fuzz/regressions as they are.
std::vector<NamedDib> SmallCraftedDibs();
