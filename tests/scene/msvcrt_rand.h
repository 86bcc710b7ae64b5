// The C runtime's unseeded generator, as the scene relies on it: a linear
// congruential generator from state 1, results in bits 16 to 30.
#pragma once
#include <cstdint>

class RuntimeRand {
public:
    int Next()
    {
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 0x7fff);
    }

private:
    uint32_t state = 1;
};
