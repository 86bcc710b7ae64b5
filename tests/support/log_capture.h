// Catches the lines written to the debugger output channel, from any thread: the
// channel raises a first-chance exception carrying each line, which a vectored
// handler sees before anything else.
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
