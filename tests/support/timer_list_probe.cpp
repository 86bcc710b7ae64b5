// A look at the framework's timer thread list, lent under its lock.
#include "support/framework_seams.h"

#include "framework/runtime/timer_list.h"

static void CountNodes(const ThreadListNode *head, void *count)
{
    for (const ThreadListNode *node = head; node != NULL; node = node->next)
        ++*(int *)count;
}

static void TakeNewest(const ThreadListNode *head, void *thread)
{
    *(HANDLE *)thread = head != NULL ? head->threadHandle : NULL;
}

int ListedTimerThreadCount()
{
    int count = 0;
    ReadTimerThreadList(CountNodes, &count);
    return count;
}

HANDLE NewestTimerThread()
{
    HANDLE thread = NULL;
    ReadTimerThreadList(TakeNewest, &thread);
    return thread;
}
