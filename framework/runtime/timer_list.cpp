// The list of the process's timer threads, under its lock.
#include "framework/runtime/timer_list.h"

#include <stdlib.h>

#include "framework/lullex.h"
#include "framework/runtime/timer.h"

static ThreadListNode *timerThreadList = NULL;
static CRITICAL_SECTION threadListLock;
static INIT_ONCE threadListLockOnce = INIT_ONCE_STATIC_INIT;

// A client may start its first timer on any thread, before or without an entry
// point: the lock is set up exactly once, whoever comes first.
static BOOL CALLBACK InitThreadListLock(INIT_ONCE *, void *, void **)
{
    InitializeCriticalSection(&threadListLock);
    return TRUE;
}

void PrepareTimerThreadList()
{
    InitOnceExecuteOnce(&threadListLockOnce, InitThreadListLock, NULL, NULL);
}

ThreadListNode *NewThreadListNode()
{
    return (ThreadListNode *)malloc(sizeof(ThreadListNode));
}

void DiscardThreadListNode(ThreadListNode *node)
{
    free(node);
}

static bool ThreadFinished(HANDLE thread)
{
    return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
}

// A saver that restarts its timer all night would otherwise keep a node and a
// handle for every start. Called under the lock.
static void DropFinishedNodes()
{
    ThreadListNode **link = &timerThreadList;
    while (*link != NULL) {
        ThreadListNode *node = *link;
        if (ThreadFinished(node->threadHandle)) {
            *link = node->next;
            CloseHandle(node->threadHandle);
            free(node);
        } else {
            link = &node->next;
        }
    }
}

void ListTimerThread(ThreadListNode *node, HANDLE thread, HWND hwnd)
{
    node->threadHandle = thread;
    node->hwnd = hwnd;
    PrepareTimerThreadList();
    EnterCriticalSection(&threadListLock);
    DropFinishedNodes();
    node->next = timerThreadList;
    timerThreadList = node;
    LeaveCriticalSection(&threadListLock);
}

struct ListedThread {
    HANDLE thread;
    HWND hwnd;
};

// Another thread's start may close a listed handle at any moment (it drops the
// nodes of finished threads): the copy waits on handles of its own.
static HANDLE OwnCopy(HANDLE thread)
{
    HANDLE copy = NULL;
    DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
    return copy;
}

void ReadTimerThreadList(void (*read)(const ThreadListNode *head, void *context), void *context)
{
    PrepareTimerThreadList();
    EnterCriticalSection(&threadListLock);
    read(timerThreadList, context);
    LeaveCriticalSection(&threadListLock);
}

struct ThreadListCopy {
    ListedThread *threads;   // null when it cannot be allocated
    DWORD count;
};

static void CopyNodes(const ThreadListNode *head, void *context)
{
    ThreadListCopy *copy = (ThreadListCopy *)context;
    DWORD count = 0;
    for (const ThreadListNode *node = head; node != NULL; node = node->next)
        count++;
    copy->threads = (ListedThread *)malloc((count > 0 ? count : 1) * sizeof(ListedThread));
    if (copy->threads == NULL)
        return;
    for (const ThreadListNode *node = head; node != NULL; node = node->next) {
        copy->threads[copy->count].thread = OwnCopy(node->threadHandle);
        copy->threads[copy->count].hwnd = node->hwnd;
        copy->count++;
    }
}

// Copies the list under the lock, so that the waits happen outside it. Null when
// the copy cannot be allocated. The copied handles are the caller's to close.
static ListedThread *CopyThreadList(DWORD *count)
{
    ThreadListCopy copy = {NULL, 0};
    ReadTimerThreadList(CopyNodes, &copy);
    *count = copy.count;
    return copy.threads;
}

// A window of this thread that outlives the mode would keep its timer ticking, or
// its thread waiting for a had-enough answer that no message loop will deliver.
static void StopTimersOfThisThread(const ListedThread *threads, DWORD count)
{
    for (DWORD i = 0; i < count; i++) {
        HWND hwnd = threads[i].hwnd;
        if (hwnd != NULL && IsWindow(hwnd) && GetWindowThreadProcessId(hwnd, NULL) == GetCurrentThreadId() &&
            GetTimerProp(hwnd) != NULL)
            ScrStopTimer(hwnd);
    }
}

// A timer thread may be inside SendMessage to a window of this thread; it can end
// only once this thread has answered, so sent messages are taken while waiting.
static bool WaitTakingSentMessages(HANDLE thread, DWORD start, DWORD waitMs)
{
    for (;;) {
        DWORD spent = GetTickCount() - start;
        DWORD left = spent < waitMs ? waitMs - spent : 0;
        DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0)
            return true;
        if (result != WAIT_OBJECT_0 + 1)
            return false;
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// The nodes hold the only copies of the thread handles; closing one does not stop
// a thread that outlived the wait.
static void FreeThreadList()
{
    EnterCriticalSection(&threadListLock);
    while (timerThreadList != NULL) {
        ThreadListNode *next = timerThreadList->next;
        CloseHandle(timerThreadList->threadHandle);
        free(timerThreadList);
        timerThreadList = next;
    }
    LeaveCriticalSection(&threadListLock);
}

bool EndTimerThreads(DWORD waitMs)
{
    PrepareTimerThreadList();
    DWORD count = 0;
    ListedThread *threads = CopyThreadList(&count);
    bool allEnded = threads != NULL;
    if (threads != NULL) {
        StopTimersOfThisThread(threads, count);
        DWORD start = GetTickCount();
        for (DWORD i = 0; i < count; i++) {
            if (threads[i].thread == NULL || !WaitTakingSentMessages(threads[i].thread, start, waitMs))
                allEnded = false;
            if (threads[i].thread != NULL)
                CloseHandle(threads[i].thread);
        }
        free(threads);
    }
    FreeThreadList();
    return allEnded;
}
