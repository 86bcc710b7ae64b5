// Child programs for the tests: started with a command line, watched for their
// windows, and waited for while this thread keeps answering messages (a
// preview child of one of our windows sends its parent messages).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct ChildProcess {
    HANDLE process = nullptr;
    DWORD pid = 0;
};

bool StartChild(const std::string &commandLine, ChildProcess *child);
// The exit code, or STILL_ACTIVE when the child has not ended within timeoutMs.
DWORD WaitForChild(ChildProcess *child, DWORD timeoutMs);
// Ends a child that outlived its test, then releases the handle.
void EndChild(ChildProcess *child);

// A window of the process with the given class (and title, unless null), top
// level or a descendant of parent when parent is given; null after timeoutMs.
HWND WaitForWindowOf(DWORD pid, const char *cls, const char *title, DWORD timeoutMs, HWND parent = nullptr);

void PumpMessagesFor(DWORD ms);

std::vector<std::string> ReadLines(const std::string &path);
