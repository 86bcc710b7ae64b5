/* Starts a 32-bit x86 program under qemu's user-mode emulator, for kernels that run
 * no 32-bit programs themselves. binfmt_misc calls it as: runner PROGRAM ARGS...
 *
 * The guest address space is made to end just above 2 GB. Wine reserves every
 * address above 2 GB at start-up; the emulator places hinted mappings elsewhere
 * instead of refusing them, so Wine falls back to reserving that range 64 KB at a
 * time, which takes a minute or more per process. With the space ending at
 * 0x81000000 there is almost nothing left to reserve, and a process starts in
 * about a second. 32-bit Wine programs are not large-address aware, so they lose
 * nothing they could use.
 *
 * A limit of the emulator that no option here removes: the thread descriptor
 * slots that set_thread_area fills (glibc's %gs, Wine's %fs) are one table for
 * the whole process, not one per thread. Whenever a thread reloads %fs or %gs -
 * on return from an exception or a signal - it picks up the TEB and C library
 * block of the most recently started thread and soon dies ("wine client error:
 * ... Bad file descriptor", "uncaught target signal 11"). Programs that raise
 * exceptions, or get signals, in one thread while a younger thread exists can
 * fail here and nowhere else. */
#include <stdlib.h>
#include <unistd.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    (void)argc;
    setenv("QEMU_RESERVED_VA", "0x81000000", 0);
    argv[0] = (char *)"qemu-i386-static";
    execv("/usr/bin/qemu-i386-static", argv);
    perror("qemu-i386-static");
    return 127;
}
