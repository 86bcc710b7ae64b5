// The user's screen-saver settings in the registry, with a remembered copy.
#include "framework/config/general_dialog.h"
#include "framework/config/resource_lookup.h"

#include "framework/services/services.h"
#include "framework/startup/prefs.h"

enum SettingsString {
    KeyString = 500,
    PasswordDelayName = 501,
    PasswordDelayIndexName = 502,
    MouseThresholdName = 503,
    MouseThresholdIndexName = 504,
    MouseCornersName = 505,
    MuteSoundName = 506,
    ActiveConfigName = 507,
};

// Any stored type whose data fits in 4 bytes is taken; shorter data is
// zero-extended. Longer data fails and the field keeps its value.
static bool ReadNumber(HKEY key, UINT nameId, LONG *field)
{
    char name[NameCapacity];
    if (!LoadFrameworkString(nameId, name, sizeof name))
        return false;
    BYTE data[4] = {0, 0, 0, 0};
    DWORD size = sizeof(data);
    if (RegQueryValueExA(key, name, NULL, NULL, data, &size) != ERROR_SUCCESS)
        return false;
    *field = (LONG)((DWORD)data[0] | ((DWORD)data[1] << 8) | ((DWORD)data[2] << 16) |
                    ((DWORD)data[3] << 24));
    return true;
}

static void ClampIndex(LONG *field, DWORD highest)
{
    if ((DWORD)*field > highest)
        *field = (LONG)highest;
}

static BYTE CornerStateOf(char c)
{
    if (c == 'Y')
        return 1;
    if (c == 'N')
        return 2;
    return 0;
}

static void ReadCorners(HKEY key, BYTE corner[4])
{
    char name[NameCapacity];
    if (!LoadFrameworkString(MouseCornersName, name, sizeof name))
        return;
    char text[5] = {0, 0, 0, 0, 0};
    DWORD size = sizeof(text);
    if (RegQueryValueExA(key, name, NULL, NULL, (BYTE *)text, &size) != ERROR_SUCCESS)
        return;
    // Positions past the end of the stored text are default.
    bool ended = false;
    for (int i = 0; i < 4; i++) {
        if ((DWORD)i >= size || text[i] == '\0')
            ended = true;
        corner[i] = ended ? 0 : CornerStateOf(text[i]);
    }
}

static void WriteNumber(HKEY key, UINT nameId, LONG value)
{
    char name[NameCapacity];
    if (!LoadFrameworkString(nameId, name, sizeof name))
        return;
    DWORD data = (DWORD)value;
    RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&data, sizeof(data));
}

static void WriteCorners(HKEY key, const BYTE corner[4])
{
    char name[NameCapacity];
    if (!LoadFrameworkString(MouseCornersName, name, sizeof name))
        return;
    static const char StateCharacter[] = "-YN";
    char text[5];
    for (int i = 0; i < 4; i++)
        text[i] = corner[i] <= 2 ? StateCharacter[corner[i]] : '-';
    text[4] = '\0';
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, sizeof(text));
}

GeneralDialog::GeneralDialog()
{
    fillingControls = 0;
    for (int i = 0; i < 4; i++)
        corner[i] = 0;
    muteSound = 0;
    mouseThreshold = 0;
    mouseThresholdIndex = 0;
    passwordDelay = 60;
    passwordDelayIndex = 0;
    activeConfig = 0;
    ReadRegistry();
    Remember();
}

void GeneralDialog::ReadRegistry()
{
    char keyName[NameCapacity];
    if (!LoadFrameworkString(KeyString, keyName, sizeof keyName))
        return;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;

    ReadNumber(key, PasswordDelayName, &passwordDelay);
    if (ReadNumber(key, PasswordDelayIndexName, &passwordDelayIndex))
        ClampIndex(&passwordDelayIndex, 1);
    ReadNumber(key, MouseThresholdName, &mouseThreshold);
    ReadNumber(key, MouseThresholdIndexName, &mouseThresholdIndex);
    ClampIndex(&mouseThresholdIndex, 3);
    ReadCorners(key, corner);
    if (CurrentPrefs.supportsMuteSound)
        ReadNumber(key, MuteSoundName, &muteSound);
    if (CurrentPrefs.supportsActiveConfig)
        ReadNumber(key, ActiveConfigName, &activeConfig);

    RegCloseKey(key);
}

void GeneralDialog::WriteRegistry()
{
    DebugOut("Lullex: GeneralDialog: WriteRegistry.");
    char keyName[NameCapacity];
    if (!LoadFrameworkString(KeyString, keyName, sizeof keyName))
        return;
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        NULL, &key, &disposition) != ERROR_SUCCESS)
        return;

    WriteNumber(key, PasswordDelayName, passwordDelay);
    WriteNumber(key, PasswordDelayIndexName, passwordDelayIndex);
    WriteNumber(key, MouseThresholdName, mouseThreshold);
    WriteNumber(key, MouseThresholdIndexName, mouseThresholdIndex);
    WriteCorners(key, corner);
    if (CurrentPrefs.supportsMuteSound)
        WriteNumber(key, MuteSoundName, muteSound);
    if (CurrentPrefs.supportsActiveConfig)
        WriteNumber(key, ActiveConfigName, activeConfig);

    RegCloseKey(key);
}

void GeneralDialog::Remember()
{
    for (int i = 0; i < 4; i++)
        rememberedCorner[i] = corner[i];
    rememberedMuteSound = muteSound;
    rememberedMouseThreshold = mouseThreshold;
    rememberedMouseThresholdIndex = mouseThresholdIndex;
    rememberedPasswordDelay = passwordDelay;
    rememberedPasswordDelayIndex = passwordDelayIndex;
    rememberedActiveConfig = activeConfig;
}

bool GeneralDialog::Revert()
{
    bool changed = muteSound != rememberedMuteSound || mouseThreshold != rememberedMouseThreshold ||
                   mouseThresholdIndex != rememberedMouseThresholdIndex ||
                   passwordDelay != rememberedPasswordDelay ||
                   passwordDelayIndex != rememberedPasswordDelayIndex ||
                   activeConfig != rememberedActiveConfig;
    for (int i = 0; i < 4; i++)
        changed = changed || corner[i] != rememberedCorner[i];
    if (!changed)
        return false;
    for (int i = 0; i < 4; i++)
        corner[i] = rememberedCorner[i];
    muteSound = rememberedMuteSound;
    mouseThreshold = rememberedMouseThreshold;
    mouseThresholdIndex = rememberedMouseThresholdIndex;
    passwordDelay = rememberedPasswordDelay;
    passwordDelayIndex = rememberedPasswordDelayIndex;
    activeConfig = rememberedActiveConfig;
    return true;
}
