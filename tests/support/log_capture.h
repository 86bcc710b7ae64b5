// Catches the lines written to the debugger output channel, from any thread. The
// program's own lines are caught at its import of OutputDebugStringA; those of other
// modules from the first-chance exception the channel raises for each line, which a
// vectored handler sees before anything else.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::vector<std::string> Lines();
    bool Has(const std::string &line);
    int Count(const std::string &line);
    void Clear();

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS *info);
    void *handler;
};
