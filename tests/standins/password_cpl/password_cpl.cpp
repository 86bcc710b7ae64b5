// A password verifier for tests. The test scripts its answer in the process
// environment and reads back what the verifier saw:
//   NIMBRA_PASSWORD_ANSWER  "0" refuses, anything else accepts
//   NIMBRA_PASSWORD_CALLS   number of calls so far
//   NIMBRA_PASSWORD_OWNER   owner window of the last call, as hex
//   NIMBRA_PASSWORD_CURSOR  cursor display count during the last call
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static int CursorDisplayCount()
{
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

static void SetNumber(const char *name, const char *format, long value)
{
    char text[32];
    snprintf(text, sizeof text, format, value);
    SetEnvironmentVariableA(name, text);
}

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND owner)
{
    char text[32] = "";
    GetEnvironmentVariableA("NIMBRA_PASSWORD_CALLS", text, sizeof text);
    SetNumber("NIMBRA_PASSWORD_CALLS", "%ld", atol(text) + 1);
    SetNumber("NIMBRA_PASSWORD_OWNER", "%lx", (long)(LONG_PTR)owner);
    SetNumber("NIMBRA_PASSWORD_CURSOR", "%ld", CursorDisplayCount());
    text[0] = '\0';
    GetEnvironmentVariableA("NIMBRA_PASSWORD_ANSWER", text, sizeof text);
    return text[0] != '0';
}
