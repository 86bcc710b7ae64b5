// The setup program as a user meets it: nimbra-setup.exe run silently on a
// machine that has never seen Nimbra, then the installed saver, the desktop's
// saver choice, Programs and Features, and the uninstaller.
//
// Every case runs in a Wine prefix of its own (fresh-prefix.sh copies a booted,
// untouched template): an install writes the system folder, C:\windows\NimbraData,
// HKLM and the desktop's choice of saver for good, and each case must begin on
// a machine without Nimbra and with the desktop settings it sets up itself.
#include <stdio.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "e2e_harness.h"

namespace {

const char DesktopKey[] = "Control Panel\\Desktop";
const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char EntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbra";
const char Missing[] = "<missing>";
const char EarlierSaver[] = "C:\\windows\\system32\\earlier.scr";
const char *const Textures[] = {"nebula.bmp", "earth.bmp", "moon.bmp", "nimbra.bmp", "clouds.bmp"};
// A setup or uninstaller run takes seconds, but minutes where Wine's 32-bit half
// runs under emulation; the waits end as soon as the program is done.
const DWORD ProgramTimeoutMs = 300000;

// A registry value as text (a DWORD in decimal), or Missing.
std::string RegistryText(HKEY root, const char *key, const char *name)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return Missing;
    char data[1024] = "";
    DWORD size = sizeof(data) - 1, type = 0;
    LONG status = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE *>(data), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS)
        return Missing;
    if (type == REG_DWORD)
        return std::to_string(*reinterpret_cast<DWORD *>(data));
    return data;
}

std::string DesktopValue(const char *name)
{
    return RegistryText(HKEY_CURRENT_USER, DesktopKey, name);
}

void SetDesktopValue(const char *name, const char *text)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (text)
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text), strlen(text) + 1);
    else
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// The folder where the desktop looks for 32-bit savers: SysWOW64 on 64-bit
// Windows (and in a 64-bit Wine prefix), System32 on 32-bit Windows.
std::string SaverFolder()
{
    char path[MAX_PATH] = "";
    if (GetSystemWow64DirectoryA(path, sizeof(path)) == 0)
        GetSystemDirectoryA(path, sizeof(path));
    return path;
}

std::string InstalledSaver()
{
    return SaverFolder() + "\\nimbra.scr";
}

std::string DataFolder()
{
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, sizeof(path));
    return std::string(path) + "\\NimbraData";
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a command line to its end and gives its exit code.
DWORD Run(const std::string &commandLine)
{
    ChildProcess process;
    if (!StartChild(commandLine, &process))
        return GetLastError() + 0x10000000u;
    DWORD code = WaitForChild(&process, ProgramTimeoutMs);
    EndChild(&process);
    return code;
}

DWORD RunSetup(const char *arguments)
{
    return Run(std::string("\"") + NIMBRA_SETUP + "\" " + arguments);
}

int NimbraEntries()
{
    HKEY uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ, &uninstall) != ERROR_SUCCESS)
        return 0;
    int count = 0;
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(uninstall, i, name, sizeof(name)) == ERROR_SUCCESS; ++i) {
        std::string key = std::string(UninstallKey) + "\\" + name;
        count += RegistryText(HKEY_LOCAL_MACHINE, key.c_str(), "DisplayName") == "Nimbra";
    }
    RegCloseKey(uninstall);
    return count;
}

bool WaitUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        PumpMessagesFor(50);
    }
    return true;
}

// The uninstaller copies itself to the temporary folder, starts the copy and
// ends at once; the copy does the work.
bool UninstallSilently()
{
    std::string command = RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "QuietUninstallString");
    if (command == Missing || Run(command) != 0)
        return false;
    return WaitUntil([] { return NimbraEntries() == 0 && !Exists(DataFolder()); }, ProgramTimeoutMs);
}

std::string VersionString(const std::vector<char> &block, const char *name)
{
    WORD *language = nullptr;
    UINT length = 0;
    if (block.empty() ||
        !VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void **>(&language), &length) ||
        length < 2 * sizeof(WORD))
        return Missing;
    char path[128];
    snprintf(path, sizeof(path), "\\StringFileInfo\\%04x%04x\\%s", language[0], language[1], name);
    void *value = nullptr;
    if (!VerQueryValueA(block.data(), path, &value, &length) || length == 0)
        return Missing;
    return static_cast<const char *>(value);
}

std::vector<char> VersionBlock(const std::string &file)
{
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(file.c_str(), 0, size, block.data()))
        block.clear();
    return block;
}

class Setup : public NimbraScr {};

}  // namespace

TEST_F(Setup, SilentInstallMakesNimbraTheActiveSaverAndTheSaverFindsItsTextures)
{
    ASSERT_EQ(RunSetup("/S"), 0u);

    const std::string saver = InstalledSaver(), data = DataFolder();
    ASSERT_TRUE(Exists(saver)) << saver;
    for (const char *texture : Textures)
        ASSERT_TRUE(Exists(data + "\\" + texture)) << texture;
    EXPECT_STRCASEEQ(DesktopValue("SCRNSAVE.EXE").c_str(), saver.c_str());
    EXPECT_EQ(DesktopValue("ScreenSaveActive"), "1");

    const std::string uninstaller = "\"" + data + "\\uninstall.exe\"";
    EXPECT_EQ(NimbraEntries(), 1);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "DisplayVersion"), NIMBRA_VERSION);
    EXPECT_NE(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "Publisher"), Missing);
    EXPECT_STRCASEEQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "DisplayIcon").c_str(), (saver + ",0").c_str());
    EXPECT_STRCASEEQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "UninstallString").c_str(), uninstaller.c_str());
    EXPECT_STRCASEEQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "QuietUninstallString").c_str(),
                     (uninstaller + " /S").c_str());
    EXPECT_GT(atoi(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "EstimatedSize").c_str()), 1000);   // KB
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "NoModify"), "1");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "NoRepair"), "1");

    // The animation ends on Escape only when it opened with all five textures;
    // a missing one ends the program with its box instead of the saver window.
    ASSERT_TRUE(StartPastTheAnimation(saver, "/s"));
    EXPECT_NE(WaitForSaverWindow(), nullptr);
}

TEST_F(Setup, InstalledSaverNamesItselfNimbraWithTheProjectVersion)
{
    ASSERT_EQ(RunSetup("/S"), 0u);

    const std::vector<char> block = VersionBlock(InstalledSaver());
    ASSERT_FALSE(block.empty());
    const struct {
        const char *name;
        const char *text;
    } strings[] = {
        {"FileDescription", "Nimbra"}, {"ProductName", "Nimbra"},         {"FileVersion", NIMBRA_VERSION},
        {"ProductVersion", NIMBRA_VERSION}, {"OriginalFilename", "nimbra.scr"}, {"InternalName", "nimbra"},
    };
    for (const auto &entry : strings)
        EXPECT_EQ(VersionString(block, entry.name), entry.text) << entry.name;
    EXPECT_NE(VersionString(block, "CompanyName"), Missing);
    EXPECT_NE(VersionString(block, "LegalCopyright"), Missing);

    // Explorer's file properties show the numeric version.
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void **>(&fixed), &length));
    char numbers[32];
    snprintf(numbers, sizeof(numbers), "%u.%u.%u", static_cast<unsigned>(HIWORD(fixed->dwFileVersionMS)),
             static_cast<unsigned>(LOWORD(fixed->dwFileVersionMS)), static_cast<unsigned>(HIWORD(fixed->dwFileVersionLS)));
    EXPECT_STREQ(numbers, NIMBRA_VERSION);

    // The desktop's saver list names a .scr file by its string 1.
    HMODULE module = LoadLibraryExA(InstalledSaver().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    char name[64] = "";
    LoadStringA(module, 1, name, sizeof(name));
    FreeLibrary(module);
    EXPECT_STREQ(name, "Nimbra");

    const std::vector<char> setupBlock = VersionBlock(NIMBRA_SETUP);
    EXPECT_EQ(VersionString(setupBlock, "ProductName"), "Nimbra");
    EXPECT_EQ(VersionString(setupBlock, "ProductVersion"), NIMBRA_VERSION);
}

TEST_F(Setup, NoActivateLeavesTheActiveSaverAsItWas)
{
    SetDesktopValue("SCRNSAVE.EXE", EarlierSaver);
    SetDesktopValue("ScreenSaveActive", "0");

    ASSERT_EQ(RunSetup("/S /NOACTIVATE"), 0u);

    EXPECT_TRUE(Exists(InstalledSaver()));
    EXPECT_EQ(DesktopValue("SCRNSAVE.EXE"), EarlierSaver);
    EXPECT_EQ(DesktopValue("ScreenSaveActive"), "0");
}

TEST_F(Setup, UninstallAfterTwoInstallsRemovesEverythingAndBringsBackTheEarlierSaver)
{
    SetDesktopValue("SCRNSAVE.EXE", EarlierSaver);
    SetMouseThreshold(400);

    ASSERT_EQ(RunSetup("/S"), 0u);
    ASSERT_EQ(RunSetup("/S"), 0u);   // over the first: Nimbra must not become "the earlier saver"
    EXPECT_EQ(NimbraEntries(), 1);
    EXPECT_STRCASEEQ(DesktopValue("SCRNSAVE.EXE").c_str(), InstalledSaver().c_str());

    ASSERT_TRUE(UninstallSilently());

    EXPECT_FALSE(Exists(InstalledSaver()));
    EXPECT_FALSE(Exists(DataFolder()));
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "DisplayName"), Missing);
    EXPECT_EQ(DesktopValue("SCRNSAVE.EXE"), EarlierSaver);
    EXPECT_EQ(DesktopValue("ScreenSaveActive"), "1");
    EXPECT_EQ(StoredValue("Mouse Threshold"), 400u);   // shared with other savers: it stays
}

TEST_F(Setup, UninstallWithNoEarlierSaverTurnsTheScreenSaverOff)
{
    SetDesktopValue("SCRNSAVE.EXE", nullptr);

    ASSERT_EQ(RunSetup("/S"), 0u);
    ASSERT_TRUE(UninstallSilently());

    EXPECT_EQ(DesktopValue("SCRNSAVE.EXE"), Missing);
    EXPECT_EQ(DesktopValue("ScreenSaveActive"), "0");
}
