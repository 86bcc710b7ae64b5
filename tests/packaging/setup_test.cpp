// The setup program as a user meets it: nimbra-<version>-setup.exe run silently
// and shown on a machine that has never seen Nimbra or that has 1.0.0, then the
// installed saver, the desktop's saver choice, Programs and Features, and the
// uninstaller.
//
// Every case runs in a Wine prefix of its own (fresh-prefix.sh gives each case a
// copy of a booted, untouched template, so the program runs one process per
// case): an install writes the system folder, C:\windows\NimbraData, HKLM and
// the desktop's choice of saver for good, and each case must begin on a machine
// without Nimbra and with the desktop settings it sets up itself. The prefixes
// are 64-bit ones, as 64-bit Windows; the case of 32-bit Windows runs in a
// 32-bit prefix (see CMakeLists.txt).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include <windows.h>
#include <tlhelp32.h>

#include "e2e_harness.h"
#include "support/pump.h"

namespace {

const char DesktopKey[] = "Control Panel\\Desktop";
const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char EntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbra";
const char SessionKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char Missing[] = "<missing>";
const char EarlierSaver[] = "C:\\windows\\system32\\earlier.scr";
const char *const Textures[] = {"nebula.bmp", "earth.bmp", "moon.bmp", "nimbra.bmp", "clouds.bmp"};
// A setup or uninstaller run takes seconds, but minutes where Wine's 32-bit half
// runs under emulation; the waits end as soon as the program is done.
const DWORD ProgramTimeoutMs = 300000;

bool Is64BitWindows()
{
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    return wow64 || sizeof(void *) == 8;
}

// File-system redirection off for one scope, so that this program (32-bit on
// 64-bit Windows) sees the native system folder under its own name.
struct NativeFiles {
    PVOID old = nullptr;
    NativeFiles() { Wow64DisableWow64FsRedirection(&old); }
    ~NativeFiles() { Wow64RevertWow64FsRedirection(old); }
};

// A registry value as text (a DWORD in decimal, a multi-string with '|' between
// its strings), or Missing; `view` picks the 64-bit or the 32-bit registry.
std::string RegistryText(HKEY root, const char *key, const char *name, REGSAM view = KEY_WOW64_64KEY)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE | view, &handle) != ERROR_SUCCESS)
        return Missing;
    std::vector<char> data(8192);
    DWORD size = data.size() - 2, type = 0;
    LONG status = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE *>(data.data()), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS)
        return Missing;
    if (type == REG_DWORD)
        return std::to_string(*reinterpret_cast<DWORD *>(data.data()));
    if (type == REG_MULTI_SZ)
        for (DWORD i = 0; i + 1 < size; ++i)
            data[i] = data[i] ? data[i] : '|';
    return std::string(data.data());
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

std::string WindowsFolder()
{
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, sizeof(path));
    return path;
}

// Where setup puts the saver: the native system folder of either kind of Windows.
std::string InstalledSaver()
{
    return WindowsFolder() + "\\System32\\nimbra.scr";
}

// Where 1.0.0 put it on 64-bit Windows.
std::string OldSaver()
{
    return WindowsFolder() + "\\SysWOW64\\nimbra.scr";
}

std::string DataFolder()
{
    return WindowsFolder() + "\\NimbraData";
}

bool Exists(const std::string &path)
{
    NativeFiles native;
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The machine type of a program file's PE header (0x14c x86, 0x8664 x64), or 0.
WORD Machine(const std::string &path)
{
    NativeFiles native;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    char header[4096];
    DWORD read = 0;
    ReadFile(file, header, sizeof(header), &read, nullptr);
    CloseHandle(file);
    DWORD pe = read >= 0x40 ? *reinterpret_cast<DWORD *>(header + 0x3c) : 0;
    return pe + 6 <= read ? *reinterpret_cast<WORD *>(header + pe + 4) : 0;
}

FILETIME WriteTime(const std::string &path)
{
    NativeFiles native;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// Dates the file back to 2001, so that a later write shows.
void Backdate(const std::string &path)
{
    NativeFiles native;
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    SYSTEMTIME old = {2001, 1, 1, 1, 0, 0, 0, 0};
    FILETIME time;
    SystemTimeToFileTime(&old, &time);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
}

bool IsBackdated(const std::string &path)
{
    SYSTEMTIME time;
    FILETIME written = WriteTime(path);
    FileTimeToSystemTime(&written, &time);
    return time.wYear == 2001;
}

// Runs a command line to its end and gives its exit code.
DWORD RunProgram(const std::string &commandLine)
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
    return RunProgram(std::string("\"") + NIMBRA_SETUP + "\" " + arguments);
}

int NimbraEntries(REGSAM view)
{
    HKEY uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ | view, &uninstall) != ERROR_SUCCESS)
        return 0;
    int count = 0;
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(uninstall, i, name, sizeof(name)) == ERROR_SUCCESS; ++i) {
        std::string key = std::string(UninstallKey) + "\\" + name;
        count += RegistryText(HKEY_LOCAL_MACHINE, key.c_str(), "DisplayName", view) == "Nimbra";
    }
    RegCloseKey(uninstall);
    return count;
}

// Entries in both registry views (one and the same on 32-bit Windows).
int AllNimbraEntries()
{
    return NimbraEntries(KEY_WOW64_64KEY) + (Is64BitWindows() ? NimbraEntries(KEY_WOW64_32KEY) : 0);
}

std::string TempFolder()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof(temp), temp);
    return temp;
}

// Files and folders that match a pattern, "." and ".." left out.
int FilesIn(const std::string &pattern)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        count += strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

// The uninstaller's temporary copies (%TEMP%\~nsu*.tmp).
int UninstallerCopies()
{
    return FilesIn(TempFolder() + "~nsu*.tmp");
}

// A running process of that program name, opened to wait for it, or null.
HANDLE OpenProcessNamed(const char *name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    HANDLE process = nullptr;
    for (BOOL more = Process32First(snapshot, &entry); more && !process; more = Process32Next(snapshot, &entry))
        if (_stricmp(entry.szExeFile, name) == 0)
            process = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
    CloseHandle(snapshot);
    return process;
}

bool NimbraGone()
{
    return AllNimbraEntries() == 0 && !Exists(DataFolder()) && !Exists(InstalledSaver()) && UninstallerCopies() == 0;
}

// The uninstaller copies itself to the temporary folder, starts the copy and
// ends at once; the copy does the work and removes itself.
bool UninstallSilently()
{
    std::string command = RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "QuietUninstallString");
    if (command == Missing || RunProgram(command) != 0)
        return false;
    return PumpUntil(NimbraGone, ProgramTimeoutMs);
}

std::string WindowText(HWND window)
{
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    char narrow[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
    return narrow;
}

// Answers the shown setup or uninstaller as a user would, until `done`: a message
// box gets `answer` (its text is kept in `boxes`), every page its default button
// (Install, Next, Finish, Uninstall, Close) once that is enabled.
struct Answerer {
    int answer = IDOK;
    std::vector<std::string> boxes;
    HWND lastBox = nullptr;
    DWORD lastPress = 0;

    static BOOL CALLBACK Visit(HWND window, LPARAM self)
    {
        reinterpret_cast<Answerer *>(self)->Answer(window);
        return TRUE;
    }

    void Answer(HWND window)
    {
        char cls[64] = "";
        GetClassNameA(window, cls, sizeof(cls));
        std::string title = WindowText(window);
        if (strcmp(cls, "#32770") != 0 || !IsWindowVisible(window) || title.rfind("Nimbra ", 0) != 0)
            return;
        HWND text = GetDlgItem(window, 0xFFFF);
        if (text) {   // a message box
            if (window != lastBox)
                boxes.push_back(WindowText(text));
            lastBox = window;
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
            return;
        }
        HWND next = GetDlgItem(window, IDOK);
        if (next && IsWindowEnabled(next) && IsWindowVisible(next) && GetTickCount() - lastPress > 300) {
            lastPress = GetTickCount();
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(next));
        }
    }

    bool Until(const std::function<bool()> &done)
    {
        return PumpUntil(
            [&] {
                EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
                return done();
            },
            ProgramTimeoutMs);
    }
};

bool Ended(const ChildProcess &process)
{
    return WaitForSingleObject(process.process, 0) == WAIT_OBJECT_0;
}

DWORD ExitCode(const ChildProcess &process)
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.process, &code);
    return code;
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
    NativeFiles native;
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(file.c_str(), 0, size, block.data()))
        block.clear();
    return block;
}

class Setup : public NimbraScr {
protected:
    void SetUp() override
    {
        const char *no32 = getenv("NIMBRA_NO_32BIT");
        if (no32 && strcmp(no32, "1") == 0)
            GTEST_SKIP() << "the setup program is a 32-bit program, and this machine runs no 32-bit programs";
        NimbraScr::SetUp();
        // Each case begins on its own fresh machine: nothing of Nimbra anywhere.
        ASSERT_EQ(AllNimbraEntries(), 0);
        ASSERT_FALSE(Exists(InstalledSaver()));
        ASSERT_FALSE(Exists(OldSaver()));
        ASSERT_FALSE(Exists(DataFolder()));
    }

    // Starts the installed saver and waits for its first window: the question
    // about windowed mode that a bare X server makes it ask, or its animation.
    // Either way it is a running Nimbra, as good as the saver or a preview.
    void StartInstalledSaver()
    {
        {
            NativeFiles native;
            ASSERT_TRUE(StartChild("\"" + InstalledSaver() + "\" /s", &child));
        }
        ASSERT_TRUE(PumpUntil(
            [&] {
                return WaitForWindowOf(child.pid, "#32770", nullptr, 0) ||
                       WaitForWindowOf(child.pid, "OpenGL", nullptr, 0) || Ended(child);
            },
            30000));
        ASSERT_FALSE(Ended(child));
    }

    void ExpectInstalledHere()
    {
        const std::string saver = InstalledSaver(), data = DataFolder();
        EXPECT_EQ(Machine(saver), Is64BitWindows() ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386) << saver;
        EXPECT_FALSE(Is64BitWindows() && Exists(OldSaver()));
        for (const char *texture : Textures)
            EXPECT_TRUE(Exists(data + "\\" + texture)) << texture;
        EXPECT_EQ(NimbraEntries(KEY_WOW64_64KEY), 1);
        EXPECT_EQ(AllNimbraEntries(), 1);
        EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "DisplayVersion"), NIMBRA_VERSION);
        EXPECT_STRCASEEQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "DisplayIcon").c_str(), (saver + ",0").c_str());
    }
};

}  // namespace

TEST_F(Setup, OverVersion100ThenUninstallLeavesOneX64SaverInSystem32AndBringsBackTheEarlierSaver)
{
    SetDesktopValue("SCRNSAVE.EXE", EarlierSaver);
    SetDesktopValue("ScreenSaveActive", "1");
    SetMouseThreshold(400);
    ASSERT_EQ(RunProgram(std::string("\"") + NIMBRA_100_SETUP + "\" /S"), 0u);
    ASSERT_EQ(NimbraEntries(KEY_WOW64_32KEY), 1);
    ASSERT_TRUE(Exists(OldSaver()));

    // /D cannot move the data folder: the saver reads its pictures from there only.
    ASSERT_EQ(RunSetup("/S /D=C:\\Elsewhere"), 0u);

    ExpectInstalledHere();
    EXPECT_FALSE(Exists("C:\\Elsewhere"));
    const std::string saver = InstalledSaver(), data = DataFolder();
    EXPECT_STRCASEEQ(DesktopValue("SCRNSAVE.EXE").c_str(), saver.c_str());
    EXPECT_EQ(DesktopValue("ScreenSaveActive"), "1");
    const std::string uninstaller = "\"" + data + "\\uninstall.exe\"";
    EXPECT_NE(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "Publisher"), Missing);
    EXPECT_STRCASEEQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "UninstallString").c_str(), uninstaller.c_str());
    EXPECT_STRCASEEQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "QuietUninstallString").c_str(),
                     (uninstaller + " /S").c_str());
    EXPECT_GT(atoi(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "EstimatedSize").c_str()), 1000);   // KB
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "NoModify"), "1");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "NoRepair"), "1");

    // The installed saver and the setup name themselves with the project version;
    // the uninstaller says what it is.
    const std::vector<char> block = VersionBlock(saver);
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
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void **>(&fixed), &length));
    char numbers[32];
    snprintf(numbers, sizeof(numbers), "%u.%u.%u", static_cast<unsigned>(HIWORD(fixed->dwFileVersionMS)),
             static_cast<unsigned>(LOWORD(fixed->dwFileVersionMS)), static_cast<unsigned>(HIWORD(fixed->dwFileVersionLS)));
    EXPECT_STREQ(numbers, NIMBRA_VERSION);
    {   // the desktop's saver list names a .scr file by its string 1
        NativeFiles native;
        HMODULE module = LoadLibraryExA(saver.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        char name[64] = "";
        LoadStringA(module, 1, name, sizeof(name));
        FreeLibrary(module);
        EXPECT_STREQ(name, "Nimbra");
    }
    const std::vector<char> setupBlock = VersionBlock(NIMBRA_SETUP);
    EXPECT_EQ(VersionString(setupBlock, "ProductName"), "Nimbra");
    EXPECT_EQ(VersionString(setupBlock, "ProductVersion"), NIMBRA_VERSION);
    const std::vector<char> uninstallerBlock = VersionBlock(data + "\\uninstall.exe");
    EXPECT_EQ(VersionString(uninstallerBlock, "FileDescription"), "Nimbra Uninstall");
    EXPECT_EQ(VersionString(uninstallerBlock, "OriginalFilename"), "uninstall.exe");

    // The animation ends on Escape only when it opened with all five textures;
    // a missing one ends the program with its box instead of the saver window.
    {
        NativeFiles native;
        ASSERT_TRUE(StartPastTheAnimation(saver, "/s"));
    }
    EXPECT_NE(WaitForSaverWindow(), nullptr);
    EndChild(&child);

    // The saver that 1.0.0 remembered comes back; shared settings stay.
    ASSERT_TRUE(UninstallSilently());
    EXPECT_FALSE(Exists(OldSaver()));
    EXPECT_EQ(DesktopValue("SCRNSAVE.EXE"), EarlierSaver);
    EXPECT_EQ(DesktopValue("ScreenSaveActive"), "1");
    EXPECT_EQ(StoredValue("Mouse Threshold"), 400u);
}

TEST_F(Setup, NoActivateLeavesTheActiveSaverAsItWas)
{
    SetDesktopValue("SCRNSAVE.EXE", EarlierSaver);
    SetDesktopValue("ScreenSaveActive", "0");

    ASSERT_EQ(RunSetup("/S /NOACTIVATE"), 0u);

    ExpectInstalledHere();
    EXPECT_EQ(DesktopValue("SCRNSAVE.EXE"), EarlierSaver);
    EXPECT_EQ(DesktopValue("ScreenSaveActive"), "0");
}

// Uninstall puts both values back exactly as they were before the first
// activating install: a saver switched off stays off, absent values end absent,
// also where that install was 1.0.0's, which remembered only a saver it found.
TEST_F(Setup, UninstallPutsTheSaverSettingsBackAsTheyWereBeforeTheFirstInstall)
{
    const struct {
        const char *saver;
        const char *active;
        const char *firstSetup;
    } before[] = {{EarlierSaver, "0", NIMBRA_SETUP},
                  {nullptr, nullptr, NIMBRA_SETUP},
                  {nullptr, "1", NIMBRA_SETUP},
                  {nullptr, nullptr, NIMBRA_100_SETUP}};
    for (const auto &settings : before) {
        SCOPED_TRACE(std::string(settings.saver ? settings.saver : Missing) + " " +
                     (settings.active ? settings.active : Missing) + " first " + settings.firstSetup);
        SetDesktopValue("SCRNSAVE.EXE", settings.saver);
        SetDesktopValue("ScreenSaveActive", settings.active);

        ASSERT_EQ(RunProgram(std::string("\"") + settings.firstSetup + "\" /S"), 0u);
        ASSERT_EQ(RunSetup("/S"), 0u);   // over the first: Nimbra's values must not become "the earlier" ones
        EXPECT_STRCASEEQ(DesktopValue("SCRNSAVE.EXE").c_str(), InstalledSaver().c_str());
        EXPECT_EQ(DesktopValue("ScreenSaveActive"), "1");
        ASSERT_TRUE(UninstallSilently());

        EXPECT_EQ(DesktopValue("SCRNSAVE.EXE"), settings.saver ? settings.saver : Missing);
        EXPECT_EQ(DesktopValue("ScreenSaveActive"), settings.active ? settings.active : Missing);
        HKEY memory;
        EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Nimbra", 0, KEY_READ, &memory), ERROR_SUCCESS);
    }
}

TEST_F(Setup, SilentInstallAndUninstallCloseTheRunningSaverFirst)
{
    ASSERT_EQ(RunSetup("/S"), 0u);
    Backdate(InstalledSaver());
    StartInstalledSaver();

    ASSERT_EQ(RunSetup("/S"), 0u);
    EXPECT_TRUE(Ended(child));
    EXPECT_FALSE(IsBackdated(InstalledSaver())) << "the old file is still in place";
    EndChild(&child);

    StartInstalledSaver();
    ASSERT_TRUE(UninstallSilently());
    EXPECT_TRUE(Ended(child));
}

// The uninstaller's copy in %TEMP%\~nsu*.tmp is removed by a command script that
// tries again until the folder goes. A file of someone else's in that folder
// keeps it: the script pauses a second between its tries, gives up after the
// seconds /CLEANUPSECONDS= gives (30 without it) and removes itself.
TEST_F(Setup, TheUninstallersCleanUpPausesBetweenTriesAndGivesUp)
{
    ASSERT_EQ(RunSetup("/S"), 0u);
    ASSERT_EQ(RunProgram(RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "QuietUninstallString") + " /CLEANUPSECONDS=4"), 0u);
    // The copy runs now and holds its folder until it ends.
    const std::string temp = TempFolder();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((temp + "~nsu*.tmp").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    const std::string copyFolder = temp + found.cFileName;
    HANDLE other = CreateFileA((copyFolder + "\\other.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    CloseHandle(other);

    HANDLE script = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (script = OpenProcessNamed("cmd.exe")) != nullptr; }, ProgramTimeoutMs));
    const DWORD start = GetTickCount();
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(script, 0) == WAIT_OBJECT_0; }, 120000))
        << "the clean-up script still runs";
    const DWORD seconds = (GetTickCount() - start) / 1000;
    CloseHandle(script);
    EXPECT_GE(seconds, 2u) << "no pause between the tries";
    EXPECT_LT(seconds, 20u) << "the clean-up did not give up after 4 s";
    EXPECT_EQ(AllNimbraEntries(), 0);
    EXPECT_EQ(FilesIn(copyFolder + "\\*"), 1) << "the copy stays";
    EXPECT_EQ(FilesIn(temp + "*.cmd"), 0) << "the script stays";
}

TEST_F(Setup, ShownSetupAndUninstallOfferToCloseTheRunningSaverOrToCancel)
{
    ASSERT_EQ(RunSetup("/S"), 0u);
    Backdate(InstalledSaver());
    StartInstalledSaver();

    ChildProcess setup;
    ASSERT_TRUE(StartChild(std::string("\"") + NIMBRA_SETUP + "\"", &setup));
    Answerer cancel;
    cancel.answer = IDCANCEL;
    EXPECT_TRUE(cancel.Until([&] { return Ended(setup); }));
    EXPECT_EQ(ExitCode(setup), 1u);
    EndChild(&setup);
    ASSERT_EQ(cancel.boxes.size(), 1u);
    EXPECT_NE(cancel.boxes[0].find("Nimbra is running"), std::string::npos) << cancel.boxes[0];
    EXPECT_FALSE(Ended(child));
    EXPECT_TRUE(IsBackdated(InstalledSaver()));

    ASSERT_TRUE(StartChild(std::string("\"") + NIMBRA_SETUP + "\"", &setup));
    Answerer close;
    EXPECT_TRUE(close.Until([&] { return Ended(setup); }));
    EXPECT_EQ(ExitCode(setup), 0u);
    EndChild(&setup);
    EXPECT_EQ(close.boxes.size(), 1u);
    EXPECT_TRUE(Ended(child));
    EXPECT_FALSE(IsBackdated(InstalledSaver()));
    EndChild(&child);

    StartInstalledSaver();
    std::string uninstaller = RegistryText(HKEY_LOCAL_MACHINE, EntryKey, "UninstallString");
    ASSERT_EQ(RunProgram(uninstaller), 0u);
    Answerer uninstall;
    EXPECT_TRUE(uninstall.Until(NimbraGone));
    EXPECT_EQ(uninstall.boxes.size(), 1u);
    EXPECT_TRUE(Ended(child));
}

// A file that another program holds open: setup fails without changing
// anything; uninstall removes it at the next restart and says so with its exit
// code (run in place with _?= to see it).
TEST_F(Setup, AFileInUseFailsSetupAndIsRemovedAtRestartByUninstall)
{
    ASSERT_EQ(RunSetup("/S"), 0u);
    Backdate(InstalledSaver());
    HANDLE held;
    {
        NativeFiles native;
        held = CreateFileA(InstalledSaver().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    EXPECT_EQ(RunSetup("/S"), 2u);
    EXPECT_TRUE(IsBackdated(InstalledSaver()));

    DWORD code = RunProgram("\"" + DataFolder() + "\\uninstall.exe\" /S _?=" + DataFolder());
    CloseHandle(held);

    EXPECT_EQ(code, 3u);
    EXPECT_EQ(AllNimbraEntries(), 0);
    std::string pending = RegistryText(HKEY_LOCAL_MACHINE, SessionKey, "PendingFileRenameOperations");
    for (char &c : pending)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(pending.find("system32\\nimbra.scr"), std::string::npos) << pending;
}

// On 32-bit Windows the 32-bit saver goes into System32. fresh-prefix.sh runs
// the cases named On32BitWindows in a 32-bit prefix.
TEST_F(Setup, On32BitWindowsTheSaverGoesIntoSystem32)
{
    if (sizeof(void *) == 8)
        GTEST_SKIP() << "32-bit Windows runs only the 32-bit build of this program";
    ASSERT_FALSE(Is64BitWindows()) << "this case runs in a 32-bit prefix";
    ASSERT_EQ(RunSetup("/S"), 0u);

    ExpectInstalledHere();
    EXPECT_STRCASEEQ(DesktopValue("SCRNSAVE.EXE").c_str(), InstalledSaver().c_str());
    ASSERT_TRUE(StartPastTheAnimation(InstalledSaver(), "/s"));
    EXPECT_NE(WaitForSaverWindow(), nullptr);
    EndChild(&child);

    ASSERT_TRUE(UninstallSilently());
}
