// Property sheet and About box of the hooked and hosted entry variants: the
// client is asked first, the framework's own dialog is the fallback.
#include "framework/startup/runners.h"

#include <prsht.h>

#include "framework/config/config_host.h"
#include "framework/startup/entry.h"

// The configuration host dialog keeps its ConfigHostParams in its user data.
static LONG ActiveConfigOf(HWND hostDialog)
{
    if (!hostDialog)
        return 0;
    const ConfigHostParams *params =
        reinterpret_cast<const ConfigHostParams *>(GetWindowLongPtrA(hostDialog, GWLP_USERDATA));
    return params ? params->mode : 0;
}

int HookedExecuteUserDialog(HWND owner, PROPSHEETHEADERA *header)
{
    if (PropertySheetHook) {
        int answer = PropertySheetHook(owner, header, ActiveConfigOf(owner));
        if (answer != HOOK_DEFAULT)
            return answer;
    }
    return static_cast<int>(PropertySheetA(header));
}

int HookedShowAbout(HWND owner)
{
    if (AboutHook) {
        int answer = AboutHook(owner);
        if (answer != HOOK_DEFAULT)
            return answer;
    }
    return ShowFrameworkAboutBox(owner);
}

int HostedExecuteUserDialog(HWND owner, PROPSHEETHEADERA *header)
{
    if (SendMessageA(HostWindow, SCRM_PROPERTYSHEET, reinterpret_cast<WPARAM>(owner),
                     reinterpret_cast<LPARAM>(header)))
        return 1;
    return static_cast<int>(PropertySheetA(header));
}

int HostedShowAbout(HWND owner)
{
    if (SendMessageA(HostWindow, SCRM_ABOUT, reinterpret_cast<WPARAM>(owner), 0))
        return 1;
    return ShowFrameworkAboutBox(owner);
}
