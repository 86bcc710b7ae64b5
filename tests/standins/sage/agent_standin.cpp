// Stand-in for an optional agent library ("Sage.DLL", "ScrHots.dll"). The test
// steers it and reads what happened through environment variables of its own
// process, named <AGENT_ENV_PREFIX>_...:
//   _DETECT          the answer of System_Agent_Detect (default 0)
//   _DETECT_CALLS    how often System_Agent_Detect ran
//   _CHANGED_CALLS   how often Screen_Saver_Changed ran
//   _SEEN_CORNERS    the stored "Mouse Corners" when Screen_Saver_Changed last ran
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static void VariableName(char *name, const char *suffix)
{
    sprintf(name, "%s_%s", AGENT_ENV_PREFIX, suffix);
}

static int ReadNumber(const char *suffix)
{
    char name[64], value[32] = "";
    VariableName(name, suffix);
    if (!GetEnvironmentVariableA(name, value, sizeof value))
        return 0;
    return atoi(value);
}

static void WriteText(const char *suffix, const char *text)
{
    char name[64];
    VariableName(name, suffix);
    SetEnvironmentVariableA(name, text);
}

static void Count(const char *suffix)
{
    char text[32];
    sprintf(text, "%d", ReadNumber(suffix) + 1);
    WriteText(suffix, text);
}

#ifdef AGENT_HAS_CHANGED
static void RecordStoredCorners()
{
    char corners[16] = "";
    DWORD size = sizeof corners - 1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers",
                      0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "Mouse Corners", NULL, NULL, (BYTE *)corners, &size);
        RegCloseKey(key);
    }
    WriteText("SEEN_CORNERS", corners);
}
#endif

#ifdef AGENT_HAS_DETECT
extern "C" int WINAPI System_Agent_Detect(void)
{
    Count("DETECT_CALLS");
    return ReadNumber("DETECT");
}
#endif

#ifdef AGENT_HAS_CHANGED
extern "C" int WINAPI Screen_Saver_Changed(void)
{
    Count("CHANGED_CALLS");
    RecordStoredCorners();
    return 0;
}
#endif
