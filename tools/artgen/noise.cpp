#include "noise.h"
#include <cmath>

float Hash01(int32_t x, int32_t y, int32_t z, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B9u;
    h ^= uint32_t(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= uint32_t(y) * 0xC2B2AE35u;
    h = (h << 17) | (h >> 15);
    h ^= uint32_t(z) * 0x27D4EB2Fu;
    h ^= h >> 16; h *= 0x7FEB352Du;
    h ^= h >> 15; h *= 0x846CA68Bu;
    h ^= h >> 16;
    return float(h >> 8) / 16777216.0f;
}

namespace {

float Fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }
float Lerp(float a, float b, float t) { return a + (b - a) * t; }

} // namespace

float ValueNoise3(float x, float y, float z, uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const int32_t ix = int32_t(fx), iy = int32_t(fy), iz = int32_t(fz);
    const float tx = Fade(x - fx), ty = Fade(y - fy), tz = Fade(z - fz);
    float plane[2];
    for (int dz = 0; dz < 2; ++dz) {
        const float a = Lerp(Hash01(ix, iy, iz + dz, seed), Hash01(ix + 1, iy, iz + dz, seed), tx);
        const float b = Lerp(Hash01(ix, iy + 1, iz + dz, seed), Hash01(ix + 1, iy + 1, iz + dz, seed), tx);
        plane[dz] = Lerp(a, b, ty);
    }
    return Lerp(plane[0], plane[1], tz);
}

float Fractal3(float x, float y, float z, int octaves, uint32_t seed)
{
    float sum = 0, weight = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += ValueNoise3(x, y, z, seed + uint32_t(i) * 101u) * weight;
        total += weight;
        weight *= 0.5f;
        x *= 2.03f; y *= 2.03f; z *= 2.03f;
    }
    return sum / total;
}
