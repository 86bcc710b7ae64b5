// The program itself, started as a child process on a bare X server: its boxes are
// found and answered from outside.
#include "app/box_watch.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

static std::string ProgramPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string dir(path);
    dir.resize(dir.find_last_of("\\/") + 1);
    return dir + "..\\..\\nimbra.scr";   // tests/bin -> the build tree's program
}

struct BoxSearch {
    DWORD process;
    HWND found;
};

static BOOL CALLBACK FindProcessBox(HWND hwnd, LPARAM param)
{
    BoxSearch *search = (BoxSearch *)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char name[16] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (owner == search->process && lstrcmpA(name, "#32770") == 0 && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Waits up to 30 s for a visible dialog of the process other than previous.
static HWND WaitForBox(DWORD process, HWND previous)
{
    for (int i = 0; i < 1500; i++) {
        BoxSearch search = {process, NULL};
        EnumWindows(FindProcessBox, (LPARAM)&search);
        if (search.found && search.found != previous)
            return search.found;
        Sleep(20);
    }
    return NULL;
}

static bool StartProgram(const char *arguments, PROCESS_INFORMATION *pi)
{
    std::string command = "\"" + ProgramPath() + "\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, pi);
}

TEST(ProgramRun, DecliningWindowedModeEndsWithExitCodeZeroBeforeTheFramework)
{
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(StartProgram("/c", &pi)) << ProgramPath();

    HWND question = WaitForBox(pi.dwProcessId, NULL);
    ASSERT_TRUE(question != NULL);
    SeenBox asked = DescribeMessageBox(question);
    EXPECT_EQ("The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
              asked.text);
    EXPECT_EQ("Vantt GL", asked.caption);
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), (LPARAM)GetDlgItem(question, IDNO));

    HWND closing = WaitForBox(pi.dwProcessId, question);
    ASSERT_TRUE(closing != NULL);
    SeenBox told = DescribeMessageBox(closing);
    EXPECT_EQ("Program Will Now Close.", told.text);
    EXPECT_EQ("ERROR", told.caption);
    EXPECT_EQ(std::vector<int>{IDOK}, told.buttons);
    PostMessageA(closing, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(closing, IDOK));

    // With /c the framework would show its settings sheet and wait; it must not run.
    DWORD waited = WaitForSingleObject(pi.hProcess, 30000);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 99);
    EXPECT_EQ(WAIT_OBJECT_0, waited);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(0u, code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}
