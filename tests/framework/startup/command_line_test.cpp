// The screen-saver command-line grammar, as one table over real windows.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "framework/services/services.h"
#include "framework/startup/entry.h"

namespace {

enum class Expect { None, Foreground, Target };

struct Row {
    const char *line;   // {W} decimal handle of the target window, {X} hex, {O} octal, {N} no window
    ScreenSaverMode mode;
    Expect window;
};

const ScreenSaverMode Refused = ScreenSaverMode::Refused;
const ScreenSaverMode Saver = ScreenSaverMode::Saver;
const ScreenSaverMode Preview = ScreenSaverMode::Preview;
const ScreenSaverMode Configure = ScreenSaverMode::Configure;
const ScreenSaverMode Password = ScreenSaverMode::ChangePassword;

const Row Table[] = {
    // Program name and what follows it.
    {"", Configure, Expect::None},
    {"saver.scr", Configure, Expect::None},
    {"saver.scr      ", Configure, Expect::None},
    {"\"C:\\My Savers\\saver.scr\" /s", Saver, Expect::None},
    {"\"C:\\My Savers\\saver.scr\"   -S", Saver, Expect::None},
    {"\"saver.scr\"/s", Saver, Expect::None},
    {"\"saver.scr\"", Configure, Expect::None},
    {"\"\"", Configure, Expect::None},
    {"\"C:\\My Savers\\saver.scr /s", Refused, Expect::None},
    {"\"", Refused, Expect::None},
    {"\"\" /p {W}", Preview, Expect::Target},
    // Only the blank separates: a tab is part of the word it is in.
    {"saver.scr\t/s", Configure, Expect::None},
    {"saver.scr \t/s", Refused, Expect::None},
    {"saver.scr /\ts", Refused, Expect::None},
    // '-' then '/', each at most once; letters in either case.
    {"saver.scr /s", Saver, Expect::None},
    {"saver.scr /S", Saver, Expect::None},
    {"saver.scr -s", Saver, Expect::None},
    {"saver.scr -/s", Saver, Expect::None},
    {"saver.scr s", Saver, Expect::None},
    {"saver.scr /s 1234", Saver, Expect::None},
    {"saver.scr /sx", Saver, Expect::None},
    {"saver.scr /-s", Refused, Expect::None},
    {"saver.scr --s", Refused, Expect::None},
    {"saver.scr //s", Refused, Expect::None},
    {"saver.scr -/", Refused, Expect::None},
    {"saver.scr /x", Refused, Expect::None},
    {"saver.scr /", Refused, Expect::None},
    {"saver.scr -", Refused, Expect::None},
    {"saver.scr :s", Refused, Expect::None},
    {"saver.scr /1", Refused, Expect::None},
    // Configuration: always owned by the foreground window.
    {"saver.scr /c", Configure, Expect::Foreground},
    {"saver.scr /C", Configure, Expect::Foreground},
    {"saver.scr -c", Configure, Expect::Foreground},
    {"saver.scr /c:{W}", Configure, Expect::Foreground},
    {"saver.scr /c {W}", Configure, Expect::Foreground},
    // Change of password: the named window when it exists, else the foreground.
    {"saver.scr /a {W}", Password, Expect::Target},
    {"saver.scr /A {W}", Password, Expect::Target},
    {"saver.scr /a:{W}", Password, Expect::Target},
    {"saver.scr /a : :: {W}", Password, Expect::Target},
    {"saver.scr /a {X}", Password, Expect::Target},
    {"saver.scr /a {O}", Password, Expect::Target},
    {"saver.scr /a +{W}", Password, Expect::Target},
    {"saver.scr /a {W}xyz", Password, Expect::Target},
    {"saver.scr /a\t{W}", Password, Expect::Target},   // "%i" itself skips the tab
    {"saver.scr /a", Password, Expect::Foreground},
    {"saver.scr /a: ", Password, Expect::Foreground},
    {"saver.scr /a word", Password, Expect::Foreground},
    {"saver.scr /a {N}", Password, Expect::Foreground},
    {"saver.scr /a 0", Password, Expect::Foreground},
    {"saver.scr /a -{W}", Password, Expect::Foreground},
    {"saver.scr /a 0x", Password, Expect::Foreground},
    {"saver.scr /a \xB2\xE9", Password, Expect::Foreground},
    // Preview: the named window must exist.
    {"saver.scr /p {W}", Preview, Expect::Target},
    {"saver.scr /p:{W}", Preview, Expect::Target},
    {"saver.scr /p :  : {W}", Preview, Expect::Target},
    {"saver.scr /P {W}", Preview, Expect::Target},
    {"saver.scr /l {W}", Preview, Expect::Target},
    {"saver.scr /L {W}", Preview, Expect::Target},
    {"saver.scr -p {W}", Preview, Expect::Target},
    {"saver.scr p {W}", Preview, Expect::Target},
    {"saver.scr /p {X}", Preview, Expect::Target},
    {"saver.scr /p {O}", Preview, Expect::Target},
    {"saver.scr /p{W}", Preview, Expect::Target},
    {"saver.scr /p {W} trailing words", Preview, Expect::Target},
    {"saver.scr /p", Refused, Expect::None},
    {"saver.scr /p   ", Refused, Expect::None},
    {"saver.scr /p ::", Refused, Expect::None},
    {"saver.scr /p word", Refused, Expect::None},
    {"saver.scr /p glasscasex", Refused, Expect::None},
    {"saver.scr /p {N}", Refused, Expect::None},
    {"saver.scr /p 0", Refused, Expect::None},
    {"saver.scr /p -{W}", Refused, Expect::None},
    {"saver.scr /p 0x", Refused, Expect::None},
    {"saver.scr /p \xE9\xFF", Refused, Expect::None},
    // High-bit characters elsewhere.
    {"\xE9\xE8.scr /s", Saver, Expect::None},
    {"saver.scr /\xE9", Refused, Expect::None},
    {"saver.scr /s\xFF\xFF", Saver, Expect::None},
};

std::string Replace(std::string text, const std::string &key, const std::string &value)
{
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
        text.replace(at, key.size(), value);
    return text;
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScrEnsureInit();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CommandLineTarget";
        RegisterClassA(&wc);
        target = CreateWindowExA(0, "CommandLineTarget", "target", WS_OVERLAPPEDWINDOW, 10, 10, 100, 100,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        front = CreateWindowExA(0, "CommandLineTarget", "front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 10, 100,
                                100, nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(front);
        ASSERT_NE(target, nullptr);
        ASSERT_EQ(GetForegroundWindow(), front);
    }

    void TearDown() override
    {
        DestroyWindow(front);
        DestroyWindow(target);
    }

    std::string Expand(const char *line) const
    {
        unsigned value = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(target));
        char text[32];
        std::string result = line;
        snprintf(text, sizeof(text), "%u", value);
        result = Replace(result, "{W}", text);
        snprintf(text, sizeof(text), "0x%X", value);
        result = Replace(result, "{X}", text);
        snprintf(text, sizeof(text), "0%o", value);
        result = Replace(result, "{O}", text);
        result = Replace(result, "{N}", "99999");
        return result;
    }

    HWND target = nullptr;
    HWND front = nullptr;
};

const char *ModeName(ScreenSaverMode mode)
{
    switch (mode) {
    case ScreenSaverMode::Refused:        return "refused";
    case ScreenSaverMode::Saver:          return "saver";
    case ScreenSaverMode::Preview:        return "preview";
    case ScreenSaverMode::Configure:      return "configure";
    case ScreenSaverMode::ChangePassword: return "password";
    }
    return "?";
}

}  // namespace

TEST_F(CommandLine, EveryRowOfTheGrammarTable)
{
    ASSERT_FALSE(IsWindow(reinterpret_cast<HWND>(99999)));
    for (const Row &row : Table) {
        std::string line = Expand(row.line);
        ParsedCommandLine parsed = ParseCommandLine(line.c_str());
        HWND expected = row.window == Expect::Target ? target : row.window == Expect::Foreground ? front : nullptr;
        EXPECT_STREQ(ModeName(parsed.mode), ModeName(row.mode)) << "line: " << line;
        EXPECT_EQ(parsed.window, expected) << "line: " << line;
    }
}

TEST_F(CommandLine, NoCommandLineIsRefused)
{
    EXPECT_EQ(ParseCommandLine(nullptr).mode, ScreenSaverMode::Refused);
}

TEST_F(CommandLine, OverlongLinesAreReadWithoutRunningOffTheirEnd)
{
    std::string blanks(10000, ' ');
    std::string letters(10000, 'g');
    std::string handle = Expand("{X}");
    struct {
        std::string line;
        ScreenSaverMode mode;
        HWND window;
    } rows[] = {
        {"saver.scr" + blanks + "/s", Saver, nullptr},
        {std::string(10000, 'n'), Configure, nullptr},
        {"\"" + std::string(10000, 'n'), Refused, nullptr},
        {"\"" + std::string(10000, ' ') + "\" /s", Saver, nullptr},
        {"saver.scr /p " + letters, Refused, nullptr},
        {"saver.scr /p glasscase" + letters, Refused, nullptr},
        {"saver.scr /p" + std::string(10000, ':') + handle, Preview, target},
        {"saver.scr /p 0x" + std::string(10000, '0') + handle.substr(2), Preview, target},
        {"saver.scr /a " + letters, Password, front},
        {"saver.scr /c" + letters, Configure, front},
        {"saver.scr /s" + std::string(10000, '\xFF'), Saver, nullptr},
    };
    for (const auto &row : rows) {
        // Right at the end of a committed page, so that reading one byte too
        // far faults instead of passing unnoticed.
        size_t size = row.line.size() + 1;
        size_t pages = (size + 4095) / 4096 + 1;
        char *block = static_cast<char *>(VirtualAlloc(nullptr, pages * 4096, MEM_RESERVE, PAGE_NOACCESS));
        ASSERT_NE(block, nullptr);
        VirtualAlloc(block, (pages - 1) * 4096, MEM_COMMIT, PAGE_READWRITE);
        char *line = block + (pages - 1) * 4096 - size;
        memcpy(line, row.line.c_str(), size);
        ParsedCommandLine parsed = ParseCommandLine(line);
        EXPECT_STREQ(ModeName(parsed.mode), ModeName(row.mode)) << "line of " << row.line.size() << " characters";
        EXPECT_EQ(parsed.window, row.window) << "line of " << row.line.size() << " characters";
        VirtualFree(block, 0, MEM_RELEASE);
    }
}
