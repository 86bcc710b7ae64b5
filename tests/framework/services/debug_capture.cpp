#include "framework/services/debug_capture.h"

static const DWORD DebugPrintException = 0x40010006;

DebugCapture *DebugCapture::active = nullptr;

DebugCapture::DebugCapture()
{
    active = this;
    handler = AddVectoredExceptionHandler(1, Handler);
}

DebugCapture::~DebugCapture()
{
    RemoveVectoredExceptionHandler(handler);
    active = nullptr;
}

LONG CALLBACK DebugCapture::Handler(EXCEPTION_POINTERS *info)
{
    const EXCEPTION_RECORD *record = info->ExceptionRecord;
    if (active != nullptr && record->ExceptionCode == DebugPrintException &&
        record->NumberParameters >= 2) {
        // Parameters: length including the terminator, then the text.
        size_t length = (size_t)record->ExceptionInformation[0];
        const char *text = (const char *)record->ExceptionInformation[1];
        active->lines.push_back(std::string(text, length > 0 ? length - 1 : 0));
    }
    return EXCEPTION_CONTINUE_SEARCH;
}
