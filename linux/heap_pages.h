// The program's heap in huge pages. Most of the start-up is the GL library's
// (loading the software renderer's code generator, compiling the first frame's
// shaders), and much of that went to page faults: its allocations are fresh 4 KiB
// pages, blocks above 128 KiB are mappings of their own, unmapped again when
// freed, and on a virtual machine each fault costs tens of microseconds.
#pragma once

// Keeps large blocks and freed memory in the heap, grows it in one step and asks
// the kernel for transparent huge pages there. Called first thing, before the GL
// library is loaded. Where the kernel has no huge pages the heap is only kept.
void PrepareHeap();
