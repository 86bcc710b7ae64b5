// The preview helper: a /p command line that names it finds or starts the
// helper program and previews in its child window, or says why not.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "framework/lullex.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "startup_support.h"

namespace {

const char NotStarted[] =
    "Glasscase was not present: and there was an error attempting to load it. Check that an up-to-date version "
    "is in the current path.";
const char NoResponse[] =
    "Glasscase was succesfully loaded, but didn't seem to respond. Try again, or try loading it separately.";
const char NotFound[] = "Glasscase could not be found.";
const char NoChild[] = "Glasscase was there, but not its child. Check you have the latest version.";

void CloseHelpers()
{
    HWND helper;
    while ((helper = FindWindowA("glasscase", nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(helper, &pid);
        if (pid == GetCurrentProcessId()) {
            DestroyWindow(helper);
            continue;
        }
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        PostMessageA(helper, WM_CLOSE, 0, 0);
        if (process) {
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        } else {
            Sleep(500);
        }
    }
}

// Waits for the helper programs a case started to end: each closes itself after
// GLASSCASE_LIFETIME, also one whose window came too late for CloseHelpers.
void WaitForStartedHelpers()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        HANDLE process = _stricmp(entry.szExeFile, "glasscase.exe") == 0
                             ? OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID) : nullptr;
        if (process) {
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
}

class PreviewHelper : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScrEnsureInit();
        GetCurrentDirectoryA(MAX_PATH, startDirectory);
        SetEnvironmentVariableA("GLASSCASE_VARIANT", nullptr);
        SetEnvironmentVariableA("GLASSCASE_LIFETIME", "20000");
        CloseHelpers();
    }

    void TearDown() override
    {
        CloseHelpers();
        WaitForStartedHelpers();
        SetCurrentDirectoryA(startDirectory);
    }

    // The helper program is found only from its own folder.
    void MakeHelperReachable() { ASSERT_TRUE(SetCurrentDirectoryA("helper")); }

    char startDirectory[MAX_PATH] = "";
};

HWND ClassedHelperWindow(const char *cls, bool withChild)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(0, cls, "fake", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    if (withChild)
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 5, 5, 152, 112, frame, nullptr, wc.hInstance,
                        nullptr);
    return frame;
}

bool OwnedByAnotherProcess(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid != 0 && pid != GetCurrentProcessId();
}

}  // namespace

TEST_F(PreviewHelper, OtherWordsAreLeftToTheWindowNumberWithoutAMessage)
{
    MessageBoxCatcher boxes;
    for (const char *tail : {"p 1234", "p glass", "p glasscasex", "p", "p:glasscase", "p\tglasscase", "p glass case"})
        EXPECT_EQ(ConnectPreviewHelper(tail), nullptr) << tail;
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(FindWindowA("glasscase", nullptr), nullptr);
}

TEST_F(PreviewHelper, RunningHelperLendsItsChildInAnyLetterCase)
{
    HWND frame = ClassedHelperWindow("glasscase", true);
    HWND child = GetWindow(frame, GW_CHILD);
    MessageBoxCatcher boxes;
    EXPECT_EQ(ConnectPreviewHelper("p glasscase"), child);
    EXPECT_EQ(ConnectPreviewHelper("P GlassCase"), child);
    EXPECT_EQ(ConnectPreviewHelper("l    GLASSCASE and more"), child);
    EXPECT_EQ(ConnectPreviewHelper("pglasscase"), child);
    ParsedCommandLine parsed = ParseCommandLine("saver.scr /P GlassCase");
    EXPECT_EQ(parsed.mode, ScreenSaverMode::Preview);
    EXPECT_EQ(parsed.window, child);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PreviewHelper, TailIsReadOnlyToItsNinetyNinthCharacter)
{
    HWND frame = ClassedHelperWindow("glasscase", true);
    HWND child = GetWindow(frame, GW_CHILD);
    std::string fits = "p" + std::string(89, ' ') + "glasscase";       // 99 characters
    std::string cut = "p" + std::string(90, ' ') + "glasscase";        // the name's last letter falls off
    EXPECT_EQ(ConnectPreviewHelper(fits.c_str()), child);
    EXPECT_EQ(ConnectPreviewHelper(cut.c_str()), nullptr);
    std::string huge = "p glasscase" + std::string(20000, 'x');
    EXPECT_EQ(ConnectPreviewHelper(huge.c_str()), nullptr);
}

TEST_F(PreviewHelper, MissingHelperIsStartedAndItsChildReturned)
{
    MakeHelperReachable();
    MessageBoxCatcher boxes;
    HWND child = ConnectPreviewHelper("p glasscase");
    ASSERT_NE(child, nullptr);
    HWND frame = GetParent(child);
    char cls[32] = "";
    GetClassNameA(frame, cls, sizeof(cls));
    EXPECT_STREQ(cls, "glasscase");
    EXPECT_TRUE(OwnedByAnotherProcess(frame));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PreviewHelper, HelperThatCannotBeStartedShowsMessage51)
{
    MessageBoxCatcher boxes;
    EXPECT_EQ(ConnectPreviewHelper("p glasscase"), nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, NotStarted);
    EXPECT_EQ(boxes.boxes[0].caption, "Glasscase");
    EXPECT_EQ(boxes.boxes[0].owner, nullptr);
}

TEST_F(PreviewHelper, HelperThatDoesNotBecomeIdleShowsMessage52)
{
    MakeHelperReachable();
    SetEnvironmentVariableA("GLASSCASE_VARIANT", "slow");
    SetEnvironmentVariableA("GLASSCASE_LIFETIME", "200");
    MessageBoxCatcher boxes;
    EXPECT_EQ(ConnectPreviewHelper("p glasscase"), nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, NoResponse);
    EXPECT_EQ(boxes.boxes[0].caption, "Glasscase");
}

TEST_F(PreviewHelper, HelperWithoutItsWindowShowsMessage54)
{
    MakeHelperReachable();
    SetEnvironmentVariableA("GLASSCASE_VARIANT", "nowindow");
    SetEnvironmentVariableA("GLASSCASE_LIFETIME", "1500");
    MessageBoxCatcher boxes;
    EXPECT_EQ(ConnectPreviewHelper("p glasscase"), nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, NotFound);
}

TEST_F(PreviewHelper, HelperWithoutAChildShowsMessage55)
{
    MakeHelperReachable();
    SetEnvironmentVariableA("GLASSCASE_VARIANT", "nochild");
    MessageBoxCatcher boxes;
    EXPECT_EQ(ConnectPreviewHelper("p glasscase"), nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, NoChild);
    EXPECT_EQ(boxes.boxes[0].caption, "Glasscase");
}

TEST_F(PreviewHelper, UnreachableHelperEndsThePreviewModeWithTwoAfterOneBox)
{
    MessageBoxCatcher boxes;
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /p glasscase"));
    EXPECT_EQ(ScrRun(GetModuleHandleA(nullptr), RecordingSaverProc, nullptr, nullptr, 0), 2);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

namespace {
void CALLBACK EndPreview(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (!seenCreations.empty())
        PostMessageA(seenCreations[0].hwnd, WM_CLOSE, 0, 0);
}
}  // namespace

TEST_F(PreviewHelper, PreviewModeRunsInsideTheStartedHelper)
{
    MakeHelperReachable();
    seenCreations.clear();
    ASSERT_TRUE(SetProcessCommandLine("saver.scr /p glasscase"));
    SetTimer(nullptr, 0, 300, EndPreview);
    EXPECT_EQ(ScrRun(GetModuleHandleA(nullptr), RecordingSaverProc, nullptr, nullptr, 0), 2);
    ASSERT_EQ(seenCreations.size(), 1u);
    EXPECT_EQ(seenCreations[0].kind, 2);
    EXPECT_TRUE(OwnedByAnotherProcess(seenCreations[0].parent));
    EXPECT_EQ(seenCreations[0].cx, 200);   // the helper's child is 200 x 150
    EXPECT_EQ(seenCreations[0].cy, 150);
}
