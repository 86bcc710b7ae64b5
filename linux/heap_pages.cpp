#include "linux/heap_pages.h"

#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

const uintptr_t hugePage = uintptr_t(2) << 20;
// The heap's growth in one step: more than the start-up uses.
const int heapReserve = 64 << 20;
// Blocks up to this size come from the heap too: textures, buffers, the code
// generator's arenas.
const int largestHeapBlock = 32 << 20;

uintptr_t RoundUp(uintptr_t value, uintptr_t unit)
{
    return (value + unit - 1) & ~(unit - 1);
}

} // namespace

void PrepareHeap()
{
    mallopt(M_MMAP_THRESHOLD, largestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, 2 * heapReserve);   // freed memory stays for the next block
    mallopt(M_TOP_PAD, heapReserve);
    // A block from the top of the heap grows it by the reserve. Shrunk in place to
    // end at the first huge-page boundary, and kept, it holds the part of the heap
    // below that boundary, which only small pages can back.
    char *head = static_cast<char *>(std::malloc(hugePage));
    if (!head) return;
    const uintptr_t boundary = RoundUp(uintptr_t(head), hugePage);
    if (boundary == uintptr_t(head))
        std::free(head);
    else if (!std::realloc(head, boundary - uintptr_t(head)))
        return;
    const uintptr_t end = uintptr_t(sbrk(0)) & ~(hugePage - 1);
    if (end > boundary) madvise(reinterpret_cast<void *>(boundary), end - boundary, MADV_HUGEPAGE);
}
