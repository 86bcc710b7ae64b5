// Catches the lines a program writes to the debugger output channel: the
// channel raises a first-chance exception carrying each line, which a
// vectored handler sees before anything else.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    std::vector<std::string> lines;

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS *info);
    static DebugCapture *active;
    void *handler;
};
