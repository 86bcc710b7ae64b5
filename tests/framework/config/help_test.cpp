// Help on the General page's controls and through ScrHelp: which help file is
// chosen, with which command and which control-to-context map.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/config/config_harness.h"
#include "framework/config/help.h"
#include "framework/monitor/monitor.h"

namespace {

struct HelpCall {
    HWND window;
    std::string file;
    UINT command;
    std::vector<DWORD> map;   // pairs up to and including the closing 0, 0
};
std::vector<HelpCall> helpCalls;
std::vector<std::string> filesRequested;

BOOL WINAPI RecordHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data)
{
    HelpCall call = {window, file ? file : "<null>", command, {}};
    for (const DWORD *pair = (const DWORD *)data; pair; pair += 2) {
        call.map.push_back(pair[0]);
        call.map.push_back(pair[1]);
        if (pair[0] == 0 && pair[1] == 0)
            break;
    }
    helpCalls.push_back(call);
    return TRUE;
}

void CreateHelpFile(const char *name)
{
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    CloseHandle(file);
}

class Help : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA("lullex.hlp");
        DeleteSettingsKey();
        PrepareFramework();
        helpCalls.clear();
        filesRequested.clear();
        agentWarned = true;
        WinHelpRoutine = RecordHelp;
    }
    void TearDown() override
    {
        WinHelpRoutine = WinHelpA;
        DeleteFileA("lullex.hlp");
        DeleteSettingsKey();
    }
};

struct PageHelp {
    int control;
    bool fileThere;
    bool contextMenu;   // WM_CONTEXTMENU, else WM_HELP
    const char *file;
    const char *name;
};

class PageHelpFile : public Help, public testing::WithParamInterface<PageHelp> {};

TEST_P(PageHelpFile, IsChosenPerControl)
{
    const PageHelp h = GetParam();
    if (h.fileThere)
        CreateHelpFile("lullex.hlp");
    HWND control = NULL;
    RunConfigDialog(NULL, 0, [&](SheetWindows &w) {
        control = GetDlgItem(w.general, h.control);
        if (h.contextMenu) {
            SendMessageA(w.general, WM_CONTEXTMENU, (WPARAM)control, MAKELPARAM(10, 10));
        } else {
            HELPINFO info = {sizeof info, HELPINFO_WINDOW, h.control, control, 0, {10, 10}};
            SendMessageA(w.general, WM_HELP, 0, (LPARAM)&info);
        }
        PressCancel(w);
    });
    ASSERT_EQ(helpCalls.size(), 1u);
    EXPECT_EQ(helpCalls[0].file, h.file);
    EXPECT_EQ(helpCalls[0].window, control);
    EXPECT_EQ(helpCalls[0].command, (UINT)(h.contextMenu ? HELP_CONTEXTMENU : HELP_WM_HELP));
    const std::vector<DWORD> helpIdMap = {
        3630, 3101, 3631, 3101, 3632, 3101, 3633, 3102, 3634, 3102, 3635, 3102, 3636, 3102,
        3637, 3102, 3638, 3100, 3639, 3100, 3640, 3100, 3641, 3105, 3643, 3106, 0, 0};
    EXPECT_EQ(helpCalls[0].map, helpIdMap);
}

INSTANTIATE_TEST_SUITE_P(Controls, PageHelpFile, testing::Values(
    PageHelp{3643, false, false, "lullex.hlp", "ActiveConfigAlwaysFramework"},
    PageHelp{3643, false, true, "lullex.hlp", "ActiveConfigMenuAlwaysFramework"},
    PageHelp{3632, false, false, "Plus!.HLP", "SensitivitySystemFileWhenFrameworkMissing"},
    PageHelp{3641, false, true, "Plus!.HLP", "MuteMenuSystemFileWhenFrameworkMissing"},
    PageHelp{3632, true, false, "lullex.hlp", "SensitivityFrameworkFileWhenFound"},
    PageHelp{3640, true, true, "lullex.hlp", "MonitorMenuFrameworkFileWhenFound"}), CaseName<PageHelp>);

struct ScrHelpCase {
    DWORD context;
    bool fileThere;
    const char *file;
    const char *name;
};

class ScrHelpFile : public Help, public testing::WithParamInterface<ScrHelpCase> {};

TEST_P(ScrHelpFile, FollowsTheSameRule)
{
    if (GetParam().fileThere)
        CreateHelpFile("lullex.hlp");
    HWND parent = CreateWindowExA(0, "STATIC", "page", WS_OVERLAPPED, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    HWND control = CreateWindowExA(0, "BUTTON", "x", WS_CHILD, 0, 0, 10, 10, parent, (HMENU)2150, NULL, NULL);
    ScrHelp(control, HELP_WM_HELP, GetParam().context);
    ASSERT_EQ(helpCalls.size(), 1u);
    EXPECT_EQ(helpCalls[0].file, GetParam().file);
    EXPECT_EQ(helpCalls[0].window, control);
    EXPECT_EQ(helpCalls[0].command, (UINT)HELP_WM_HELP);
    EXPECT_EQ(helpCalls[0].map, (std::vector<DWORD>{2150, GetParam().context, 0, 0}));
    DestroyWindow(parent);
}

INSTANTIATE_TEST_SUITE_P(Contexts, ScrHelpFile, testing::Values(
    ScrHelpCase{3106, false, "lullex.hlp", "ActiveConfigContextAlwaysFramework"},
    ScrHelpCase{3101, false, "Plus!.HLP", "SystemFileWhenFrameworkMissing"},
    ScrHelpCase{3101, true, "lullex.hlp", "FrameworkFileWhenFound"},
    ScrHelpCase{2500, true, "lullex.hlp", "SaverContextFrameworkFileWhenFound"}), CaseName<ScrHelpCase>);

TEST_F(Help, SaverHelpFileNameComesFirst)
{
    HMODULE client = LoadLibraryA("config_client_resources.dll");
    ASSERT_NE(client, nullptr);
    PrepareFramework(client);
    HWND control = CreateWindowExA(0, "BUTTON", "x", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ScrHelp(control, HELP_CONTEXTMENU, 3106);
    CreateHelpFile("lullex.hlp");   // the framework's file does not matter when the saver names its own
    ScrHelp(control, HELP_CONTEXTMENU, 3100);
    ASSERT_EQ(helpCalls.size(), 2u);
    EXPECT_EQ(helpCalls[0].file, "testsaver.hlp");
    EXPECT_EQ(helpCalls[1].file, "Plus!.HLP");
    DestroyWindow(control);
}

}   // namespace

namespace {

// The help program's window: WinHelpA hands it the request as WM_COPYDATA.

LRESULT CALLBACK HelpProgram(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COPYDATA) {
        const COPYDATASTRUCT *copy = (const COPYDATASTRUCT *)lParam;
        const BYTE *request = (const BYTE *)copy->lpData;
        WORD fileOffset = *(const WORD *)(request + 12);
        filesRequested.push_back((const char *)request + fileOffset);
        return TRUE;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(Help, ScrHelpReachesTheHelpProgramWithTheChosenFile)
{
    WinHelpRoutine = WinHelpA;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HelpProgram;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "MS_WINHELP";
    RegisterClassA(&wc);
    HWND program = CreateWindowExA(0, "MS_WINHELP", "help", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    HWND control = CreateWindowExA(0, "BUTTON", "x", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ScrHelp(control, HELP_CONTEXT, 3106);
    ScrHelp(control, HELP_CONTEXT, 3101);
    EXPECT_EQ(filesRequested, (std::vector<std::string>{"lullex.hlp", "Plus!.HLP"}));
    DestroyWindow(control);
    DestroyWindow(program);
}

}   // namespace
