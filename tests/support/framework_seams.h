// What the test programs reach inside the framework and the framework itself
// never needs: its reset point and a look at the timer thread list. Linked into
// test programs only (the framework_seams library), never into the SDK.
#pragma once
#include <windows.h>

// For test programs that run many cases in one process: ends the timer threads,
// closes the framework and forgets every entry point's state, so that the next
// public call initialises as in a fresh process. Not while a mode runs. Returns
// whether all timer threads had ended.
bool ResetFramework();

// The number of nodes in the timer thread list, and the newest node's thread.
int ListedTimerThreadCount();
HANDLE NewestTimerThread();
