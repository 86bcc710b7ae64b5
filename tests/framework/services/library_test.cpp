// The framework built as lullex.dll (lullex64.dll on x64): its install check, its classes and the
// version text it reads from its own version resource.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/lullex.h"
#include "support/message_box_catcher.h"

namespace {

typedef int(WINAPI *VersionFunction)(char *, int);

std::string WindowsDirectory()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof(windows));
    std::string path = windows;
    if (path.back() != '\\')
        path += '\\';
    return path;
}

std::string BuiltLibrary()
{
    return LULLEX_DLL;
}

bool ClassIn(HMODULE module, const char *name)
{
    WNDCLASSEXA info = {};
    info.cbSize = sizeof(info);
    return GetClassInfoExA(module, name, &info) != 0;
}

}  // namespace

TEST(LibraryBuild, LibraryOutsideTheWindowsDirectoryTellsWhereItBelongsAndDoesNotLoad)
{
    MessageBoxCatcher catcher;
    HMODULE library = LoadLibraryA(BuiltLibrary().c_str());
    EXPECT_EQ(library, nullptr);
    std::string expected = WindowsDirectory() + LULLEX_DLL_NAME;
    expected.replace(0, 2, "  ");
    CharLowerA(&expected[0]);
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].caption, "Lullex");
    EXPECT_EQ(catcher.boxes[0].text,
              "Lullex has been incorrectly installed.\r\nIt must be placed in the windows directory\r\n" +
                  expected);
    if (library != NULL)
        FreeLibrary(library);
}

TEST(LibraryBuild, LibraryInTheWindowsDirectoryRegistersItsClassesAndReportsItsFileVersion)
{
    const std::string installed = WindowsDirectory() + LULLEX_DLL_NAME;
    ASSERT_TRUE(CopyFileA(BuiltLibrary().c_str(), installed.c_str(), FALSE));
    MessageBoxCatcher catcher;
    HMODULE library = LoadLibraryA(installed.c_str());
    ASSERT_NE(library, nullptr);
    EXPECT_TRUE(catcher.boxes.empty());

    // The classes belong to the library's own module, where its resources live.
    VersionFunction version = (VersionFunction)(void *)GetProcAddress(library, "ScrGetVersion");
    ASSERT_NE(version, nullptr);
    EXPECT_TRUE(ClassIn(library, "LullexMonitorClass"));
    EXPECT_TRUE(ClassIn(library, "LullexMonitorWindowClass"));
    for (int dialog = 3600; dialog <= 3602; dialog++)
        EXPECT_NE(FindResourceA(library, MAKEINTRESOURCEA(dialog), RT_DIALOG), nullptr);
    EXPECT_NE(FindResourceA(library, MAKEINTRESOURCEA(3010), RT_BITMAP), nullptr);
    EXPECT_NE(LoadIconA(library, MAKEINTRESOURCEA(199)), nullptr);
    char text[49];
    EXPECT_EQ(version(text, sizeof(text)), 3);
    EXPECT_STREQ(text, "1.5");

    FreeLibrary(library);
    EXPECT_FALSE(ClassIn(library, "LullexMonitorClass"));
    EXPECT_FALSE(ClassIn(library, "LullexMonitorWindowClass"));
    DeleteFileA(installed.c_str());
}
