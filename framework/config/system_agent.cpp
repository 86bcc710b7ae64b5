// The optional system agent ("Sage.DLL") and hot-corner library ("ScrHots.dll"),
// loaded by name for each call, and the announcements after a settings change.
#include "framework/config/system_agent.h"
#include "framework/config/config_host.h"
#include "framework/config/general_dialog.h"
#include "framework/config/resource_lookup.h"
#include "framework/services/services.h"

static const int AgentLibraryString = 3530;
static const int AgentDetectString = 3531;
static const int AgentChangedString = 3532;
static const char HotCornerLibrary[] = "ScrHots.dll";
static const char DetectRoutine[] = "System_Agent_Detect";
static const char ChangedRoutine[] = "Screen_Saver_Changed";

typedef int (WINAPI *AgentRoutine)(void);

// Calls the routine of the library if both exist; false when either is missing.
static bool CallLibraryRoutine(const char *library, const char *routine, int *result)
{
    HMODULE module = LoadLibraryA(library);
    if (!module)
        return false;
    AgentRoutine call = (AgentRoutine)(void (*)(void))GetProcAddress(module, routine);
    if (call) {
        int answer = call();
        if (result)
            *result = answer;
    }
    FreeLibrary(module);
    return call != NULL;
}

static void CallAgentRoutine(int routineString, int *result)
{
    char library[100], routine[100];
    if (!LoadFrameworkString(AgentLibraryString, library, sizeof library))
        return;
    HMODULE module = LoadLibraryA(library);
    if (!module)
        return;
    if (LoadFrameworkString(routineString, routine, sizeof routine)) {
        AgentRoutine call = (AgentRoutine)(void (*)(void))GetProcAddress(module, routine);
        if (call) {
            int answer = call();
            if (result)
                *result = answer;
        }
    }
    FreeLibrary(module);
}

int DetectSystemAgent()
{
    int result = 0;
    CallAgentRoutine(AgentDetectString, &result);
    CallLibraryRoutine(HotCornerLibrary, DetectRoutine, &result);
    return result;
}

static void TellAgentsOfChange()
{
    DebugOut("Lullex: GeneralDialog: Sage being notified of corners");
    CallAgentRoutine(AgentChangedString, NULL);
    CallLibraryRoutine(HotCornerLibrary, ChangedRoutine, NULL);
}

// A message whose lParam points to text cannot be sent asynchronously:
// SendNotifyMessage refuses it (ERROR_MESSAGE_SYNC_ONLY) and nobody would hear
// of the change. So the broadcast is sent, skipping hung windows and waiting
// only briefly for each; the wide form is used because the system converts its
// text for every receiver.
static const UINT BroadcastTimeoutMs = 500;

static void BroadcastSettingsChange()
{
    DebugOut("Lullex: GeneralDialog: system being notified of changes");
    DWORD_PTR answer;
    SendMessageTimeoutW(HWND_BROADCAST, WM_WININICHANGE, 0, (LPARAM)L"Windows",
                        SMTO_ABORTIFHUNG | SMTO_NORMAL, BroadcastTimeoutMs, &answer);
}

LRESULT GeneralDialog::NotifyChanges(HWND page, NotifyForm form)
{
    if (form == NotifyAfterOk)
        BroadcastSettingsChange();
    else
        TellAgentsOfChange();

    GeneralSettings settings;
    settings.cbSize = sizeof settings;
    for (int i = 0; i < 4; ++i)
        settings.corner[i] = corner[i];
    settings.muteSound = muteSound;
    settings.mouseThreshold = mouseThreshold;
    settings.passwordDelay = (DWORD)passwordDelay;
    settings.activeConfig = activeConfig;

    SettingsChangeNotice notice;
    notice.sheet = GetParent(page);
    notice.code = form == NotifyAfterOk ? 0xE001 : 0xD001;
    notice.settings = &settings;
    return SendMessageA(GetParent(notice.sheet), SCRM_SETTINGSCHANGED, 0, (LPARAM)&notice);
}
