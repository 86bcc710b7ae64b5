// The saver program itself, as a daemon runs it: into the window it is given by
// option or environment, into the root window, or into its own; following the
// window's size; ending at once on SIGTERM and SIGINT; grabbing nothing; its
// messages and exit codes when the textures are missing or bad; and, in this
// process, its frame loop's pace.
// GoogleTest first: Xlib's macros (None, Bool) would change its names.
#include <gtest/gtest.h>

#include "x_support.h"
#include "linux/frame_loop.h"
#include "linux/scene_session.h"
#include "linux/stop_signals.h"
#include "scene/scene.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <GL/glx.h>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char ownTitle[] = "Nimbra";

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
    XClassHint classHint = {};
    ASSERT_TRUE(XGetClassHint(display, window, &classHint));
    EXPECT_STREQ(classHint.res_name, "nimbra");
    EXPECT_STREQ(classHint.res_class, "Nimbra");
    XFree(classHint.res_name);
    XFree(classHint.res_class);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *pid = nullptr;
    ASSERT_EQ(XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False,
                                 XA_CARDINAL, &type, &format, &count, &after, &pid), Success);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(*reinterpret_cast<long *>(pid), program.pid);
    XFree(pid);
    EXPECT_TRUE(WaitUntil([&] { return CentreLit(window, 800, 600); }));
    kill(program.pid, SIGTERM);
    EXPECT_EQ(program.Wait(2000), 0);
    XSync(display, False);
    EXPECT_EQ(FindWindowNamed(display, ownTitle), Window(0)) << "the window goes with the program";
}

// A visual the GL can draw with but that has no depth buffer: the program makes a
// child window of its own in such a window.
bool FindVisualWithoutDepth(Display *display, XVisualInfo *found)
{
    XVisualInfo wanted;
    wanted.screen = DefaultScreen(display);
    int count = 0;
    XVisualInfo *visuals = XGetVisualInfo(display, VisualScreenMask, &wanted, &count);
    bool any = false;
    for (int i = 0; i < count && !any; ++i) {
        int gl = 0, depth = 0;
        glXGetConfig(display, &visuals[i], GLX_USE_GL, &gl);
        glXGetConfig(display, &visuals[i], GLX_DEPTH_SIZE, &depth);
        if (gl && depth == 0 && visuals[i].depth == 24 && visuals[i].c_class == TrueColor) {
            *found = visuals[i];
            any = true;
        }
    }
    if (visuals) XFree(visuals);
    return any;
}

Window CreateWindowWithVisual(Display *display, const XVisualInfo &visual, int width, int height)
{
    XSetWindowAttributes attributes;
    attributes.colormap = XCreateColormap(display, DefaultRootWindow(display), visual.visual, AllocNone);
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    const Window window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, unsigned(width), unsigned(height),
                                        0, visual.depth, InputOutput, visual.visual,
                                        CWColormap | CWBackPixel | CWBorderPixel, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
    return window;
}

// The program's own child of the window, or 0 when it draws into the window itself.
Window ChildOf(Display *display, Window window)
{
    Window root, parent, *children = nullptr, child = 0;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) && count == 1) child = children[0];
    if (children) XFree(children);
    return child;
}

struct ResizeRow {
    const char *name;
    int width, height;      // from 300 x 300
    bool visualWithoutDepth;
};

const ResizeRow resizeRows[] = {
    {"both", 900, 500, false},
    {"the width only", 700, 300, false},
    {"the height only", 300, 640, false},
    {"a visual without depth buffer, drawn in a child", 640, 420, true},
};

// The scene follows the window's new size: its centre moves to the new centre, and
// a child the program made takes the new size too.
TEST_F(SaverProgram, FollowsTheGivenWindowToItsNewSize)
{
    for (const ResizeRow &row : resizeRows) {
        SCOPED_TRACE(row.name);
        XVisualInfo visual;
        if (row.visualWithoutDepth) {
            ASSERT_TRUE(FindVisualWithoutDepth(display, &visual)) << "Xvfb offers one";
        }
        const Window window = row.visualWithoutDepth ? CreateWindowWithVisual(display, visual, 300, 300)
                                                     : CreateTestWindow(display, 300, 300);
        Program program;
        ASSERT_TRUE(program.Start(NIMBRA_PROGRAM, {"-window-id", std::to_string(window)}));
        ASSERT_TRUE(WaitUntil([&] { return CentreLit(window, 300, 300); })) << program.ErrorText();
        const Window child = ChildOf(display, window);
        EXPECT_EQ(child != 0, row.visualWithoutDepth);
        XResizeWindow(display, window, unsigned(row.width), unsigned(row.height));
        XSync(display, False);
        EXPECT_TRUE(WaitUntil([&] { return CentreLit(window, row.width, row.height); }));
        if (child) {
            XWindowAttributes attributes;
            ASSERT_TRUE(XGetWindowAttributes(display, child, &attributes));
            EXPECT_EQ(attributes.width, row.width);
            EXPECT_EQ(attributes.height, row.height);
            EXPECT_TRUE(attributes.override_redirect) << "no window manager decorates it under -root";
        }
        kill(program.pid, SIGTERM);
        EXPECT_EQ(program.Wait(2000), 0);
        EXPECT_EQ(program.ErrorText(), "");
        XDestroyWindow(display, window);
    }
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
                                                  std::vector<std::string>{"--window-id", "nothing"},
                                                  std::vector<std::string>{"--window-id", "0x1000009f9"}}) {
        Program program;
        ASSERT_TRUE(program.Start(NIMBRA_PROGRAM, args));
        EXPECT_EQ(program.Wait(), 2);
        EXPECT_NE(program.ErrorText().find("usage: nimbra [options]\n  -root"), std::string::npos)
            << program.ErrorText();
        EXPECT_EQ(program.OutputText(), "");
    }
}

TEST_F(SaverProgram, HelpAndVersionPrintOnStandardOutputWithExitCodeZero)
{
    for (const char *option : {"-help", "--help", "-version", "--version"}) {
        SCOPED_TRACE(option);
        Program program;
        ASSERT_TRUE(program.Start(NIMBRA_PROGRAM, {option}));
        EXPECT_EQ(program.Wait(), 0);
        const std::string expected = std::string(option).find("help") != std::string::npos
                                         ? "usage: nimbra [options]\n" : "nimbra " NIMBRA_VERSION "\n";
        EXPECT_EQ(program.OutputText().substr(0, expected.size()), expected);
        EXPECT_EQ(program.ErrorText(), "");
    }
}

// A frame of 4800 x 4800 takes seconds in a software renderer: the signal ends the
// program within moments all the same, once it is well into its drawing.
TEST_F(SaverProgram, EndsPromptlyOnTheSignalWhileDrawingAHugeWindow)
{
    const Window window = CreateTestWindow(display, 4800, 4800);
    Program program;
    ASSERT_TRUE(program.Start(NIMBRA_PROGRAM, {"-window-id", std::to_string(window)}));
    ASSERT_TRUE(WaitUntil([&] { return CpuSeconds(program.pid) > 0.5; }, 30000)) << program.ErrorText();
    kill(program.pid, SIGTERM);
    // Its own code has ended once it is a zombie; the kernel may then take a while
    // to free some hundred megabytes of buffers before the process can be reaped.
    EXPECT_TRUE(WaitUntil([&] { return ProcessState(program.pid) == 'Z'; }, 250));
    EXPECT_EQ(program.Wait(5000), 0);
    XDestroyWindow(display, window);
}

// In this process, through the program's own loop: the frame rate follows -delay,
// the scene's steps follow the clock, 60 a second, and a start without -seed
// shows another backdrop than the one before.
TEST_F(SaverProgram, FramesFollowTheDelayAndStepsFollowTheClock)
{
    const Window window = CreateTestWindow(display, 160, 120);
    const std::string id = std::to_string(window);
    float earlierBackdrop[3] = {};
    for (const char *delay : {"125000", "50000"}) {
        SCOPED_TRACE(delay);
        const char *const args[] = {"nimbra", "-window-id", id.c_str(), "-delay", delay};
        SaverOptions options;
        std::string error;
        ASSERT_TRUE(ParseSaverOptions(5, args, nullptr, &options, &error));
        int width = 0, height = 0;
        ASSERT_TRUE(OpenScene(options, &width, &height));
        EXPECT_FALSE(BackdropX[0] == earlierBackdrop[0] && BackdropY[0] == earlierBackdrop[1] &&
                     BackdropZ[0] == earlierBackdrop[2]);
        earlierBackdrop[0] = BackdropX[0], earlierBackdrop[1] = BackdropY[0], earlierBackdrop[2] = BackdropZ[0];
        FrameLoop loop;
        StartFrameLoop(&loop, options, width, height);
        bool running = true;
        while (running && loop.lastFrame - loop.start < 2500000000) running = RunFramePass(&loop);
        CloseScene();
        ASSERT_TRUE(running);
        // From the first frame, drawn at the start, to the last.
        const double seconds = double(loop.lastFrame - loop.start) / 1e9;
        const double expectedRate = 1e6 / std::atof(delay);
        EXPECT_LE((loop.frames - 1) / seconds, expectedRate * 1.05);
        EXPECT_GE((loop.frames - 1) / seconds, expectedRate * 0.7);
        EXPECT_NEAR((loop.steps - 1) / seconds, 60.0, 1.0);
    }
    XDestroyWindow(display, window);
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
    {"moon.bmp", "missing", "nimbra: FOLDERmoon.bmp: Could not find necessary texture.\n"},
    {"nimbra.bmp", "fifo", "nimbra: FOLDERnimbra.bmp: Could not find necessary texture.\n"},
    {"earth.bmp", "empty",
     "nimbra: Failed to open DIB file FOLDERearth.bmp.\nnimbra: FOLDERearth.bmp: Could not find necessary texture.\n"},
    {"nebula.bmp", "cut",
     "nimbra: FOLDERnebula.bmp: Image file conversion error.\nnimbra: FOLDERnebula.bmp: Could not find necessary texture.\n"},
    {"clouds.bmp", "v5 header",
     "nimbra: FOLDERclouds.bmp: Unknown DIB file format.\nnimbra: FOLDERclouds.bmp: Could not find necessary texture.\n"},
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
        if (how == "missing" || how == "fifo") unlink(spoilt.c_str());
        if (how == "fifo") {   // no writer: opening it for reading would block
            ASSERT_EQ(mkfifo(spoilt.c_str(), 0644), 0);
        }
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
        for (size_t at; (at = expected.find("FOLDER")) != std::string::npos;) expected.replace(at, 6, folder);
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
