#include "app/platform_spies.h"
#include "app/import_spy.h"

std::vector<DisplayChange> DisplayChanges;
std::vector<WPARAM> DefaultSysCommands;

typedef LONG(WINAPI *ChangeDisplaySettingsFn)(DEVMODEA *, DWORD);
typedef LRESULT(WINAPI *DefWindowProcFn)(HWND, UINT, WPARAM, LPARAM);
static ChangeDisplaySettingsFn RealChangeDisplaySettings;
static DefWindowProcFn RealDefWindowProc;

static LONG WINAPI RecordDisplayChange(DEVMODEA *mode, DWORD flags)
{
    DisplayChange change = {};
    change.restore = mode == NULL;
    change.flags = flags;
    if (mode) {
        change.size = mode->dmSize;
        change.fields = mode->dmFields;
        change.width = mode->dmPelsWidth;
        change.height = mode->dmPelsHeight;
        change.bits = mode->dmBitsPerPel;
    }
    change.sceneWindowExists = FindWindowA("OpenGL", NULL) != NULL;
    change.contextCurrent = wglGetCurrentContext() != NULL;
    change.result = RealChangeDisplaySettings(mode, flags);
    DisplayChanges.push_back(change);
    return change.result;
}

static LRESULT WINAPI RecordDefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SYSCOMMAND) {
        DefaultSysCommands.push_back(wParam);
        return 0;
    }
    return RealDefWindowProc(hwnd, msg, wParam, lParam);
}

// A second call keeps the spy in place: replacing it again would make the spy its
// own "real" function.
void SpyOnDisplayChanges()
{
    DisplayChanges.clear();
    if (!RealChangeDisplaySettings)
        RealChangeDisplaySettings = (ChangeDisplaySettingsFn)ReplaceImport(
            "user32.dll", "ChangeDisplaySettingsA", (void *)RecordDisplayChange);
}

void SpyOnDefaultSysCommands()
{
    DefaultSysCommands.clear();
    if (!RealDefWindowProc)
        RealDefWindowProc = (DefWindowProcFn)ReplaceImport(
            "user32.dll", "DefWindowProcA", (void *)RecordDefaultProc);
}

void StopSpying()
{
    if (RealChangeDisplaySettings)
        ReplaceImport("user32.dll", "ChangeDisplaySettingsA", (void *)RealChangeDisplaySettings);
    if (RealDefWindowProc)
        ReplaceImport("user32.dll", "DefWindowProcA", (void *)RealDefWindowProc);
    RealChangeDisplaySettings = NULL;
    RealDefWindowProc = NULL;
}
