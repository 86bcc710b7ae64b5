// A client saver program on each entry point, run as its own process with a
// real screen-saver command line: what it sees, and how it ends.
#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "child_process.h"

namespace {

class ClientSaver : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, dir);
        logPath = std::string(dir) + "\\client_saver_" + std::to_string(GetCurrentProcessId()) + ".log";
        DeleteFileA(logPath.c_str());
        SetEnvironmentVariableA("CLIENT_SAVER_LOG", logPath.c_str());
    }

    void TearDown() override
    {
        EndChild(&child);
        EndChild(&host);
        for (const char *name : {"CLIENT_SAVER_ENTRY", "CLIENT_SAVER_CREATE", "CLIENT_SAVER_ANSWER",
                                 "CLIENT_SAVER_TIMER", "CLIENT_SAVER_TICKS", "CLIENT_SAVER_PROBE",
                                 "CLIENT_SAVER_NOCLOSE", "GLASSCASE_VARIANT"})
            SetEnvironmentVariableA(name, nullptr);
        DeleteFileA(logPath.c_str());
    }

    // Runs client_saver.exe with the arguments; returns its exit code.
    DWORD Run(const std::string &arguments, std::vector<std::pair<const char *, const char *>> settings = {})
    {
        for (const auto &setting : settings)
            SetEnvironmentVariableA(setting.first, setting.second);
        EXPECT_TRUE(StartChild("client_saver.exe " + arguments, &child));
        DWORD code = WaitForChild(&child, 30000);
        lines = ReadLines(logPath);
        return code;
    }

    bool Logged(const std::string &line) const
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    std::vector<std::string> Starting(const std::string &prefix) const
    {
        std::vector<std::string> result;
        for (const std::string &line : lines)
            if (line.compare(0, prefix.size(), prefix) == 0)
                result.push_back(line);
        return result;
    }

    std::string logPath;
    ChildProcess child;
    ChildProcess host;   // a window of another process, for previews
    std::vector<std::string> lines;
};

std::string Join(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    return text;
}

}  // namespace

TEST_F(ClientSaver, FullScreenRunSeesKindZeroRefusesNestedEntriesAndEndsWithTwo)
{
    EXPECT_EQ(Run("/s"), 2u);
    EXPECT_TRUE(Logged("wm_create kind=0")) << Join(lines);
    EXPECT_TRUE(Logged("window class=OvScreenSaverClass title=SaverWindow style=0x94000000 exstyle=0x00000008 "
                       "rect=0,0,1024x768 child=0") ||
                Logged("window class=OvScreenSaverClass title=SaverWindow style=0x90000000 exstyle=0x00000008 "
                       "rect=0,0,1024x768 child=0"))
        << Join(lines);
    EXPECT_TRUE(Logged("nested ScrRun 2"));
    EXPECT_TRUE(Logged("nested ScrRunWithHooks 2"));
    EXPECT_TRUE(Logged("nested ScrRunHosted 2"));
    EXPECT_TRUE(Logged("spi during 1")) << Join(lines);
    EXPECT_TRUE(Logged("spi after 0")) << Join(lines);
    EXPECT_TRUE(Logged("result 2"));
}

TEST_F(ClientSaver, CreateHookMakesTheFullScreenWindowFromTheFilledValues)
{
    EXPECT_EQ(Run("/s", {{"CLIENT_SAVER_ENTRY", "hooks"}, {"CLIENT_SAVER_CREATE", "own"}}), 2u);
    EXPECT_EQ(Starting("createhook"),
              std::vector<std::string>({"createhook kind=0 params=0,0 class=DummyScreenSaverClass title=SaverWindow "
                                        "style=0x90000000 exstyle=0x00000008 pos=0,0 size=1024x768 parent=0 menu=0 "
                                        "instance=1"}));
    EXPECT_TRUE(Logged("spi during 1")) << Join(lines);
}

TEST_F(ClientSaver, CreateHookThatMakesNothingEndsTheRunWithTwoAtOnce)
{
    EXPECT_EQ(Run("/s", {{"CLIENT_SAVER_ENTRY", "hooks"}, {"CLIENT_SAVER_CREATE", "fail"}}), 2u);
    EXPECT_EQ(Starting("createhook").size(), 1u);
    EXPECT_TRUE(Starting("spi during").empty()) << "no message loop ran";
    EXPECT_TRUE(Logged("result 2"));
}

TEST_F(ClientSaver, HostedPreviewUsesTheWindowTheHostMadeForTheSystemPreview)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ClientPreviewParent";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, "ClientPreviewParent", "parent", WS_POPUP | WS_VISIBLE, 50, 50, 152, 112,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    char arguments[40];
    snprintf(arguments, sizeof(arguments), "/p %u", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(parent)));
    EXPECT_EQ(Run(arguments, {{"CLIENT_SAVER_ENTRY", "hosted"}, {"CLIENT_SAVER_CREATE", "sys"}}), 2u);
    EXPECT_EQ(Starting("host"),
              std::vector<std::string>({"host sys kind=2 params=0,2 class=DummyScreenSaverClass title=SaverPreview "
                                        "style=0x50000000 exstyle=0x00000000 pos=0,0 size=152x112 parent=1 menu=0 "
                                        "instance=1"}));
    EXPECT_TRUE(Logged("window class=DummyScreenSaverClass title=SaverPreview style=0x50000000 exstyle=0x00000000 "
                       "rect=50,50,152x112 child=1"))
        << Join(lines);
    EXPECT_TRUE(Starting("spi during").size() == 1 && !Logged("spi during 1")) << "a preview is no running saver";
    DestroyWindow(parent);
}

TEST_F(ClientSaver, HostAnsweringNothingStillGetsAFullScreenSaverThatEndsWithTwo)
{
    EXPECT_EQ(Run("/s", {{"CLIENT_SAVER_ENTRY", "hosted"}}), 2u);
    std::vector<std::string> asked = Starting("host");
    ASSERT_EQ(asked.size(), 2u) << Join(lines);
    EXPECT_EQ(asked[0].compare(0, 17, "host saver kind=0"), 0) << asked[0];
    EXPECT_EQ(asked[1].compare(0, 18, "host window kind=0"), 0) << asked[1];
    EXPECT_EQ(Starting("window class=DummyScreenSaverClass title=SaverWindow").size(), 1u) << Join(lines);
}

// The preview helper stand-in ends its process as soon as it holds the preview,
// leaving its window to the system.
TEST_F(ClientSaver, PreviewEndsWithTheQuitCodeWhenItsHostProcessVanishes)
{
    SetEnvironmentVariableA("GLASSCASE_VARIANT", "vanish");
    ASSERT_TRUE(StartChild("helper\\glasscase.exe", &host));
    HWND frame = WaitForWindowOf(host.pid, "glasscase", nullptr, 10000);
    ASSERT_NE(frame, nullptr);
    HWND inner = WaitForWindowOf(host.pid, "Static", nullptr, 10000, frame);
    ASSERT_NE(inner, nullptr);
    char arguments[40];
    snprintf(arguments, sizeof(arguments), "/p %u", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(inner)));
    EXPECT_EQ(Run(arguments, {{"CLIENT_SAVER_NOCLOSE", "1"}}), 2u) << Join(lines);
    EXPECT_EQ(WaitForChild(&host, 10000), 0u);
    EXPECT_TRUE(Logged("result 2")) << Join(lines);
}

TEST_F(ClientSaver, ChangePasswordModeEndsWithTheHooksAnswer)
{
    EXPECT_EQ(Run("/a", {{"CLIENT_SAVER_ENTRY", "hooks"}, {"CLIENT_SAVER_ANSWER", "5"}}), 5u);
    EXPECT_EQ(Starting("passwordhook").size(), 1u);
}

TEST_F(ClientSaver, RefusedCommandLinesEndWithTwo)
{
    for (const char *arguments : {"/x", "/", "/p", "/p 99999", "-/-s"}) {
        EXPECT_EQ(Run(arguments), 2u) << arguments;
        EXPECT_TRUE(Starting("wm_create").empty()) << arguments;
        EndChild(&child);
    }
}

TEST_F(ClientSaver, TimerTicksAtTheAnsweredPeriodUntilTheClientStops)
{
    EXPECT_EQ(Run("/s", {{"CLIENT_SAVER_TIMER", "40"}, {"CLIENT_SAVER_TICKS", "5"}, {"CLIENT_SAVER_PROBE", "1200"}}),
              2u);
    std::vector<std::string> ticks = Starting("tick ");
    EXPECT_EQ(ticks.size(), 5u) << Join(lines);
}
