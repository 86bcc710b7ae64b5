// Savers built against the installed SDK (build_against_sdk.sh), run as the
// desktop runs them: the example in its modes, the C client of lullex.dll
// (lullex64.dll on x64) with the library in the Windows directory and elsewhere,
// the examples' DLL savers of both architectures side by side, and savers built as
// Visual Studio builds them.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

#include "child_process.h"
#include "framework/lullex.h"

namespace {

const std::string Work = SDK_WORK;
const std::string Starfield = Work + "\\starfield\\starfield.scr";
const int StarsSlider = 2011;
const int PreviewMonitor = 2010;
const int CornersMonitor = 3640;

// What a person sees of the window on the screen: how many bright pixels, and a
// fingerprint of the whole picture.
struct Look {
    int bright = 0;
    unsigned long long fingerprint = 0;
};

Look LookAt(HWND window)
{
    RECT area;
    GetWindowRect(window, &area);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = area.right - area.left;
    info.bmiHeader.biHeight = area.bottom - area.top;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Look look;
    if (picture) {
        HGDIOBJ old = SelectObject(copy, picture);
        BitBlt(copy, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, screen, area.left, area.top, SRCCOPY);
        const BYTE *pixel = static_cast<const BYTE *>(bits);
        for (LONG i = 0; i < info.bmiHeader.biWidth * info.bmiHeader.biHeight; i++, pixel += 4) {
            look.bright += pixel[0] + pixel[1] + pixel[2] > 150;
            look.fingerprint = look.fingerprint * 1099511628211ull + (pixel[0] | pixel[1] << 8 | pixel[2] << 16);
        }
        SelectObject(copy, old);
        DeleteObject(picture);
    }
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    return look;
}

// The saver animates there: bright things appear and the picture keeps changing.
bool AnimatesWithin(HWND window, DWORD ms)
{
    Look first = LookAt(window);
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; PumpMessagesFor(100)) {
        Look now = LookAt(window);
        if (first.bright > 0 && now.bright > 0 && now.fingerprint != first.fingerprint)
            return true;
        if (first.bright == 0)
            first = now;
    }
    return false;
}

class SdkSaver : public ::testing::Test {
protected:
    void TearDown() override { EndChild(&child); }

    HWND StartSaver(const std::string &program, const std::string &arguments)
    {
        if (!StartChild("\"" + program + "\" " + arguments, &child))
            return nullptr;
        return WaitForWindowOf(child.pid, "OvScreenSaverClass", "SaverWindow", 60000);
    }

    // Its settings sheet, with two pages and the saver's own selected.
    HWND SheetOnItsOwnPage()
    {
        HWND sheet = WaitForWindowOf(child.pid, "#32770", "Screen Saver Properties", 60000);
        HWND tabs = sheet ? FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr) : nullptr;
        EXPECT_NE(tabs, nullptr);
        EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
        EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);
        return tabs ? sheet : nullptr;
    }

    // The saver closes on a key, as the desktop expects, with 2.
    void EndsOnAKeyWithTwo(HWND saver)
    {
        PostMessageA(saver, WM_KEYDOWN, 'A', 0);
        EXPECT_EQ(WaitForChild(&child, 30000), 2u);
    }

    ChildProcess child;
};

}  // namespace

TEST_F(SdkSaver, ExampleFullScreenDrawsAndEndsOnAKey)
{
    HWND saver = StartSaver(Starfield, "/s");
    ASSERT_NE(saver, nullptr);
    EXPECT_TRUE(AnimatesWithin(saver, 20000));
    EndsOnAKeyWithTwo(saver);
}

TEST_F(SdkSaver, ExamplePreviewFillsAWindowOfTheHostAndEndsWithIt)
{
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, 240, 180, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    ASSERT_TRUE(StartChild("\"" + Starfield + "\" /p " + std::to_string((UINT_PTR)host), &child));
    HWND preview = WaitForWindowOf(child.pid, "OvScreenSaverClass", "SaverPreview", 60000, host);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(GetParent(preview), host);
    // What a child window of another process draws does not reach the screen under
    // Wine, so the preview's drawing is looked at in the settings sheet instead.
    RECT hostArea, previewArea;
    GetClientRect(host, &hostArea);
    GetWindowRect(preview, &previewArea);
    EXPECT_EQ(previewArea.right - previewArea.left, hostArea.right);
    EXPECT_EQ(previewArea.bottom - previewArea.top, hostArea.bottom);
    DestroyWindow(host);   // the preview dies with its host and ends the saver
    EXPECT_EQ(WaitForChild(&child, 30000), 2u);
}

TEST_F(SdkSaver, ExampleSettingsOpenOnItsOwnPageWithItsPreviewAndGeneralBesideIt)
{
    ASSERT_TRUE(StartChild("\"" + Starfield + "\" /c", &child));
    HWND sheet = SheetOnItsOwnPage();
    ASSERT_NE(sheet, nullptr);
    HWND page = FindWindowExA(sheet, nullptr, "#32770", nullptr);
    ASSERT_NE(page, nullptr);
    EXPECT_NE(GetDlgItem(page, StarsSlider), nullptr);
    // Its own preview runs and draws inside the monitor control of its page.
    HWND monitor = GetDlgItem(page, PreviewMonitor);
    ASSERT_NE(monitor, nullptr);
    HWND preview = WaitForWindowOf(child.pid, "OvScreenSaverClass", "SaverPreview", 20000, monitor);
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(AnimatesWithin(preview, 20000));

    SendMessageA(sheet, PSM_SETCURSEL, 0, 0);
    HWND general = nullptr;
    for (DWORD start = GetTickCount(); !general && GetTickCount() - start < 20000; PumpMessagesFor(100))
        for (HWND p = FindWindowExA(sheet, nullptr, "#32770", nullptr); p && !general;
             p = FindWindowExA(sheet, p, "#32770", nullptr))
            if (IsWindowVisible(p) && GetDlgItem(p, CornersMonitor))
                general = p;
    EXPECT_NE(general, nullptr);
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    EXPECT_NE(WaitForChild(&child, 30000), STILL_ACTIVE);
}

TEST_F(SdkSaver, HostedExampleCreatesItsOwnWindowAndEndsOnAKey)
{
    ASSERT_TRUE(StartChild("\"" + Work + "\\pulse\\pulse.scr\" /s", &child));
    HWND saver = WaitForWindowOf(child.pid, "PulseSaverClass", "SaverWindow", 60000);
    ASSERT_NE(saver, nullptr);
    EXPECT_TRUE(AnimatesWithin(saver, 20000));
    EndsOnAKeyWithTwo(saver);
}

namespace {

// The pixels and mask of an icon's picture at one size, empty when there is none.
std::vector<DWORD> IconPicture(HINSTANCE module, const char *name, int size, UINT flags = 0)
{
    std::vector<DWORD> picture;
    HICON icon = static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, size, size, flags));
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return picture;
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = size;
    format.bmiHeader.biHeight = size;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    picture.resize(2 * size * size);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, size, picture.data(), &format, DIB_RGB_COLORS);
    GetDIBits(screen, info.hbmMask, 0, size, picture.data() + size * size, &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    return picture;
}

}  // namespace

// The guide's saver has an icon of its own (100) beside the framework's (199): after
// the link merged its resources with lullex_res.o, each shows its own picture.
TEST(SdkResources, SaverIconAndFrameworkIconKeepTheirOwnPictures)
{
    HMODULE saver = LoadLibraryExA((Work + "\\guide\\mysaver.scr").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMODULE dll = LoadLibraryExA((Work + "\\sdk\\bin\\" LULLEX_DLL_NAME).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(saver, nullptr);
    ASSERT_NE(dll, nullptr);
    const std::string ownIcon = Work + "\\guide-src\\mysaver.ico";
    for (int size : {16, 32}) {
        std::vector<DWORD> own = IconPicture(saver, MAKEINTRESOURCEA(100), size);
        std::vector<DWORD> framework = IconPicture(saver, MAKEINTRESOURCEA(199), size);
        ASSERT_FALSE(own.empty()) << size;
        ASSERT_FALSE(framework.empty()) << size;
        EXPECT_EQ(own, IconPicture(nullptr, ownIcon.c_str(), size, LR_LOADFROMFILE)) << size;
        EXPECT_EQ(framework, IconPicture(dll, MAKEINTRESOURCEA(199), size)) << size;
        EXPECT_NE(own, framework) << size;
    }
    FreeLibrary(dll);
    FreeLibrary(saver);
}

namespace {

// A library of an SDK's bin folder copied into the Windows directory for as long
// as it lives.
class InstalledLibrary {
public:
    InstalledLibrary(const std::string &sdkWork, const char *name)
    {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof(windows));
        path = std::string(windows) + "\\" + name;
        copied = CopyFileA((sdkWork + "\\sdk\\bin\\" + name).c_str(), path.c_str(), FALSE) != 0;
    }
    ~InstalledLibrary() { DeleteFileA(path.c_str()); }
    bool copied;

private:
    std::string path;
};

}  // namespace

// The C client linked against Lullex::lullex_shared. The cases that put the
// library where the loader finds it take it away again, so they hold the lock
// that the library tests of the framework hold too.
TEST_F(SdkSaver, DllClientRunsWithTheLibraryInTheWindowsDirectory)
{
    InstalledLibrary library(Work, LULLEX_DLL_NAME);
    ASSERT_TRUE(library.copied);
    HWND saver = StartSaver(Work + "\\consumer\\consumer_dll.scr", "/s");
    EXPECT_NE(saver, nullptr);
    if (saver)
        EndsOnAKeyWithTwo(saver);
}

namespace {

// Savers built as a Visual Studio project builds them (msvc_clients.sh), with
// the library in the Windows directory: the C one from the command line, the
// C++ one through the CMake package, both linked with the SDK's .lib.
struct MsvcClient {
    const char *name, *saver;
};
const MsvcClient MsvcClients[] = {
    {"C_LinkedByHand", "msvc\\client_c.scr"},
    {"Cpp_LinkedByCMake", "msvc\\client_cpp.scr"},
};

class MsvcClientSaver : public SdkSaver, public ::testing::WithParamInterface<MsvcClient> {
protected:
    void SetUp() override
    {
        std::vector<std::string> reason = ReadLines(Work + "\\msvc\\skipped");
        if (!reason.empty())
            GTEST_SKIP() << "no MSVC-mode clients were built: " << reason[0];
        ASSERT_TRUE(library.copied);
    }
    std::string Saver() const { return "\"" + Work + "\\" + GetParam().saver + "\""; }

    InstalledLibrary library{Work, LULLEX_DLL_NAME};
};

}  // namespace

TEST_P(MsvcClientSaver, FullScreenAnimatesAndEndsOnAKeyWithTwo)
{
    ASSERT_TRUE(StartChild(Saver() + " /s", &child));
    HWND saver = WaitForWindowOf(child.pid, "OvScreenSaverClass", "SaverWindow", 60000);
    ASSERT_NE(saver, nullptr);
    EXPECT_TRUE(AnimatesWithin(saver, 20000));
    EndsOnAKeyWithTwo(saver);
}

TEST_P(MsvcClientSaver, SettingsShowItsPageBesideGeneralAndOkReturnsOne)
{
    const int ClientPageText = 2101;
    ASSERT_TRUE(StartChild(Saver() + " /c", &child));
    HWND sheet = SheetOnItsOwnPage();
    ASSERT_NE(sheet, nullptr);
    HWND page = nullptr;
    for (HWND p = FindWindowExA(sheet, nullptr, "#32770", nullptr); p && !page; p = FindWindowExA(sheet, p, "#32770", nullptr))
        if (IsWindowVisible(p) && GetDlgItem(p, ClientPageText))
            page = p;
    EXPECT_NE(page, nullptr);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    EXPECT_EQ(WaitForChild(&child, 30000), 1u);
}

INSTANTIATE_TEST_SUITE_P(BuiltAsVisualStudioBuildsThem, MsvcClientSaver, ::testing::ValuesIn(MsvcClients),
                         [](const ::testing::TestParamInfo<MsvcClient> &info) { return std::string(info.param.name); });

#ifdef SDK_WORK_X64
// On 64-bit Windows one Windows directory holds the 32-bit lullex.dll and the x64
// lullex64.dll; each example's DLL saver of either architecture loads its own.
// A preview of each architecture runs at the same time, then each saver full
// screen, one after the other (a full-screen saver closes when it loses
// activation, so two cannot run at once).
TEST_F(SdkSaver, DllSaversOfBothArchitecturesRunSideBySide)
{
    const std::string WorkX64 = SDK_WORK_X64;
    InstalledLibrary x86(Work, "lullex.dll");
    InstalledLibrary x64(WorkX64, "lullex64.dll");
    ASSERT_TRUE(x86.copied);
    ASSERT_TRUE(x64.copied);
    struct Example {
        const char *saver, *windowClass;
    };
    for (Example example : {Example{"starfield\\starfield_dll.scr", "OvScreenSaverClass"},
                            Example{"pulse\\pulse_dll.scr", "PulseSaverClass"}}) {
        const std::string savers[2] = {Work + "\\" + example.saver, WorkX64 + "\\" + example.saver};
        HWND hosts[2];
        ChildProcess previews[2];
        for (int i = 0; i < 2; i++) {
            hosts[i] = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 40 + 260 * i, 40, 240, 180, nullptr,
                                       nullptr, GetModuleHandleA(nullptr), nullptr);
            ASSERT_TRUE(StartChild("\"" + savers[i] + "\" /p " + std::to_string((UINT_PTR)hosts[i]), &previews[i]));
        }
        for (int i = 0; i < 2; i++)
            EXPECT_NE(WaitForWindowOf(previews[i].pid, example.windowClass, "SaverPreview", 60000, hosts[i]), nullptr)
                << savers[i];
        for (int i = 0; i < 2; i++) {
            DestroyWindow(hosts[i]);
            EXPECT_EQ(WaitForChild(&previews[i], 30000), 2u) << savers[i];
            EndChild(&previews[i]);
        }
        for (const std::string &saver : savers) {
            ASSERT_TRUE(StartChild("\"" + saver + "\" /s", &child));
            HWND window = WaitForWindowOf(child.pid, example.windowClass, "SaverWindow", 60000);
            ASSERT_NE(window, nullptr) << saver;
            EXPECT_TRUE(AnimatesWithin(window, 20000)) << saver;
            EndsOnAKeyWithTwo(window);
            EndChild(&child);
        }
    }
}
#endif

TEST_F(SdkSaver, DllClientWithTheLibraryElsewhereShowsTheInstallCheckAndStartsNoMode)
{
    const std::string folder = Work + "\\misplaced";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((Work + "\\sdk\\bin\\" LULLEX_DLL_NAME).c_str(), (folder + "\\" LULLEX_DLL_NAME).c_str(),
                          FALSE));
    ASSERT_TRUE(CopyFileA((Work + "\\consumer\\consumer_dll.scr").c_str(), (folder + "\\consumer_dll.scr").c_str(),
                          FALSE));
    ASSERT_TRUE(StartChild("\"" + folder + "\\consumer_dll.scr\" /s", &child));
    HWND box = WaitForWindowOf(child.pid, "#32770", "Lullex", 60000);
    ASSERT_NE(box, nullptr);
    // Read as wide text: the box belongs to another process.
    wchar_t wide[512] = L"";
    SendMessageW(GetDlgItem(box, 0xFFFF), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(wide));
    EXPECT_EQ(std::wstring(wide).rfind(L"Lullex has been incorrectly installed.", 0), 0u) << wide;
    EXPECT_EQ(WaitForWindowOf(child.pid, "OvScreenSaverClass", nullptr, 0), nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    DWORD code = WaitForChild(&child, 30000);
    EXPECT_NE(code, STILL_ACTIVE);
    EXPECT_NE(code, 2u);   // the loader refused the library: no mode ran
    EXPECT_EQ(WaitForWindowOf(child.pid, "OvScreenSaverClass", nullptr, 0), nullptr);
}

// The timer's period as a saver sees it: the gaps between 100 ticks answered with
// 30 ms are never shorter on average, and a busy machine stretches them by a few
// milliseconds at most, far from a period counted twice or in other units; the
// spread is printed.
TEST_F(SdkSaver, TimerTicksKeepTheirPeriod)
{
    const std::string log = Work + "\\ticks.txt";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("TICK_LOG", log.c_str());
    HWND saver = StartSaver(Work + "\\consumer\\ticks.scr", "/s");
    ASSERT_NE(saver, nullptr);
    EXPECT_EQ(WaitForChild(&child, 120000), 2u);
    std::vector<double> errors;
    double sum = 0;
    for (const std::string &line : ReadLines(log)) {
        double gap = atof(line.c_str()) / 1000.0;
        sum += gap;
        errors.push_back(fabs(gap - 30.0));
    }
    ASSERT_EQ(errors.size(), 100u);
    std::sort(errors.begin(), errors.end());
    double mean = sum / errors.size();
    printf("tick gaps for a 30 ms period: mean %.2f ms, p99 error %.2f ms, largest error %.2f ms\n", mean,
           errors[98], errors.back());
    EXPECT_GE(mean, 29.5);
    EXPECT_LE(mean, 40.0);
}
