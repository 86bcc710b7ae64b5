// The 64-bit FNV-1a hash by which the corpus dump records Windows' pixels and the
// Linux loader's differential check compares its own with them.
#pragma once
#include <cstddef>
#include <cstdint>

inline uint64_t PixelHash(const unsigned char *pixels, size_t size)
{
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < size; ++i) hash = (hash ^ pixels[i]) * 1099511628211ull;
    return hash;
}
