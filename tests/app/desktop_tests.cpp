// Inside a virtual desktop the display may change to 800 x 600 x 16: the full-screen
// window, its teardown, and failures reported after the desktop's mode is back.
#include "app/scene_window_fixture.h"
#include <stdio.h>

struct DisplayMode {
    DWORD width, height, bits;
    bool operator==(const DisplayMode &o) const { return width == o.width && height == o.height && bits == o.bits; }
};

static DisplayMode CurrentMode()
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &mode);
    return {mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel};
}

static std::ostream &operator<<(std::ostream &out, const DisplayMode &m)
{
    return out << m.width << "x" << m.height << "x" << m.bits;
}

static std::string DescribeStateAtBox()
{
    DisplayMode mode = CurrentMode();
    char text[96];
    snprintf(text, sizeof text, "%lux%lux%lu window=%d", mode.width, mode.height, mode.bits,
             FindWindowA("OpenGL", NULL) != NULL);
    return text;
}

class DesktopScene : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktopMode = CurrentMode();
        ASSERT_EQ(800u, desktopMode.width);
        ASSERT_NE(16u, desktopMode.bits) << "the desktop must differ from the requested depth";
        SpyOnDisplayChanges();
        WatchMessageBoxes({}, DescribeStateAtBox);
    }
    void TearDown() override
    {
        StopWatchingMessageBoxes();
        ChangeDisplaySettingsA(NULL, 0);
    }
    DisplayMode desktopMode;
};

TEST_F(DesktopScene, FullScreenIsGrantedWithoutQuestion)
{
    int cursorBefore = CursorCount();
    ASSERT_TRUE(OpenSceneWindow(SceneTitle, 800, 600, 16, true));
    EXPECT_TRUE(SeenBoxes().empty());
    EXPECT_EQ(1, FullScreen);
    EXPECT_EQ((DisplayMode{800, 600, 16}), CurrentMode());

    LONG style = GetWindowLongA(SceneWindow, GWL_STYLE);
    LONG exStyle = GetWindowLongA(SceneWindow, GWL_EXSTYLE);
    EXPECT_EQ((LONG)(WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              style & (WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ((LONG)WS_EX_APPWINDOW, exStyle & (WS_EX_APPWINDOW | WS_EX_WINDOWEDGE));
    RECT client;
    GetClientRect(SceneWindow, &client);
    EXPECT_EQ(800, client.right);
    EXPECT_EQ(600, client.bottom);
    EXPECT_EQ(cursorBefore - 1, CursorCount()) << "the cursor is hidden";
    EXPECT_EQ(SceneRC, wglGetCurrentContext());
}

TEST_F(DesktopScene, TeardownRestoresTheDesktopModeLastAndShowsTheCursor)
{
    int cursorBefore = CursorCount();
    ASSERT_TRUE(OpenSceneWindow(SceneTitle, 800, 600, 16, true));
    HWND window = SceneWindow;
    CloseSceneWindow();

    EXPECT_TRUE(SeenBoxes().empty());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(desktopMode, CurrentMode());
    EXPECT_EQ(cursorBefore, CursorCount());
    EXPECT_EQ(1, FullScreen) << "the flag is not cleared after the restore";
    ASSERT_EQ(2u, DisplayChanges.size());
    const DisplayChange &restore = DisplayChanges[1];
    EXPECT_TRUE(restore.restore);
    EXPECT_EQ(0u, restore.flags);
    EXPECT_FALSE(restore.sceneWindowExists);
    EXPECT_FALSE(restore.contextCurrent);
}

TEST_F(DesktopScene, RefusedModeAnsweredYesLeavesLaterModeChangesAlone)
{
    // 1600 x 1200 does not fit the X screen behind the desktop, so it is refused.
    WatchMessageBoxes({IDYES}, DescribeStateAtBox);
    ASSERT_TRUE(OpenSceneWindow(SceneTitle, 1600, 1200, 16, true));
    ASSERT_EQ(1u, SeenBoxes().size());
    EXPECT_EQ("Vantt GL", SeenBoxes()[0].caption);
    EXPECT_EQ(0, FullScreen);

    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = 800;
    mode.dmPelsHeight = 600;
    mode.dmBitsPerPel = 16;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    ASSERT_EQ(DISP_CHANGE_SUCCESSFUL, ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN));
    CloseSceneWindow();
    EXPECT_EQ((DisplayMode{800, 600, 16}), CurrentMode()) << "a windowed run must not restore a mode";
}

class HiddenTexture {
public:
    explicit HiddenTexture(const char *name)
        : path(std::string("C:\\windows\\NimbraData\\") + name), hidden(path + ".hidden")
    {
        if (GetFileAttributesA(hidden.c_str()) != INVALID_FILE_ATTRIBUTES)
            MoveFileA(hidden.c_str(), path.c_str());   // left behind by an earlier crash
        moved = MoveFileA(path.c_str(), hidden.c_str()) != 0;
    }
    ~HiddenTexture()
    {
        if (moved)
            MoveFileA(hidden.c_str(), path.c_str());
    }
    std::string path, hidden;
    bool moved;
};

TEST_F(DesktopScene, MissingTextureIsReportedAfterTheDesktopModeIsBack)
{
    const char *textures[] = {"earth.bmp", "clouds.bmp"};
    for (const char *name : textures) {
        HiddenTexture hidden(name);
        ASSERT_TRUE(hidden.moved) << hidden.path;
        WatchMessageBoxes({}, DescribeStateAtBox);
        int cursorBefore = CursorCount();

        EXPECT_FALSE(OpenSceneWindow(SceneTitle, 800, 600, 16, true)) << name;
        ASSERT_EQ(1u, SeenBoxes().size()) << name;
        const SeenBox &box = SeenBoxes()[0];
        EXPECT_EQ("Could not find necessary texture.", box.text);
        EXPECT_EQ("ERROR", box.caption);
        EXPECT_EQ(std::vector<int>{IDOK}, box.buttons);
        EXPECT_EQ(SystemIcon(IDI_WARNING), box.icon);
        char expected[64];
        snprintf(expected, sizeof expected, "%lux%lux%lu window=0", desktopMode.width, desktopMode.height,
                 desktopMode.bits);
        EXPECT_EQ(expected, box.note) << "the box must come after the teardown";
        EXPECT_EQ(cursorBefore, CursorCount());
        EXPECT_TRUE(SceneWindow == NULL && SceneDC == NULL && SceneRC == NULL);
        UnregisterClassA("OpenGL", GetModuleHandleA(NULL));   // lets the next round register it
    }
}
