// Passes a settings notice to the saver previews inside monitor controls.
#include "framework/config/config_host.h"

#include <string.h>

static void SendToMonitorPreview(HWND monitor, const SettingsChangeNotice *notice)
{
    HWND inner = GetWindow(monitor, GW_CHILD);
    HWND preview = inner ? GetWindow(inner, GW_CHILD) : NULL;
    if (preview)
        SendMessageA(preview, SCRM_SETTINGSCHANGED, (WPARAM)notice->code, (LPARAM)notice->settings);
}

static BOOL CALLBACK VisitDescendant(HWND window, LPARAM lParam)
{
    SettingsChangeNotice *notice = (SettingsChangeNotice *)lParam;
    char className[50] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "Dialog") == 0)
        ForwardToPreviews(window, notice);
    else if (strcmp(className, "LullexMonitorClass") == 0)
        SendToMonitorPreview(window, notice);
    return TRUE;
}

void ForwardToPreviews(HWND window, SettingsChangeNotice *notice)
{
    if (window && notice)
        EnumChildWindows(window, VisitDescendant, (LPARAM)notice);
}
