// The configuration and change-password modes of the real program: the settings
// sheet a bare start, /c and /c:N open after the animation, what its OK and
// Cancel leave in the registry and as exit code, and /a through the system's
// password component.
#include <string>

#include "e2e_harness.h"

#include <psapi.h>
#include "support/wait_limit.h"

namespace {

const char SheetCaption[] = "Screen Saver Properties";
const int MonitorControl = 3640;
const int SensitivityList = 3632;
const int ApplyButton = 0x3021;

std::string WindowText(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string ClassOf(HWND window)
{
    char text[64] = "";
    GetClassNameA(window, text, sizeof(text));
    return text;
}

// The full path of a module loaded in a process, lower case, or "".
std::string ModuleOf(DWORD pid, const char *name)
{
    std::string found;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    HMODULE modules[512];
    DWORD bytes = 0;
    if (process && EnumProcessModules(process, modules, sizeof(modules), &bytes)) {
        for (DWORD i = 0; i < bytes / sizeof(HMODULE) && found.empty(); ++i) {
            char path[MAX_PATH] = "";
            GetModuleFileNameExA(process, modules[i], path, MAX_PATH);
            std::string lower = CharLowerA(path);
            if (lower.size() > strlen(name) && lower.compare(lower.size() - strlen(name), std::string::npos, name) == 0)
                found = lower;
        }
    }
    if (process)
        CloseHandle(process);
    return found;
}

bool Shown(HWND window)
{
    return window && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE);
}

// Read as wide text: the list lives in another process, and Wine hands the
// narrow form of this message back unconverted across processes.
std::string ListRow(HWND list, int row)
{
    wchar_t wide[128] = L"";
    char text[128] = "";
    if (SendMessageW(list, CB_GETLBTEXTLEN, row, 0) < 128) {
        SendMessageW(list, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(wide));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
    }
    return text;
}

void StoreSensitivity(DWORD index, DWORD pixels)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SaverKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Mouse Threshold Index", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&index),
                   sizeof(index));
    RegSetValueExA(key, "Mouse Threshold", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&pixels), sizeof(pixels));
    RegCloseKey(key);
}

// The user picks a row of a drop-down list: the selection moves and the page hears of it.
void ChooseRow(HWND page, int listId, int row)
{
    HWND list = GetDlgItem(page, listId);
    SendMessageA(list, CB_SETCURSEL, row, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

class SettingsSheet : public NimbraScr {
protected:
    // Starts nimbra.scr with the arguments and waits for its settings sheet.
    bool OpenSheet(const std::string &arguments)
    {
        if (!StartPastTheAnimation(arguments))
            return false;
        sheet = WaitForWindowOf(child.pid, "#32770", SheetCaption, 20000);
        if (!sheet)
            return false;
        // The sheet exists a moment before the property sheet shows it.
        for (DWORD start = GetTickCount(); !IsWindowVisible(sheet) && GetTickCount() - start < WaitLimit(5000);)
            Sleep(50);
        page = FindWindowExA(sheet, nullptr, "#32770", nullptr);
        return page != nullptr;
    }

    void Press(int button)
    {
        PostMessageA(GetDlgItem(sheet, button), BM_CLICK, 0, 0);
    }

    HWND sheet = nullptr;
    HWND page = nullptr;
};

}  // namespace

TEST_F(SettingsSheet, ConfigurationShowsTheGeneralPageAloneAndOkEndsWithOne)
{
    ASSERT_TRUE(OpenSheet("/c"));
    EXPECT_TRUE(IsWindowVisible(sheet));
    EXPECT_TRUE(Shown(GetDlgItem(sheet, IDOK)));
    EXPECT_TRUE(Shown(GetDlgItem(sheet, IDCANCEL)));
    EXPECT_FALSE(Shown(GetDlgItem(sheet, ApplyButton)));
    EXPECT_EQ(WindowText(page), "General");
    EXPECT_EQ(FindWindowExA(sheet, page, "#32770", nullptr), nullptr) << "a second page";
    EXPECT_EQ(ClassOf(GetDlgItem(page, MonitorControl)), "LullexMonitorClass");
    // The program's manifest asks for common controls 6: the sheet is drawn by
    // the side-by-side copy of the library, not the system folder's.
    EXPECT_NE(ModuleOf(child.pid, "comctl32.dll").find("\\winsxs\\"), std::string::npos)
        << ModuleOf(child.pid, "comctl32.dll");
    // The sheet belongs to the hidden host dialog of the same process.
    HWND host = GetWindow(sheet, GW_OWNER);
    DWORD hostPid = 0;
    GetWindowThreadProcessId(host, &hostPid);
    EXPECT_EQ(hostPid, child.pid);
    EXPECT_FALSE(IsWindowVisible(host));

    Press(IDOK);
    EXPECT_EQ(WaitForChild(&child, 20000), static_cast<DWORD>(IDOK));
    EXPECT_EQ(StoredValue("Mouse Threshold Index"), 0xDEADBEEFu) << "OK without a change writes nothing";
}

TEST_F(SettingsSheet, SensitivityChosenOnThePageIsStoredAndOkKeepsIt)
{
    ASSERT_TRUE(OpenSheet("/c"));
    HWND list = GetDlgItem(page, SensitivityList);
    ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(ListRow(list, 0), "High");
    EXPECT_EQ(ListRow(list, 2), "Low");
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0) << "nothing stored: High";

    ChooseRow(page, SensitivityList, 2);
    Press(IDOK);
    EXPECT_EQ(WaitForChild(&child, 20000), static_cast<DWORD>(IDOK));
    EXPECT_EQ(StoredValue("Mouse Threshold Index"), 2u);
    EXPECT_EQ(StoredValue("Mouse Threshold"), 400u);
}

TEST_F(SettingsSheet, CancelAfterAChangeWritesBackTheOpeningSensitivityAndEndsWithZero)
{
    StoreSensitivity(1, 200);
    ASSERT_TRUE(OpenSheet("/c"));
    EXPECT_EQ(SendMessageA(GetDlgItem(page, SensitivityList), CB_GETCURSEL, 0, 0), 1);

    ChooseRow(page, SensitivityList, 3);
    EXPECT_EQ(StoredValue("Mouse Threshold Index"), 3u) << "a change is stored at once";
    EXPECT_EQ(StoredValue("Mouse Threshold"), 999999u);
    Press(IDCANCEL);
    // A cancelled property sheet reports 0, and that is the exit code.
    EXPECT_EQ(WaitForChild(&child, 20000), 0u);
    EXPECT_EQ(StoredValue("Mouse Threshold Index"), 1u);
    EXPECT_EQ(StoredValue("Mouse Threshold"), 200u);
}

TEST_F(SettingsSheet, BareStartAndConfigurationWithAWindowNumberOpenTheSameSheet)
{
    for (const char *arguments : {"", "/c:1234"}) {
        ASSERT_TRUE(OpenSheet(arguments)) << "'" << arguments << "'";
        EXPECT_EQ(ClassOf(GetDlgItem(page, MonitorControl)), "LullexMonitorClass") << arguments;
        Press(IDCANCEL);
        EXPECT_EQ(WaitForChild(&child, 20000), 0u) << arguments;
        EndChild(&child);
    }
}

TEST_F(NimbraScr, ChangePasswordCallsTheSystemComponentAndEndsWithOne)
{
    ASSERT_TRUE(StartPastTheAnimation("/a"));
    // Wine's component takes the call and shows nothing; a box would be the
    // program's own refusal, so it is answered and counted as a fault.
    DWORD code = STILL_ACTIVE;
    for (DWORD start = GetTickCount(); code == STILL_ACTIVE && GetTickCount() - start < WaitLimit(20000);) {
        HWND box = WaitForWindowOf(child.pid, "#32770", nullptr, 0);
        if (box && IsWindowVisible(box)) {
            ADD_FAILURE() << "unexpected window \"" << WindowText(box) << "\"";
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        }
        code = WaitForChild(&child, 200);
    }
    EXPECT_EQ(code, 1u);
}
