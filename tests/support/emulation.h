// Where this machine's kernel runs no 32-bit programs, scripts/test.sh runs the
// tests under qemu's user-mode emulator and says so in NIMBRA_32BIT_EMULATED.
// That emulator keeps one table of thread descriptor slots for all threads of a
// process, so a thread that reloads its segment registers can pick up a newer
// thread's Wine and C library blocks, and Wine then ends the process ("uncaught
// target signal 11"). The cases that start and end threads by the dozen or the
// thousand while the window thread works meet that every time; they are skipped
// there, saying why, and scripts/test.sh leaves them out (a skipped case's process
// can still die as it ends).
#pragma once
#include <windows.h>

inline bool ThreadsRunUnderEmulation()
{
    char text[4] = "";
    return GetEnvironmentVariableA("NIMBRA_32BIT_EMULATED", text, sizeof text) > 0 && text[0] == '1';
}

#define SKIP_WHERE_THREADS_ARE_EMULATED()                                                  \
    if (ThreadsRunUnderEmulation())                                                        \
    GTEST_SKIP() << "32-bit threads run under qemu's user-mode emulator here, where Wine " \
                    "ends processes whose threads come and go"
