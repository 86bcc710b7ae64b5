// The longest a test waits for a condition, stretched by NIMBRA_TEST_WAIT_SCALE
// (a whole number, default 1). scripts/test.sh sets it where 32-bit programs run
// under emulation, several times slower than on the processor itself. A wait that
// sees its condition still ends at once; only a wait that is going to fail gets
// longer.
#pragma once
#include <windows.h>
#include <stdlib.h>

inline DWORD WaitLimit(DWORD ms)
{
    static const DWORD scale = [] {
        char text[16] = "";
        DWORD length = GetEnvironmentVariableA("NIMBRA_TEST_WAIT_SCALE", text, sizeof text);
        long value = length > 0 && length < sizeof text ? strtol(text, nullptr, 10) : 1;
        return value >= 1 && value <= 100 ? (DWORD)value : 1;
    }();
    return ms * scale;
}
