#include "support/log_capture.h"

#include <string.h>

// The capture is process-wide: timer threads log too.
static CRITICAL_SECTION captureLock;
static std::vector<std::string> *captured = nullptr;
static const DWORD DebugPrintException = 0x40010006;

static void Record(const char *text, size_t length)
{
    EnterCriticalSection(&captureLock);
    if (captured != nullptr)
        captured->push_back(std::string(text, length));
    LeaveCriticalSection(&captureLock);
}

// Takes the place of OutputDebugStringA in this program's import table.
static void WINAPI CaptureDebugString(LPCSTR text)
{
    Record(text, strlen(text));
}

// Points every import slot of this program that holds `from` at `to`.
static void RedirectImport(void *from, void *to)
{
    BYTE *base = (BYTE *)GetModuleHandleA(NULL);
    const IMAGE_NT_HEADERS *headers = (const IMAGE_NT_HEADERS *)(base + ((const IMAGE_DOS_HEADER *)base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return;
    const IMAGE_IMPORT_DESCRIPTOR *module = (const IMAGE_IMPORT_DESCRIPTOR *)(base + imports.VirtualAddress);
    for (; module->Name != 0; ++module) {
        void **slot = (void **)(base + module->FirstThunk);
        for (; *slot != NULL; ++slot) {
            if (*slot != from)
                continue;
            DWORD oldProtection;
            VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &oldProtection);
            *slot = to;
            VirtualProtect(slot, sizeof *slot, oldProtection, &oldProtection);
        }
    }
}

static void *RealOutputDebugString()
{
    return (void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "OutputDebugStringA");
}

// Lines this program writes itself are taken at its import of OutputDebugStringA,
// so that writing one raises nothing. Under qemu's user-mode emulator the thread
// descriptor slots are shared by all threads: a thread that returns from an
// exception reloads its segment registers from them and goes on with the TEB and
// C library block of the newest thread, and the process dies. Lines from other
// modules still arrive through the vectored handler.
LogCapture::LogCapture()
{
    InitializeCriticalSection(&captureLock);
    captured = new std::vector<std::string>();
    handler = AddVectoredExceptionHandler(1, Handler);
    RedirectImport(RealOutputDebugString(), (void *)CaptureDebugString);
}

LogCapture::~LogCapture()
{
    RedirectImport((void *)CaptureDebugString, RealOutputDebugString());
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
    Record(text, length > 0 ? length - 1 : 0);
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
