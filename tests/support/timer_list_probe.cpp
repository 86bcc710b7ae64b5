// A look at the framework's timer thread list, under its lock.
#include "support/framework_seams.h"

#include "framework/runtime/timer_list.h"

int ListedTimerThreadCount()
{
    PrepareTimerThreadList();
    int count = 0;
    EnterCriticalSection(&threadListLock);
    for (ThreadListNode *node = timerThreadList; node != NULL; node = node->next)
        count++;
    LeaveCriticalSection(&threadListLock);
    return count;
}

HANDLE NewestTimerThread()
{
    PrepareTimerThreadList();
    EnterCriticalSection(&threadListLock);
    HANDLE thread = timerThreadList != NULL ? timerThreadList->threadHandle : NULL;
    LeaveCriticalSection(&threadListLock);
    return thread;
}
