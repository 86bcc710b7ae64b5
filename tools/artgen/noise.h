// Value noise from an integer hash: the same numbers on every machine and run.
#pragma once
#include <cstdint>

float Hash01(int32_t x, int32_t y, int32_t z, uint32_t seed);   // in [0, 1)
float ValueNoise3(float x, float y, float z, uint32_t seed);     // smooth, in [0, 1]
// Sum of octaves of value noise, each twice the frequency and half the weight; in [0, 1].
float Fractal3(float x, float y, float z, int octaves, uint32_t seed);
