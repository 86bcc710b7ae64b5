// The list of the process's timer threads: every thread ScrStartTimer starts is
// listed until it is found finished or the framework's mode has ended, so that the
// end of a mode can wait for the threads still running.
#pragma once
#include <windows.h>

struct ThreadListNode {
    HANDLE threadHandle;
    HWND hwnd;   // the window whose timer the thread runs
    ThreadListNode *next;
};

// Allocated before the thread starts, so that no thread ever runs unlisted; null
// when out of memory. A node that is not listed after all goes back with
// DiscardThreadListNode.
ThreadListNode *NewThreadListNode();
void DiscardThreadListNode(ThreadListNode *node);

// Lists the thread (the list owns the handle from here) for the window whose timer
// it runs, and lets go of the nodes of threads that have finished.
void ListTimerThread(ThreadListNode *node, HANDLE thread, HWND hwnd);

// Sets up the list's lock; safe from any thread, any number of times.
void PrepareTimerThreadList();

// Lends the list, newest first, to read(head, context) under its lock; the nodes
// are not to be kept beyond the call.
void ReadTimerThreadList(void (*read)(const ThreadListNode *head, void *context), void *context);

// Stops the timers of this thread's listed windows, waits at most waitMs in all
// for the listed threads (answering the ticks sent to this thread meanwhile), then
// empties the list. Returns whether every thread had ended.
bool EndTimerThreads(DWORD waitMs);
