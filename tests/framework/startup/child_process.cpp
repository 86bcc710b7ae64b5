#include "child_process.h"
#include "support/wait_limit.h"

#include <stdio.h>
#include <string.h>

bool StartChild(const std::string &commandLine, ChildProcess *child)
{
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    child->process = info.hProcess;
    child->pid = info.dwProcessId;
    return true;
}

void PumpMessagesFor(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

DWORD WaitForChild(ChildProcess *child, DWORD timeoutMs)
{
    timeoutMs = WaitLimit(timeoutMs);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (MsgWaitForMultipleObjects(1, &child->process, FALSE, 20, QS_ALLINPUT) == WAIT_OBJECT_0)
            break;
        PumpMessagesFor(0);
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(child->process, &code);
    return code;
}

void EndChild(ChildProcess *child)
{
    if (!child->process)
        return;
    DWORD code = 0;
    if (GetExitCodeProcess(child->process, &code) && code == STILL_ACTIVE) {
        TerminateProcess(child->process, 99);
        WaitForSingleObject(child->process, 5000);
    }
    CloseHandle(child->process);
    child->process = nullptr;
}

namespace {

struct Search {
    DWORD pid;
    const char *cls;
    const char *title;
    HWND found;
};

bool Matches(HWND hwnd, const Search &search)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search.pid)
        return false;
    char text[256] = "";
    GetClassNameA(hwnd, text, sizeof(text));
    if (strcmp(text, search.cls) != 0)
        return false;
    if (!search.title)
        return true;
    GetWindowTextA(hwnd, text, sizeof(text));
    return strcmp(text, search.title) == 0;
}

BOOL CALLBACK Visit(HWND hwnd, LPARAM lParam)
{
    Search *search = reinterpret_cast<Search *>(lParam);
    if (Matches(hwnd, *search)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForWindowOf(DWORD pid, const char *cls, const char *title, DWORD timeoutMs, HWND parent)
{
    Search search = {pid, cls, title, nullptr};
    timeoutMs = WaitLimit(timeoutMs);
    DWORD start = GetTickCount();
    for (;;) {
        if (parent)
            EnumChildWindows(parent, Visit, reinterpret_cast<LPARAM>(&search));
        else
            EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start >= timeoutMs)
            return search.found;
        PumpMessagesFor(50);
    }
}

std::vector<std::string> ReadLines(const std::string &path)
{
    std::vector<std::string> lines;
    FILE *file = fopen(path.c_str(), "r");
    if (!file)
        return lines;
    char line[1024];
    while (fgets(line, sizeof(line), file)) {
        line[strcspn(line, "\r\n")] = '\0';
        lines.push_back(line);
    }
    fclose(file);
    return lines;
}
