// The saver program itself, as a daemon runs it: into the window it is given by
// option or environment, into the root window, or into its own; following the
// window's size; ending at once on SIGTERM and SIGINT; grabbing nothing; and its
// messages and exit codes when the textures are missing or bad.
// GoogleTest first: Xlib's macros (None, Bool) would change its names.
#include <gtest/gtest.h>

#include "x_support.h"

#include <X11/Xutil.h>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char ownTitle[] = "Nimbra by Tamsin Quell - http://www.example.org/nimbra/";

class SaverProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = OpenTestDisplay();
        ASSERT_NE(display, nullptr);
    }
    void TearDown() override
    {
        if (display) XCloseDisplay(display);
    }
    // The scene's centre is lit once the program draws: the earth, or the nimbra
    // in front of it.
    bool CentreLit(Window window, int width, int height)
    {
        return LitPixels(display, window, width / 2 - 8, height / 2 - 8, 16, 16) > 100;
    }
    Display *display = nullptr;
};

struct TargetRow {
    const char *name;
    std::vector<std::string> args;   // "ID" stands for the test's window
    bool throughEnvironment;
    int signal;
};

const TargetRow targetRows[] = {
    {"-window-id", {"-window-id", "ID"}, false, SIGTERM},
    {"--window-id", {"--window-id", "ID"}, false, SIGINT},
    {"XSCREENSAVER_WINDOW", {}, true, SIGTERM},
    {"-root", {"-root"}, false, SIGINT},
    {"--root", {"--root"}, false, SIGTERM},
};

// Each way of naming the target: the scene shows there, the test can still grab
// the keyboard and the pointer (the program holds neither), and the signal ends
// the program at once with exit code 0.
TEST_F(SaverProgram, DrawsIntoTheNamedWindowGrabsNothingAndEndsOnTheSignal)
{
    for (const TargetRow &row : targetRows) {
        SCOPED_TRACE(row.name);
        const bool root = row.args.size() == 1;
        const Window window = root ? DefaultRootWindow(display) : CreateTestWindow(display, 480, 360);
        if (root) {   // black again: an earlier program's last frame stays on the root window
            XSetWindowBackground(display, window, BlackPixel(display, DefaultScreen(display)));
            XClearWindow(display, window);
            XSync(display, False);
        }
        XWindowAttributes attributes;
        XGetWindowAttributes(display, window, &attributes);
        const std::string id = std::to_string(window);
        std::vector<std::string> args;
        for (const std::string &arg : row.args) args.push_back(arg == "ID" ? id : arg);
        std::vector<std::string> environment;
        if (row.throughEnvironment) environment.push_back("XSCREENSAVER_WINDOW=0x" + [&] {
            char hex[32]; std::snprintf(hex, sizeof hex, "%lx", window); return std::string(hex); }());

        Program program;
        ASSERT_TRUE(program.Start(NIMBRA_PROGRAM, args, environment));
        EXPECT_TRUE(WaitUntil([&] { return CentreLit(window, attributes.width, attributes.height); }))
            << program.ErrorText();
        EXPECT_EQ(XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime), GrabSuccess);
        EXPECT_EQ(XGrabPointer(display, window, False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime),
                  GrabSuccess);
        XUngrabPointer(display, CurrentTime);
        XUngrabKeyboard(display, CurrentTime);
        XSync(display, False);
        ASSERT_TRUE(program.Running());
        kill(program.pid, row.signal);
        EXPECT_EQ(program.Wait(2000), 0) << program.ErrorText();
        EXPECT_EQ(program.ErrorText(), "");
        if (!root) XDestroyWindow(display, window);
        XSync(display, False);
    }
}

TEST_F(SaverProgram, WithoutATargetItOpensItsOwnWindowOf800By600)
{
    Program program;
    ASSERT_TRUE(program.Start(NIMBRA_PROGRAM, {}));
    Window window = 0;
    ASSERT_TRUE(WaitUntil([&] { return (window = FindWindowNamed(display, ownTitle)) != 0; })) << program.ErrorText();
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display, window, &attributes));
    EXPECT_EQ(attributes.width, 800);
    EXPECT_EQ(attributes.height, 600);
    EXPECT_TRUE(WaitUntil([&] { return CentreLit(window, 800, 600); }));
    kill(program.pid, SIGTERM);
    EXPECT_EQ(program.Wait(2000), 0);
    XSync(display, False);
    EXPECT_EQ(FindWindowNamed(display, ownTitle), Window(0)) << "the window goes with the program";
}

// The scene follows the window's new size: its centre moves to the new centre.
TEST_F(SaverProgram, FollowsTheGivenWindowToItsNewSize)
{
    const Window window = CreateTestWindow(display, 300, 300);
    Program program;
    ASSERT_TRUE(program.Start(NIMBRA_PROGRAM, {"-window-id", std::to_string(window)}));
    ASSERT_TRUE(WaitUntil([&] { return CentreLit(window, 300, 300); })) << program.ErrorText();
    XResizeWindow(display, window, 900, 500);
    XSync(display, False);
    EXPECT_TRUE(WaitUntil([&] { return CentreLit(window, 900, 500); }));
    kill(program.pid, SIGTERM);
    EXPECT_EQ(program.Wait(2000), 0);
    XDestroyWindow(display, window);
}

// A daemon may take the window away before it stops the program.
TEST_F(SaverProgram, EndsByItselfWhenItsWindowIsDestroyed)
{
    const Window window = CreateTestWindow(display, 200, 150);
    Program program;
    ASSERT_TRUE(program.Start(NIMBRA_PROGRAM, {"-window-id", std::to_string(window)}));
    ASSERT_TRUE(WaitUntil([&] { return CentreLit(window, 200, 150); })) << program.ErrorText();
    XDestroyWindow(display, window);
    XSync(display, False);
    EXPECT_EQ(program.Wait(5000), 0) << program.ErrorText();
}

TEST_F(SaverProgram, ABadCommandLineGivesTheUsageAndExitCodeTwo)
{
    for (const std::vector<std::string> &args : {std::vector<std::string>{"-fullscreen"},
                                                  std::vector<std::string>{"-window-id"},
                                                  std::vector<std::string>{"--window-id", "nothing"}}) {
        Program program;
        ASSERT_TRUE(program.Start(NIMBRA_PROGRAM, args));
        EXPECT_EQ(program.Wait(), 2);
        EXPECT_NE(program.ErrorText().find("usage: nimbra [-root | -window-id ID]"), std::string::npos)
            << program.ErrorText();
    }
}

TEST_F(SaverProgram, AWindowIdThatNamesNoWindowIsAWindowErrorWithExitCodeOne)
{
    const Window window = CreateTestWindow(display, 100, 100);
    XDestroyWindow(display, window);
    XSync(display, False);
    Program program;
    ASSERT_TRUE(program.Start(NIMBRA_PROGRAM, {"-window-id", std::to_string(window)}));
    EXPECT_EQ(program.Wait(), 1);
    EXPECT_EQ(program.ErrorText(), "nimbra: Window Creation Error.\n");
}

void CopyFile(const std::string &from, const std::string &to, mode_t mode = 0644)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
    out.close();
    chmod(to.c_str(), mode);
}

struct TextureRow {
    const char *file;
    const char *how;            // "missing", "empty", "cut", "v5 header"
    std::string expectedText;   // standard error, with FOLDER for the texture folder
};

const TextureRow textureRows[] = {
    {"moon.bmp", "missing", "nimbra: Could not find necessary texture.\n"},
    {"earth.bmp", "empty", "nimbra: Failed to open DIB file FOLDERearth.bmp.\nnimbra: Could not find necessary texture.\n"},
    {"nebula.bmp", "cut", "nimbra: Image file conversion error.\nnimbra: Could not find necessary texture.\n"},
    {"clouds.bmp", "v5 header", "nimbra: Unknown DIB file format.\nnimbra: Could not find necessary texture.\n"},
};

// A program copied beside a NimbraData folder of its own reads its textures from
// there (the build tree's rule); one file of it is spoilt per row.
TEST_F(SaverProgram, AMissingOrBadTextureGivesTheWindowsMessagesOnStandardErrorAndExitCodeOne)
{
    for (const TextureRow &row : textureRows) {
        SCOPED_TRACE(std::string(row.file) + " " + row.how);
        char scratch[] = "/tmp/nimbra-textures-XXXXXX";
        ASSERT_NE(mkdtemp(scratch), nullptr);
        const std::string dir = scratch, folder = dir + "/NimbraData/";
        mkdir(folder.c_str(), 0755);
        CopyFile(NIMBRA_PROGRAM, dir + "/nimbra", 0755);
        for (const char *name : {"nebula.bmp", "earth.bmp", "moon.bmp", "nimbra.bmp", "clouds.bmp"})
            CopyFile(std::string(NIMBRA_TEXTURES) + "/" + name, folder + name);
        const std::string spoilt = folder + row.file;
        const std::string how = row.how;
        if (how == "missing") unlink(spoilt.c_str());
        if (how == "empty" || how == "cut") {
            ASSERT_EQ(truncate(spoilt.c_str(), how == "empty" ? 0 : 1000), 0);
        }
        if (how == "v5 header") {
            std::fstream file(spoilt, std::ios::in | std::ios::out | std::ios::binary);
            file.seekp(14);
            file.put(char(124));
        }
        Program program;
        ASSERT_TRUE(program.Start(dir + "/nimbra", {}));
        EXPECT_EQ(program.Wait(), 1);
        std::string expected = row.expectedText;
        const size_t at = expected.find("FOLDER");
        if (at != std::string::npos) expected.replace(at, 6, folder);
        EXPECT_EQ(program.ErrorText(), expected);
        XSync(display, False);
        EXPECT_EQ(FindWindowNamed(display, ownTitle), Window(0));
        for (const char *name : {"nebula.bmp", "earth.bmp", "moon.bmp", "nimbra.bmp", "clouds.bmp"})
            unlink((folder + name).c_str());
        rmdir(folder.c_str());
        unlink((dir + "/nimbra").c_str());
        rmdir(dir.c_str());
    }
}

} // namespace
