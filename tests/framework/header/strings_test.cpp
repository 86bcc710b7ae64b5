#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

struct StringEntry {
    UINT id;
    const char *text;
};

const StringEntry FrameworkStrings[] = {
    {50, "Glasscase"},
    {51, "Glasscase was not present: and there was an error attempting to load it. Check that an "
         "up-to-date version is in the current path."},
    {52, "Glasscase was succesfully loaded, but didn't seem to respond. Try again, or try loading it "
         "separately."},
    {53, "Glasscase was succesfully loaded, but there was some error with its initialisation. Try "
         "loading it separately."},
    {54, "Glasscase could not be found."},
    {55, "Glasscase was there, but not its child. Check you have the latest version."},
    {56, "Lullex has been incorrectly installed.\r\nIt must be placed in the windows directory"},
    {500, "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers"},
    {501, "Password Delay"},
    {502, "Password Delay Index"},
    {503, "Mouse Threshold"},
    {504, "Mouse Threshold Index"},
    {505, "Mouse Corners"},
    {506, "Mute Sound"},
    {507, "Active Config"},
    {3050, "Default"},
    {3051, "Now"},
    {3052, "Never"},
    {3055, "16 17  169 17  169 130  16 130"},
    {3057, "Warning"},
    {3058, "You must have the System Agent loaded in order for the mouse hot corners to be active."},
    {3500, "&About"},
    {3501, "Screen Saver Properties"},
    {3520, "MPR.DLL"},
    {3521, "PwdChangePasswordA"},
    {3522, "SCRSAVE"},
    {3523, "Control Panel\\Desktop"},
    {3524, "ScreenSaveUsePassword"},
    {3525, "PASSWORD.CPL"},
    {3526, "VerifyScreenSavePwd"},
    {3530, "Sage.DLL"},
    {3531, "System_Agent_Detect"},
    {3532, "Screen_Saver_Changed"},
    {3533, "Plus!.HLP"},
    {3534, "High,0"},
    {3535, "Normal,200"},
    {3536, "Low, 400"},
    {3537, "Keyboard only (ignore mouse movement),999999"},
    {3538, "seconds"},
    {3539, "minutes"},
    {3540, "This screensaver always uses a password"},
    {3541, "This screensaver never requires a password"},
    {3560, "lullex.hlp"},
};

}  // namespace

TEST(Resources, EveryFrameworkStringLoadsWithItsExactText)
{
    for (const StringEntry &entry : FrameworkStrings) {
        SCOPED_TRACE(entry.id);
        char text[2000];
        int length = LoadStringA(GetModuleHandleA(NULL), entry.id, text, sizeof(text));
        ASSERT_GT(length, 0);
        EXPECT_EQ(std::string(text, length), entry.text);
    }
}

static INT_PTR CALLBACK HostProbeProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

TEST(Resources, HostDialogIsCreatedHiddenWithItsTitle)
{
    HWND host = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(3600), NULL, HostProbeProc, 0);
    ASSERT_NE(host, nullptr);
    EXPECT_FALSE(IsWindowVisible(host));
    EXPECT_EQ(GetWindowLongA(host, GWL_STYLE) & WS_VISIBLE, 0);
    char title[100] = "";
    GetWindowTextA(host, title, sizeof(title));
    EXPECT_STREQ(title, "Only used to call main dialog - never displayed");
    DestroyWindow(host);
}
