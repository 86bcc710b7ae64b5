#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/lullex.h"
#include "framework/monitor/monitor.h"
#include "support/log_capture.h"
#include "support/message_box_catcher.h"
#include "framework/services/services.h"

namespace {

void SetDebugMessages(LONG on)
{
    ScrPrefs *prefs = ScrGetPrefs();
    ASSERT_NE(prefs, nullptr);
    prefs->debugMessages = on;
    ScrSetPrefs(prefs);
}

bool ClassRegistered(const char *name, WNDCLASSEXA *info = nullptr)
{
    WNDCLASSEXA local = {};
    local.cbSize = sizeof(local);
    WNDCLASSEXA *target = info != nullptr ? info : &local;
    target->cbSize = sizeof(*target);
    return GetClassInfoExA(FrameworkModule, name, target) != 0;
}

void RegisterIntruder(const char *name)
{
    WNDCLASSA wc = {};
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = FrameworkModule;
    wc.lpszClassName = name;
    ASSERT_NE(RegisterClassA(&wc), 0);
}

const std::string OutSuffix = "___________  \n\r";
const std::string FromSuffix = "_________  \n\r";

}  // namespace

// ---- Debug log -------------------------------------------------------------

TEST(DebugLog, DebugOutAppendsElevenUnderscoresTwoBlanksLineFeedCarriageReturn)
{
    SetDebugMessages(1);
    LogCapture capture;
    DebugOut("abc");
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0], "abc___________  \n\r");
}

TEST(DebugLog, DebugOutFromJoinsSourceAndTextWithNineUnderscores)
{
    SetDebugMessages(1);
    LogCapture capture;
    DebugOutFrom("src", "abc");
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0], "src: abc_________  \n\r");
}

TEST(DebugLog, LongLinesAreCutSoThatSuffixAndTerminatorFitIn200Bytes)
{
    SetDebugMessages(1);
    const std::string longText(300, 'x');
    const std::string longSource(250, 's');
    LogCapture capture;
    DebugOut(longText.c_str());
    DebugOutFrom("src", longText.c_str());
    DebugOutFrom(longSource.c_str(), "abc");
    ASSERT_EQ(capture.Lines().size(), 3u);
    EXPECT_EQ(capture.Lines()[0], std::string(199 - OutSuffix.size(), 'x') + OutSuffix);
    EXPECT_EQ(capture.Lines()[1], "src: " + std::string(199 - FromSuffix.size() - 5, 'x') + FromSuffix);
    EXPECT_EQ(capture.Lines()[2], std::string(199 - FromSuffix.size(), 's') + FromSuffix);
}

TEST(DebugLog, TextThatJustFitsIsKeptWhole)
{
    SetDebugMessages(1);
    const std::string text(199 - OutSuffix.size(), 'y');
    LogCapture capture;
    DebugOut(text.c_str());
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0], text + OutSuffix);
}

TEST(DebugLog, DebugMessagesOffSilencesLinesAndBoxes)
{
    ScrEnsureInit();
    LogCapture capture;
    MessageBoxCatcher catcher;
    DebugOut("abc");
    DebugOutFrom("src", "abc");
    EXPECT_EQ(DebugMessageBox(NULL, "text", "caption"), 0);
    EXPECT_TRUE(capture.Lines().empty());
    EXPECT_TRUE(catcher.boxes.empty());
}

TEST(DebugLog, DebugMessageBoxShowsAnOkBoxWithOwnerTextAndCaption)
{
    SetDebugMessages(1);
    HWND owner = CreateWindowA("STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
    ASSERT_NE(owner, nullptr);
    MessageBoxCatcher catcher;
    EXPECT_EQ(DebugMessageBox(owner, "Something broke", "Lullex"), IDOK);
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].text, "Something broke");
    EXPECT_EQ(catcher.boxes[0].caption, "Lullex");
    EXPECT_EQ(catcher.boxes[0].owner, owner);
    EXPECT_TRUE(catcher.boxes[0].hasOk);
    EXPECT_FALSE(catcher.boxes[0].hasCancel);
    DestroyWindow(owner);
}

// ---- Initialisation and shutdown ---------------------------------------------

TEST(Lifecycle, FirstPublicCallInitialisesAndRegistersBothClasses)
{
    EXPECT_FALSE(frameworkInitialised);
    char version[8];
    ScrGetVersion(version, sizeof(version));
    EXPECT_TRUE(frameworkInitialised);
    EXPECT_FALSE(FrameworkAsLibrary);
    EXPECT_EQ(FrameworkModule, GetModuleHandleA(NULL));

    WNDCLASSEXA monitor, screen;
    ASSERT_TRUE(ClassRegistered("LullexMonitorClass", &monitor));
    ASSERT_TRUE(ClassRegistered("LullexMonitorWindowClass", &screen));
    EXPECT_EQ(monitor.style, (UINT)CS_GLOBALCLASS);
    EXPECT_EQ(screen.style, (UINT)(CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(monitor.lpfnWndProc, MonitorProc);
    EXPECT_EQ(screen.lpfnWndProc, MonitorScreenProc);
    for (const WNDCLASSEXA *wc : {&monitor, &screen}) {
        EXPECT_EQ(wc->hbrBackground, (HBRUSH)GetStockObject(NULL_BRUSH));
        EXPECT_EQ(wc->hIcon, nullptr);
        EXPECT_EQ(wc->hCursor, nullptr);
        EXPECT_EQ(wc->cbClsExtra, 0);
        EXPECT_EQ(wc->cbWndExtra, 0);
    }
}

TEST(Lifecycle, ClosingTwiceReportsNothingToCloseTheSecondTime)
{
    SetDebugMessages(1);
    LogCapture capture;
    EXPECT_TRUE(ScrCloseProcess());
    EXPECT_FALSE(frameworkInitialised);
    EXPECT_FALSE(ClassRegistered("LullexMonitorClass"));
    EXPECT_FALSE(ClassRegistered("LullexMonitorWindowClass"));
    EXPECT_EQ(monitorBitmap, nullptr);
    EXPECT_EQ(cornerMenu[0], nullptr);
    ASSERT_EQ(capture.Lines().size(), 2u);
    EXPECT_EQ(capture.Lines()[0], "Lullex: closing process..." + OutSuffix);
    EXPECT_EQ(capture.Lines()[1], "Lullex: successfully unregistered controls" + OutSuffix);

    capture.Clear();
    EXPECT_TRUE(ScrCloseProcess());
    ASSERT_EQ(capture.Lines().size(), 2u);
    EXPECT_EQ(capture.Lines()[0], "Lullex: closing process..." + OutSuffix);
    EXPECT_EQ(capture.Lines()[1], "nothing to close!" + OutSuffix);
}

TEST(Lifecycle, ClosingBeforeAnythingWasInitialisedSucceeds)
{
    EXPECT_TRUE(ScrCloseProcess());
    EXPECT_FALSE(frameworkInitialised);
}

TEST(Lifecycle, PublicCallsAfterClosingDoNotInitialiseAgain)
{
    ScrEnsureInit();
    ASSERT_TRUE(ScrCloseProcess());
    char version[8];
    EXPECT_EQ(ScrGetVersion(version, sizeof(version)), 4);
    free(ScrGetPrefs());
    ScrEnsureInit();
    EXPECT_FALSE(frameworkInitialised);
    EXPECT_FALSE(ClassRegistered("LullexMonitorClass"));
}

TEST(Lifecycle, FirstClassFailingLeavesSecondUnregisteredAndInitialisationFails)
{
    FrameworkModule = GetModuleHandleA(NULL);
    RegisterIntruder("LullexMonitorClass");
    EXPECT_FALSE(ScrInitProcess());
    EXPECT_TRUE(frameworkInitialised);
    EXPECT_FALSE(ClassRegistered("LullexMonitorWindowClass"));
}

struct RegistrationFailure {
    const char *occupiedClass;
    const char *line;
    const char *boxText;
    bool monitorClassRegistered;
};

// Each failure leaves the classes in a state of its own, so every case is a test
// of its own (the reset before the next case unregisters what is left).
static void ExpectRegistrationFailure(const RegistrationFailure &c)
{
    SetDebugMessages(1);
    ASSERT_TRUE(UnregisterControls());
    RegisterIntruder(c.occupiedClass);
    LogCapture capture;
    MessageBoxCatcher catcher;
    EXPECT_FALSE(RegisterControls());
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0], c.line + OutSuffix);
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].text, c.boxText);
    EXPECT_EQ(catcher.boxes[0].caption, "Lullex DLL");
    EXPECT_EQ(catcher.boxes[0].owner, nullptr);
    WNDCLASSEXA info = {};
    info.cbSize = sizeof(info);
    bool monitorIsOurs = ClassRegistered("LullexMonitorClass", &info) && info.lpfnWndProc == MonitorProc;
    EXPECT_EQ(monitorIsOurs, c.monitorClassRegistered);
}

TEST(RegisterControlsFailure, MonitorClassTakenLogsShowsDebugBoxAndReportsFalse)
{
    ExpectRegistrationFailure({"LullexMonitorClass", "Lullex: failed to register monitor class",
                               "Failed to register monitor class", false});
}

TEST(RegisterControlsFailure, MonitorWindowClassTakenLogsShowsDebugBoxAndReportsFalse)
{
    ExpectRegistrationFailure({"LullexMonitorWindowClass", "Lullex: Failed to register monitor window class",
                               "Failed to register monitor window class", true});
}

struct UnregistrationFailure {
    const char *missingClass;
    const char *otherClass;
    const char *line;
    const char *boxText;
};

static void ExpectUnregistrationFailure(const UnregistrationFailure &c)
{
    SetDebugMessages(1);
    ASSERT_TRUE(UnregisterClassA(c.missingClass, FrameworkModule));
    LogCapture capture;
    MessageBoxCatcher catcher;
    EXPECT_FALSE(UnregisterControls());
    EXPECT_FALSE(ClassRegistered(c.otherClass));
    ASSERT_EQ(capture.Lines().size(), 2u);
    EXPECT_EQ(capture.Lines()[0], c.line + OutSuffix);
    EXPECT_EQ(capture.Lines()[1], "Lullex: error unregistering controls..." + OutSuffix);
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].text, c.boxText);
    EXPECT_EQ(catcher.boxes[0].caption, "Lullex");
}

TEST(UnregisterControlsFailure, MissingWindowClassStillUnregistersTheMonitorClassAndReportsFalse)
{
    ExpectUnregistrationFailure({"LullexMonitorWindowClass", "LullexMonitorClass",
                                 "Lullex: failed to unregister monitor window class",
                                 "Failed to unregister monitor window class"});
}

TEST(UnregisterControlsFailure, MissingMonitorClassStillUnregistersTheWindowClassAndReportsFalse)
{
    ExpectUnregistrationFailure({"LullexMonitorClass", "LullexMonitorWindowClass",
                                 "Lullex: failed to unregister monitor class",
                                 "Failed to unregister monitor class"});
}

// ---- Version text --------------------------------------------------------------

struct VersionCase {
    int capacity;
    const char *text;
    int length;
};

class LinkedVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(LinkedVersion, IsCutToCapacityLessTerminator)
{
    char buffer[64];
    memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(ScrGetVersion(buffer, GetParam().capacity), GetParam().length);
    EXPECT_STREQ(buffer, GetParam().text);
    EXPECT_EQ(buffer[GetParam().length + 1], '#');
}

INSTANTIATE_TEST_SUITE_P(Version, LinkedVersion,
                         testing::Values(VersionCase{49, "1.5s", 4}, VersionCase{5, "1.5s", 4},
                                         VersionCase{4, "1.5", 3}, VersionCase{3, "1.", 2},
                                         VersionCase{1, "", 0}));

TEST(Version, NoRoomOrNoBufferWritesNothing)
{
    char buffer[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(ScrGetVersion(buffer, 0), 0);
    EXPECT_EQ(ScrGetVersion(buffer, -5), 0);
    EXPECT_EQ(ScrGetVersion(NULL, 49), 0);
    EXPECT_EQ(buffer[0], '#');
}

// ---- Library build -----------------------------------------------------------

TEST(LibraryEntry, OutsideTheWindowsDirectoryTheInstallCheckRefuses)
{
    MessageBoxCatcher catcher;
    EXPECT_FALSE(ScrLibraryEntry(GetModuleHandleA(NULL), DLL_PROCESS_ATTACH));
    EXPECT_TRUE(FrameworkAsLibrary);
    EXPECT_TRUE(frameworkInitialised);
    EXPECT_FALSE(ClassRegistered("LullexMonitorClass"));
    ASSERT_EQ(catcher.boxes.size(), 1u);   // its text: see the library test
    EXPECT_EQ(catcher.boxes[0].owner, nullptr);
    EXPECT_FALSE(catcher.boxes[0].hasCancel);
}

TEST(LibraryEntry, VersionTextIsTheModulesFileVersion)
{
    MessageBoxCatcher catcher;
    ScrLibraryEntry(GetModuleHandleA(NULL), DLL_PROCESS_ATTACH);
    char buffer[49];
    EXPECT_EQ(ScrGetVersion(buffer, sizeof(buffer)), 14);
    EXPECT_STREQ(buffer, "7.3 test build");
    EXPECT_EQ(ScrGetVersion(buffer, 4), 3);
    EXPECT_STREQ(buffer, "7.3");
}

TEST(LibraryEntry, VersionTextIsEmptyWithoutAVersionResource)
{
    MessageBoxCatcher catcher;
    ScrLibraryEntry(GetModuleHandleA(NULL), DLL_PROCESS_ATTACH);
    FrameworkModule = (HMODULE)(ULONG_PTR)0x10;   // no module: no file, no version block
    char buffer[49] = "unchanged";
    EXPECT_EQ(ScrGetVersion(buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "");
}

TEST(LibraryEntry, ThreadReasonsReturnFalseAndDetachCloses)
{
    EXPECT_FALSE(ScrLibraryEntry(GetModuleHandleA(NULL), DLL_THREAD_ATTACH));
    EXPECT_TRUE(FrameworkAsLibrary);
    EXPECT_FALSE(ScrLibraryEntry(GetModuleHandleA(NULL), DLL_THREAD_DETACH));
    EXPECT_FALSE(frameworkInitialised);
    EXPECT_TRUE(ScrLibraryEntry(GetModuleHandleA(NULL), DLL_PROCESS_DETACH));
}

// ---- Custom-control information -------------------------------------------------

TEST(CustomControl, WithoutARecordTheAnswerIsOne)
{
    EXPECT_EQ(ScrCustomControlInfo(NULL), 1u);
}

// A dialog editor may call it first of all, before anything has initialised.
TEST(CustomControl, RecordDescribesTheMonitorControlEvenAsTheFirstCall)
{
    CCINFOA info;
    memset(&info, 0xCD, sizeof(info));
    EXPECT_EQ(ScrCustomControlInfo(&info), 1u);
    EXPECT_STREQ(info.szClass, "LullexMonitorClass");
    EXPECT_EQ(info.flOptions, (DWORD)CCF_NOTEXT);
    EXPECT_STREQ(info.szDesc, "Monitor");
    EXPECT_EQ(info.cxDefault, 184u);
    EXPECT_EQ(info.cyDefault, 170u);
    EXPECT_EQ(info.flStyleDefault, 0x50000001u);
    EXPECT_EQ(info.flExtStyleDefault, 0u);
    EXPECT_EQ(info.flCtrlTypeMask, 0xFF3u);
    EXPECT_STREQ(info.szTextDefault, "");
    EXPECT_EQ(info.cStyleFlags, 15);
    EXPECT_EQ(info.dwReserved1, 0u);
    EXPECT_EQ(info.dwReserved2, 0u);
    ASSERT_NE(info.lpfnSizeToText, nullptr);
    EXPECT_EQ(info.lpfnSizeToText(0, 0, NULL, (LPSTR) "any text"), 184);
    EXPECT_EQ(info.lpfnSizeToText(MS_CORNERS, WS_EX_CLIENTEDGE, (HFONT)GetStockObject(SYSTEM_FONT), NULL),
              184);
}

TEST(CustomControl, StyleRowsNameEveryMonitorStyleWithItsMask)
{
    static const struct {
        DWORD style, mask;
        const char *name;
    } rows[] = {
        {0x0, 0x3, "MS_NOTHING"},          {0x1, 0x3, "MS_PREVIEW"},
        {0x2, 0x3, "MS_CORNERS"},          {0x0, 0x30, "MS_CTOPLEFTDEF"},
        {0x10, 0x10, "MS_CTOPLEFTNOW"},    {0x20, 0x20, "MS_CTOPLEFTNEV"},
        {0x0, 0xC0, "MS_CTOPRIGHTDEF"},    {0x40, 0x40, "MS_CTOPRIGHTNOW"},
        {0x80, 0x80, "MS_CTOPRIGHTNEV"},   {0x0, 0x300, "MS_CBOTRIGHTDEF"},
        {0x100, 0x100, "MS_CBOTRIGHTNOW"}, {0x200, 0x200, "MS_CBOTRIGHTNEV"},
        {0x0, 0xC00, "MS_CBOTLEFTDEF"},    {0x400, 0x400, "MS_CBOTLEFTNOW"},
        {0x800, 0x800, "MS_CBOTLEFTNEV"},
    };
    CCINFOA info = {};
    ScrCustomControlInfo(&info);
    ASSERT_EQ(info.cStyleFlags, 15);
    for (int i = 0; i < 15; i++) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(info.aStyleFlags[i].flStyle, rows[i].style);
        EXPECT_EQ(info.aStyleFlags[i].flStyleMask, rows[i].mask);
        EXPECT_STREQ(info.aStyleFlags[i].pszStyle, rows[i].name);
    }
}

TEST(CustomControl, StyleFunctionShowsItsBoxOverTheEditorAndChangesNothing)
{
    CCINFOA info = {};
    ScrCustomControlInfo(&info);
    HWND editor = CreateWindowA("STATIC", "editor", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    CCSTYLEA style = {};
    style.flStyle = MS_CORNERS | MS_CTOPLEFTNOW;
    MessageBoxCatcher catcher;
    EXPECT_TRUE(info.lpfnStyle(editor, &style));
    EXPECT_EQ(style.flStyle, (DWORD)(MS_CORNERS | MS_CTOPLEFTNOW));
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].text, "Function for changing style");
    EXPECT_EQ(catcher.boxes[0].caption, "Custom control");
    EXPECT_EQ(catcher.boxes[0].owner, editor);
    DestroyWindow(editor);
}
