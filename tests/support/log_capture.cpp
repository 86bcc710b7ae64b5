#include "support/log_capture.h"

// The capture is process-wide: timer threads log too.
static CRITICAL_SECTION captureLock;
static std::vector<std::string> *captured = nullptr;
static const DWORD DebugPrintException = 0x40010006;

LogCapture::LogCapture()
{
    InitializeCriticalSection(&captureLock);
    captured = new std::vector<std::string>();
    handler = AddVectoredExceptionHandler(1, Handler);
}

LogCapture::~LogCapture()
{
    RemoveVectoredExceptionHandler(handler);
    EnterCriticalSection(&captureLock);
    delete captured;
    captured = nullptr;
    LeaveCriticalSection(&captureLock);
    DeleteCriticalSection(&captureLock);
}

LONG CALLBACK LogCapture::Handler(EXCEPTION_POINTERS *info)
{
    const EXCEPTION_RECORD *record = info->ExceptionRecord;
    if (record->ExceptionCode != DebugPrintException || record->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    // Parameters: length including the terminator, then the text.
    size_t length = (size_t)record->ExceptionInformation[0];
    const char *text = (const char *)record->ExceptionInformation[1];
    EnterCriticalSection(&captureLock);
    if (captured != nullptr)
        captured->push_back(std::string(text, length > 0 ? length - 1 : 0));
    LeaveCriticalSection(&captureLock);
    return EXCEPTION_CONTINUE_SEARCH;
}

std::vector<std::string> LogCapture::Lines()
{
    EnterCriticalSection(&captureLock);
    std::vector<std::string> copy = *captured;
    LeaveCriticalSection(&captureLock);
    return copy;
}

int LogCapture::Count(const std::string &line)
{
    int count = 0;
    for (const std::string &seen : Lines())
        count += seen == line;
    return count;
}

bool LogCapture::Has(const std::string &line)
{
    return Count(line) > 0;
}

void LogCapture::Clear()
{
    EnterCriticalSection(&captureLock);
    captured->clear();
    LeaveCriticalSection(&captureLock);
}
