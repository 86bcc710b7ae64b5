// Runs this test program inside an 800 x 600 Wine virtual desktop. A process started
// with a desktop name of its own in its start-up information gets that desktop, and
// Wine makes a new desktop a virtual one of the size given under
// HKCU\Software\Wine\Explorer\Desktops. So the program sets that size, starts itself
// again with the same command line on the named desktop, and removes the value once
// the copy has ended. (A per-program "Desktop" under Software\Wine\AppDefaults does not
// help here: a child started by a process that already has a desktop inherits it.)
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>

static const char TestDesktop[] = "NimbraAppTests";
static const char ChildMarker[] = "NIMBRA_INSIDE_TEST_DESKTOP";

static bool InsideTestDesktop()
{
    char name[64] = "";
    DWORD needed = 0;
    GetUserObjectInformationA(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name, sizeof name, &needed);
    return lstrcmpiA(name, TestDesktop) == 0;
}

static bool OnlyListing(int argc, char **argv)
{
    for (int i = 1; i < argc; i++)
        if (strcmp(argv[i], "--gtest_list_tests") == 0)
            return true;
    return false;
}

static void SetString(const std::string &key, const char *name, const char *value)
{
    HKEY hkey;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &hkey, NULL) == 0) {
        RegSetValueExA(hkey, name, 0, REG_SZ, (const BYTE *)value, lstrlenA(value) + 1);
        RegCloseKey(hkey);
    }
}

static void DeleteValue(const std::string &key, const char *name)
{
    HKEY hkey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &hkey) == 0) {
        RegDeleteValueA(hkey, name);
        RegCloseKey(hkey);
    }
}

static int RunInsideTestDesktop()
{
    SetString("Software\\Wine\\Explorer\\Desktops", TestDesktop, "800x600");

    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string command = GetCommandLineA();
    SetEnvironmentVariableA(ChildMarker, "1");   // the copy never starts another
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.lpDesktop = (char *)TestDesktop;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi;
    DWORD code = 1;
    if (CreateProcessA(path, &command[0], NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    } else {
        fprintf(stderr, "Could not start %s inside the virtual desktop.\n", path);
    }

    DeleteValue("Software\\Wine\\Explorer\\Desktops", TestDesktop);
    return (int)code;
}

int main(int argc, char **argv)
{
    bool listing = OnlyListing(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    if (!listing && !GetEnvironmentVariableA(ChildMarker, NULL, 0))
        return RunInsideTestDesktop();
    if (!listing && !InsideTestDesktop()) {
        fprintf(stderr, "Not inside the virtual desktop %s; the cases cannot run.\n", TestDesktop);
        return 1;
    }
    return RUN_ALL_TESTS();
}
