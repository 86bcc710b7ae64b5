// ScrHelp and the choice of help file shared with the General page.
#include "framework/config/help.h"
#include "framework/config/resource_lookup.h"
#include "framework/lullex.h"
#include "framework/services/services.h"

static const int FrameworkHelpString = 3560;
static const int SystemHelpString = 3533;
static const DWORD ActiveConfigHelpContext = 3106;

BOOL (WINAPI *WinHelpRoutine)(HWND, LPCSTR, UINT, ULONG_PTR) = WinHelpA;

static bool FileExists(const char *name)
{
    OFSTRUCT found;
    return OpenFile(name, &found, OF_EXIST) != HFILE_ERROR;
}

bool ChooseHelpFile(bool forceFramework, char *file, int capacity)
{
    if (LoadClientString(FrameworkHelpString, file, capacity)) {
        if (forceFramework || FileExists(file))
            return true;
    }
    return LoadFrameworkString(SystemHelpString, file, capacity) != 0;
}

void LULLEXAPI ScrHelp(HWND control, UINT command, DWORD contextId)
{
    ScrEnsureInit();
    DebugOut("Lullex: calling ScrHelp");
    DWORD helpMap[4] = {(DWORD)GetDlgCtrlID(control), contextId, 0, 0};
    char file[100];
    if (ChooseHelpFile(contextId == ActiveConfigHelpContext, file, sizeof file))
        WinHelpRoutine(control, file, command, (ULONG_PTR)helpMap);
}
