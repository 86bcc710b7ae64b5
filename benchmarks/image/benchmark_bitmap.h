// The loader benchmarks' file: a size x size 24-bit bitmap of pseudo-random bytes,
// the same on both platforms.
#pragma once
#include <cstddef>
#include <vector>

inline void PutBenchmarkDword(std::vector<unsigned char> &out, size_t at, unsigned v)
{
    for (int i = 0; i < 4; ++i) out[at + i] = (unsigned char)(v >> (8 * i));
}

inline std::vector<unsigned char> MakeBenchmarkBitmap(int size)
{
    const unsigned stride = (unsigned(size) * 3 + 3) & ~3u;
    std::vector<unsigned char> file(54 + size_t(stride) * size);
    file[0] = 'B'; file[1] = 'M';
    PutBenchmarkDword(file, 2, unsigned(file.size())); PutBenchmarkDword(file, 10, 54);
    PutBenchmarkDword(file, 14, 40); PutBenchmarkDword(file, 18, unsigned(size));
    PutBenchmarkDword(file, 22, unsigned(size));
    file[26] = 1; file[28] = 24;
    for (size_t i = 54; i < file.size(); ++i) file[i] = (unsigned char)(i * 2654435761u >> 24);
    return file;
}
