// The loader's corrupted-file corpus: every truncation of ten valid seed files,
// single corrupted header fields, and several corruptions and cuts together, from a
// fixed sequence, so that every run and every platform sees the same files.
#include "tests/image/dib_corpus.h"

namespace {

// A fixed linear congruential sequence: the same variants on every run.
struct Sequence {
    uint32_t state;
    uint32_t Next() { state = state * 1664525u + 1013904223u; return state >> 8; }
    uint32_t Below(uint32_t n) { return Next() % n; }
};

// Offsets of the header fields of a file, where a lie does the most harm.
std::vector<size_t> FieldOffsets(const Bytes &file)
{
    const size_t h = file[0] == 'B' && file[1] == 'M' ? 14 : 0;
    std::vector<size_t> at = {h, h + 4, h + 8, h + 12, h + 14, h + 16, h + 20, h + 32};
    if (h) at.push_back(10);
    return at;
}

const uint32_t interestingValues[] = {
    0, 1, 2, 3, 4, 8, 12, 16, 24, 32, 40, 108, 124, 255, 256, 257, 0x7FFF, 0x8000, 0xFFFF, 0x10000,
    0x10001, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 0x40000000, 0x20000001,
};

void SetField(Bytes &file, size_t at, uint32_t value, Sequence &seq)
{
    if (at + 4 > file.size()) return;
    // Half of the fields get 16 bits only: planes, bit count and the core header's sizes are 16-bit.
    if (seq.Below(2)) { file[at] = uint8_t(value); file[at + 1] = uint8_t(value >> 8); }
    else Poke32(file, at, value);
}

void MutateOnce(Bytes &file, Sequence &seq)
{
    const std::vector<size_t> fields = FieldOffsets(file);
    switch (seq.Below(4)) {
    case 0: {   // one flipped bit among the first bytes
        const size_t span = file.size() < 80 ? file.size() : 80;
        file[seq.Below(uint32_t(span))] ^= uint8_t(1u << seq.Below(8));
        break;
    }
    case 1:
        SetField(file, fields[seq.Below(uint32_t(fields.size()))],
                 interestingValues[seq.Below(sizeof interestingValues / sizeof *interestingValues)], seq);
        break;
    case 2:
        SetField(file, fields[seq.Below(uint32_t(fields.size()))], seq.Next() ^ (seq.Next() << 24), seq);
        break;
    case 3:   // a small nudge to a field, as an off-by-one writer would make
        SetField(file, fields[seq.Below(uint32_t(fields.size()))], 0, seq);
        SetField(file, fields[seq.Below(uint32_t(fields.size()))], seq.Below(64), seq);
        break;
    }
}

} // namespace

std::vector<Bytes> SeedFiles()
{
    DibRecipe rle = Recipe(40, true, 4, 2, 8, 4);
    rle.compression = BI_RLE8;
    rle.pixelData = Bytes{2, 1, 2, 2, 0, 0, 0, 4, 3, 0, 0, 1, 0, 1};
    rle.imageSize = 14;
    return {
        MakeDib(Recipe(40, true, 5, 3, 24)),
        MakeDib(Recipe(40, false, 7, 4, 8, 17)),
        MakeDib(Recipe(12, true, 9, 2, 4)),
        MakeDib(Recipe(12, false, 13, 3, 1)),
        MakeDib(Recipe(40, true, 3, -4, 24)),
        MakeDib(Recipe(40, true, 6, 2, 16)),
        MakeDib(Recipe(40, false, 2, 3, 32)),
        MakeDib(rle),
        MakeDib(Recipe(40, true, 3, 2, 8)),
        MakeDib(Recipe(40, false, 6, 2, 1, 2)),
    };
}

void ForEachTruncation(const FileVisitor &visit)
{
    for (const Bytes &seed : SeedFiles())
        for (size_t keep = 0; keep <= seed.size(); ++keep)
            visit(Bytes(seed.begin(), seed.begin() + keep));
}

void ForEachSingleCorruption(const FileVisitor &visit)
{
    Sequence seq{1};
    const std::vector<Bytes> seeds = SeedFiles();
    for (int i = 0; i < 4000; ++i) {
        Bytes file = seeds[i % seeds.size()];
        MutateOnce(file, seq);
        visit(file);
    }
}

void ForEachSeveralCorruptions(const FileVisitor &visit)
{
    Sequence seq{2};
    const std::vector<Bytes> seeds = SeedFiles();
    for (int i = 0; i < 4500; ++i) {
        Bytes file = seeds[seq.Below(uint32_t(seeds.size()))];
        const uint32_t changes = 2 + seq.Below(3);
        for (uint32_t c = 0; c < changes; ++c) MutateOnce(file, seq);
        if (seq.Below(3) == 0) file.resize(seq.Below(uint32_t(file.size()) + 1));
        visit(file);
    }
}
