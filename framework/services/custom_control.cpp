// What dialog editors learn about the monitor control.
#include <string.h>

#include "framework/lullex.h"
#include "framework/monitor/monitor.h"
#include "framework/services/services.h"

// Dialog editors read these after the call returns, so they live with the module.
static CCSTYLEFLAGA MonitorStyleFlags[] = {
    {MS_NOTHING, 0x3, (LPSTR) "MS_NOTHING"},
    {MS_PREVIEW, 0x3, (LPSTR) "MS_PREVIEW"},
    {MS_CORNERS, 0x3, (LPSTR) "MS_CORNERS"},
    {MS_CTOPLEFTDEF, 0x30, (LPSTR) "MS_CTOPLEFTDEF"},
    {MS_CTOPLEFTNOW, 0x10, (LPSTR) "MS_CTOPLEFTNOW"},
    {MS_CTOPLEFTNEV, 0x20, (LPSTR) "MS_CTOPLEFTNEV"},
    {MS_CTOPRIGHTDEF, 0xC0, (LPSTR) "MS_CTOPRIGHTDEF"},
    {MS_CTOPRIGHTNOW, 0x40, (LPSTR) "MS_CTOPRIGHTNOW"},
    {MS_CTOPRIGHTNEV, 0x80, (LPSTR) "MS_CTOPRIGHTNEV"},
    {MS_CBOTRIGHTDEF, 0x300, (LPSTR) "MS_CBOTRIGHTDEF"},
    {MS_CBOTRIGHTNOW, 0x100, (LPSTR) "MS_CBOTRIGHTNOW"},
    {MS_CBOTRIGHTNEV, 0x200, (LPSTR) "MS_CBOTRIGHTNEV"},
    {MS_CBOTLEFTDEF, 0xC00, (LPSTR) "MS_CBOTLEFTDEF"},
    {MS_CBOTLEFTNOW, 0x400, (LPSTR) "MS_CBOTLEFTNOW"},
    {MS_CBOTLEFTNEV, 0x800, (LPSTR) "MS_CBOTLEFTNEV"},
};

static BOOL CALLBACK MonitorStyleFunction(HWND editor, LPCCSTYLEA)
{
    MessageBoxA(editor, "Function for changing style", "Custom control", MB_OK);
    return TRUE;
}

static INT CALLBACK MonitorSizeToText(DWORD, DWORD, HFONT, LPSTR)
{
    return monitorWidth;
}

UINT LULLEXAPI ScrCustomControlInfo(LPCCINFOA info)
{
    // A dialog editor may ask first of all: the default size comes from the
    // monitor bitmap, which the initialisation loads.
    ScrEnsureInit();
    if (info == NULL)
        return 1;
    strcpy(info->szClass, "LullexMonitorClass");
    info->flOptions = CCF_NOTEXT;
    strcpy(info->szDesc, "Monitor");
    info->cxDefault = monitorWidth;
    info->cyDefault = monitorHeight;
    info->flStyleDefault = WS_CHILD | WS_VISIBLE | MS_PREVIEW;
    info->flExtStyleDefault = 0;
    info->flCtrlTypeMask = 0xFF3;
    info->szTextDefault[0] = '\0';
    info->cStyleFlags = sizeof(MonitorStyleFlags) / sizeof(MonitorStyleFlags[0]);
    info->aStyleFlags = MonitorStyleFlags;
    info->lpfnStyle = MonitorStyleFunction;
    info->lpfnSizeToText = MonitorSizeToText;
    info->dwReserved1 = 0;
    info->dwReserved2 = 0;
    return 1;
}
