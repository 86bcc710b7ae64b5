// Where a developer runs 32-bit programs under qemu's user-mode emulator (see the
// README), scripts/test.sh says so in NIMBRA_32BIT_EMULATED.
// That emulator keeps one table of thread descriptor slots for all threads of a
// process, so a thread that reloads its segment registers can pick up a newer
// thread's Wine and C library blocks, and Wine then ends the process ("uncaught
// target signal 11"). The cases that start and end threads by the dozen or the
// thousand while the window thread works meet that every time; they are skipped
// there, saying why. A program's process can still die of threads that other
// cases started; scripts/test.sh leaves the three 32-bit programs that do out.
#pragma once
#include <windows.h>

inline bool ThreadsRunUnderEmulation()
{
#ifdef _WIN64
    return false;   // only the 32-bit programs run under the emulator
#else
    char text[4] = "";
    return GetEnvironmentVariableA("NIMBRA_32BIT_EMULATED", text, sizeof text) > 0 && text[0] == '1';
#endif
}

#define SKIP_WHERE_THREADS_ARE_EMULATED()                                                  \
    if (ThreadsRunUnderEmulation())                                                        \
    GTEST_SKIP() << "32-bit threads run under qemu's user-mode emulator here, where Wine " \
                    "ends processes whose threads come and go"
