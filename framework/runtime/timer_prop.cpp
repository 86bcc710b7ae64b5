// The window property that carries a saver window's current TimerData pointer.
#include "framework/runtime/timer.h"

static const char TimerPropName[] = "PROP_LULLEXTIMERDATA";

void CreateTimerProp(HWND hwnd)
{
    TimerData **slot = (TimerData **)LocalAlloc(LPTR, sizeof(TimerData *));
    if (slot == NULL)
        return;
    *slot = NULL;
    if (!SetPropA(hwnd, TimerPropName, (HANDLE)slot))
        LocalFree(slot);
}

void SetTimerProp(HWND hwnd, TimerData *data)
{
    TimerData **slot = (TimerData **)GetPropA(hwnd, TimerPropName);
    if (slot != NULL)
        *slot = data;
}

bool HasTimerProp(HWND hwnd)
{
    return GetPropA(hwnd, TimerPropName) != NULL;
}

TimerData *GetTimerProp(HWND hwnd)
{
    TimerData **slot = (TimerData **)GetPropA(hwnd, TimerPropName);
    return slot != NULL ? *slot : NULL;
}

void DestroyTimerProp(HWND hwnd)
{
    HANDLE slot = GetPropA(hwnd, TimerPropName);
    if (slot == NULL)
        return;
    // Gone from the window before the block goes, so that no lookup finds it freed.
    RemovePropA(hwnd, TimerPropName);
    LocalFree(slot);
}
