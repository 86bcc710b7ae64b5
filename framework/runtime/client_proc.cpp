// The host window's default procedure and the settings snapshot for clients.
#include "framework/config/general_dialog.h"
#include "framework/lullex.h"
#include "framework/services/services.h"

LRESULT CALLBACK DefClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ScrEnsureInit();
    if (msg >= SCRM_CREATECONFIGPREVIEW && msg <= 0x806D)
        return 0;   // not handled: the framework does its default
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void LULLEXAPI ScrGetGeneralSettings(GeneralSettings *settings)
{
    ScrEnsureInit();
    if (settings == NULL)
        return;
    GeneralDialog stored;
    for (int i = 0; i < 4; i++)
        settings->corner[i] = stored.corner[i];
    settings->muteSound = stored.muteSound;
    settings->mouseThreshold = stored.mouseThreshold;
    settings->passwordDelay = (DWORD)stored.passwordDelay;
    settings->activeConfig = stored.activeConfig;
}
