// Opening the animation window: the refused full-screen mode and its question, the
// window class, styles and pixel format, and the early failures.
#include "app/scene_window_fixture.h"

static const char FullScreenQuestion[] =
    "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?";

static std::vector<int> Buttons(std::initializer_list<int> ids) { return ids; }

TEST(SceneWindowOpening, RefusedFullScreenAsksWhetherToUseWindowedMode)
{
    SpyOnDisplayChanges();
    WatchMessageBoxes({IDYES});
    ASSERT_TRUE(OpenSceneWindow(SceneTitle, 800, 600, 16, true));

    ASSERT_EQ(1u, DisplayChanges.size());
    const DisplayChange &asked = DisplayChanges[0];
    EXPECT_FALSE(asked.restore);
    EXPECT_EQ((DWORD)CDS_FULLSCREEN, asked.flags);
    EXPECT_EQ(148u, asked.size) << "the record without the panning fields";
    EXPECT_EQ((DWORD)(DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT), asked.fields);
    EXPECT_EQ(800u, asked.width);
    EXPECT_EQ(600u, asked.height);
    EXPECT_EQ(16u, asked.bits);
    EXPECT_NE(DISP_CHANGE_SUCCESSFUL, asked.result);

    ASSERT_EQ(1u, SeenBoxes().size());
    EXPECT_EQ(FullScreenQuestion, SeenBoxes()[0].text);
    EXPECT_EQ("Vantt GL", SeenBoxes()[0].caption);
    EXPECT_EQ(Buttons({IDYES, IDNO}), SeenBoxes()[0].buttons);
    EXPECT_EQ(SystemIcon(IDI_WARNING), SeenBoxes()[0].icon);
    CloseSceneWindow();
}

TEST(SceneWindowOpening, YesGivesFramedWindowWithVisibleCursorAndNoModeRestore)
{
    SpyOnDisplayChanges();
    WatchMessageBoxes({IDYES});
    int cursorBefore = CursorCount();
    ASSERT_TRUE(OpenSceneWindow(SceneTitle, 800, 600, 16, true));
    EXPECT_EQ(0, FullScreen);

    HWND window = FindWindowA("OpenGL", SceneTitle);
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ(SceneWindow, window);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    EXPECT_EQ((LONG)(WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              style & (WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_POPUP));
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ((LONG)(WS_EX_APPWINDOW | WS_EX_WINDOWEDGE),
              exStyle & (WS_EX_APPWINDOW | WS_EX_WINDOWEDGE | WS_EX_TOPMOST));

    // The requested size is the outer size; the frame takes its share of it.
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    EXPECT_EQ(800, outer.right - outer.left);
    EXPECT_EQ(600, outer.bottom - outer.top);
    EXPECT_LT(client.right, 800);
    EXPECT_LT(client.bottom, 600);

    EXPECT_EQ(cursorBefore, CursorCount());
    EXPECT_EQ(SceneRC, wglGetCurrentContext());
    EXPECT_EQ(window, GetFocus());

    CloseSceneWindow();
    EXPECT_FALSE(IsWindow(window));
    ASSERT_EQ(1u, DisplayChanges.size()) << "windowed teardown must leave the display mode alone";
    EXPECT_EQ(cursorBefore, CursorCount());
    EXPECT_EQ(1u, SeenBoxes().size());
}

TEST(SceneWindowOpening, NoEndsWithProgramWillNowCloseAndBuildsNothing)
{
    SpyOnDisplayChanges();
    WatchMessageBoxes({IDNO});
    int cursorBefore = CursorCount();
    EXPECT_FALSE(OpenSceneWindow(SceneTitle, 800, 600, 16, true));

    ASSERT_EQ(2u, SeenBoxes().size());
    EXPECT_EQ(FullScreenQuestion, SeenBoxes()[0].text);
    EXPECT_EQ("Program Will Now Close.", SeenBoxes()[1].text);
    EXPECT_EQ("ERROR", SeenBoxes()[1].caption);
    EXPECT_EQ(Buttons({IDOK}), SeenBoxes()[1].buttons);
    EXPECT_EQ(SystemIcon(IDI_ERROR), SeenBoxes()[1].icon);

    EXPECT_TRUE(FindWindowA("OpenGL", NULL) == NULL);
    EXPECT_TRUE(SceneWindow == NULL && SceneDC == NULL && SceneRC == NULL);
    EXPECT_EQ(1u, DisplayChanges.size()) << "the refused mode needs no restore";
    EXPECT_EQ(cursorBefore, CursorCount());
    WNDCLASSA wc;
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(NULL), "OpenGL", &wc)) << "the class stays registered";
}

static LRESULT CALLBACK OtherProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST(SceneWindowOpening, TakenClassNameFailsBeforeTheDisplayIsTouched)
{
    WNDCLASSA taken = {};
    taken.lpfnWndProc = OtherProc;
    taken.hInstance = GetModuleHandleA(NULL);
    taken.lpszClassName = "OpenGL";
    ASSERT_TRUE(RegisterClassA(&taken));
    SpyOnDisplayChanges();
    WatchMessageBoxes({});

    EXPECT_FALSE(OpenSceneWindow(SceneTitle, 800, 600, 16, true));
    ASSERT_EQ(1u, SeenBoxes().size());
    EXPECT_EQ("Failed To Register The Window Class.", SeenBoxes()[0].text);
    EXPECT_EQ("ERROR", SeenBoxes()[0].caption);
    EXPECT_EQ(Buttons({IDOK}), SeenBoxes()[0].buttons);
    EXPECT_EQ(SystemIcon(IDI_WARNING), SeenBoxes()[0].icon);
    EXPECT_TRUE(DisplayChanges.empty());
    EXPECT_TRUE(FindWindowA("OpenGL", NULL) == NULL);
}

TEST_F(WindowedScene, WindowClassIsOwnDcWithArrowCursorAndNoBackground)
{
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(NULL), "OpenGL", &wc));
    EXPECT_EQ((UINT)(CS_HREDRAW | CS_VREDRAW | CS_OWNDC), wc.style);
    EXPECT_EQ((WNDPROC)SceneWindowProc, wc.lpfnWndProc);
    EXPECT_EQ(0, wc.cbClsExtra);
    EXPECT_EQ(0, wc.cbWndExtra);
    EXPECT_EQ(LoadIconA(NULL, (LPCSTR)IDI_WINLOGO), wc.hIcon);
    EXPECT_EQ(LoadCursorA(NULL, (LPCSTR)IDC_ARROW), wc.hCursor);
    EXPECT_TRUE(wc.hbrBackground == NULL);
    EXPECT_TRUE(wc.lpszMenuName == NULL);
    EXPECT_EQ(SceneDC, GetDC(SceneWindow)) << "a private DC, the same on every call";
}

TEST_F(WindowedScene, PixelFormatIsDoubleBufferedRgbaWithDepth)
{
    PIXELFORMATDESCRIPTOR pfd;
    int format = GetPixelFormat(SceneDC);
    ASSERT_NE(0, format);
    ASSERT_NE(0, DescribePixelFormat(SceneDC, format, sizeof pfd, &pfd));
    DWORD wanted = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    EXPECT_EQ(wanted, pfd.dwFlags & wanted);
    EXPECT_EQ(PFD_TYPE_RGBA, pfd.iPixelType);
    EXPECT_GE(pfd.cDepthBits, 16);
    GLboolean doubleBuffered = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_TRUE(doubleBuffered);
}
