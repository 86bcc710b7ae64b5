#include "e2e_harness.h"
#include "support/wait_limit.h"

const char SaverKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

// Every case starts and ends without the saver key, so that stored settings of
// one case never reach the next.
void NimbraScr::SetUp()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, SaverKey);
}

void NimbraScr::TearDown()
{
    EndChild(&child);
    RegDeleteKeyA(HKEY_CURRENT_USER, SaverKey);
}

void NimbraScr::SetMouseThreshold(DWORD pixels)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SaverKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Mouse Threshold", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&pixels), sizeof(pixels));
    RegCloseKey(key);
}

DWORD NimbraScr::StoredValue(const char *name, DWORD missing)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SaverKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return missing;
    DWORD value = 0, size = sizeof(value);
    LONG status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? value : missing;
}

bool NimbraScr::StartPastTheAnimation(const std::string &arguments)
{
    return StartPastTheAnimation(NIMBRA_SCR, arguments);
}

bool NimbraScr::StartPastTheAnimation(const std::string &program, const std::string &arguments)
{
    if (!StartChild("\"" + program + "\" " + arguments, &child))
        return false;
    // A bare X server refuses the 800 x 600 mode: answer "Yes" to windowed mode.
    DWORD start = GetTickCount();
    HWND scene = nullptr;
    while (!scene && GetTickCount() - start < WaitLimit(30000)) {
        HWND question = WaitForWindowOf(child.pid, "#32770", nullptr, 0);
        if (question)
            PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
        scene = WaitForWindowOf(child.pid, "OpenGL", nullptr, 0);
        if (!scene)
            PumpMessagesFor(20);
    }
    if (!scene)
        return false;
    // Escape at once: the key waits in the window's queue, and the loop ends after
    // its first frame. What follows the animation is what these cases are about.
    PostMessageA(scene, WM_KEYDOWN, VK_ESCAPE, 0);
    return true;
}

HWND NimbraScr::WaitForSaverWindow()
{
    return WaitForWindowOf(child.pid, "OvScreenSaverClass", "SaverWindow", 20000);
}
