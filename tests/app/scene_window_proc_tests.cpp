// The animation window's procedure: activation, system commands, close, keys, size.
#include "app/scene_window_fixture.h"
#include <GL/gl.h>
#include <math.h>
#include <string.h>

TEST_F(WindowedScene, ActivationFollowsTheMinimisedStateOnly)
{
    struct { WORD state, minimised; BYTE active; } rows[] = {
        {WA_ACTIVE, 0, 1},   {WA_CLICKACTIVE, 0, 1}, {WA_INACTIVE, 0, 1},
        {WA_ACTIVE, 1, 0},   {WA_INACTIVE, 1, 0},    {WA_ACTIVE, 0x8000, 0},
    };
    for (auto &row : rows) {
        SceneActive = !row.active;
        EXPECT_EQ(0, SendMessageA(SceneWindow, WM_ACTIVATE, MAKEWPARAM(row.state, row.minimised), 0));
        EXPECT_EQ(row.active, SceneActive) << "state " << row.state << " minimised " << row.minimised;
    }
}

TEST_F(WindowedScene, OnlyScreenSaveAndMonitorPowerAreSwallowedExactly)
{
    SpyOnDefaultSysCommands();
    struct { WPARAM command; bool swallowed; } rows[] = {
        {SC_SCREENSAVE, true},         {SC_MONITORPOWER, true},
        {SC_SCREENSAVE + 1, false},    {SC_SCREENSAVE + 0xF, false},
        {SC_MONITORPOWER + 2, false},  {SC_MONITORPOWER + 0xF, false},
        {SC_KEYMENU, false},           {SC_CLOSE, false},
    };
    for (auto &row : rows) {
        DefaultSysCommands.clear();
        LRESULT result = SendMessageA(SceneWindow, WM_SYSCOMMAND, row.command, 2);
        if (row.swallowed) {
            EXPECT_TRUE(DefaultSysCommands.empty()) << std::hex << row.command;
            EXPECT_EQ(0, result);
        } else {
            ASSERT_EQ(1u, DefaultSysCommands.size()) << std::hex << row.command;
            EXPECT_EQ(row.command, DefaultSysCommands[0]);
        }
    }
}

TEST_F(WindowedScene, CloseMessagePostsQuitWithCodeZeroAndKeepsTheWindow)
{
    DrainMessages();
    MSG msg;
    EXPECT_EQ(0, SendMessageA(SceneWindow, WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(SceneWindow));
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, msg.wParam);
}

TEST_F(WindowedScene, KeyMessagesSetAndClearTheirEntry)
{
    memset(KeyState, 0, sizeof KeyState);
    EXPECT_EQ(0, SendMessageA(SceneWindow, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
    EXPECT_EQ(1, KeyState[VK_ESCAPE]);
    SendMessageA(SceneWindow, WM_KEYDOWN, 255, 0);
    EXPECT_EQ(1, KeyState[255]);
    EXPECT_EQ(0, SendMessageA(SceneWindow, WM_KEYUP, VK_ESCAPE, 0xC0010001));
    EXPECT_EQ(0, KeyState[VK_ESCAPE]);
    EXPECT_EQ(1, KeyState[255]);
}

TEST_F(WindowedScene, KeyCodesOfTwoHundredFiftySixAndAboveChangeNoEntry)
{
    // 256 + 27 and 0x1001B would land on Escape if the code were cut to a byte.
    WPARAM codes[] = {256, 256 + VK_ESCAPE, 0x1001B, 0x7FFFFFFF, (WPARAM)-1};
    BYTE before[256];
    for (WPARAM code : codes) {
        memset(KeyState, 0, sizeof KeyState);
        memcpy(before, KeyState, sizeof before);
        SendMessageA(SceneWindow, WM_KEYDOWN, code, 0);
        EXPECT_EQ(0, memcmp(before, KeyState, sizeof before)) << "key down " << code;

        memset(KeyState, 1, sizeof KeyState);
        memcpy(before, KeyState, sizeof before);
        SendMessageA(SceneWindow, WM_KEYUP, code, 0);
        EXPECT_EQ(0, memcmp(before, KeyState, sizeof before)) << "key up " << code;
    }
}

static void ReadMatrix(GLenum which, GLfloat m[16])
{
    glGetFloatv(which, m);
}

static void ExpectPerspective(int width, int height)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(0, viewport[0]);
    EXPECT_EQ(0, viewport[1]);
    EXPECT_EQ(width, viewport[2]);
    EXPECT_EQ(height == 0 ? 1 : height, viewport[3]);

    GLfloat p[16];
    ReadMatrix(GL_PROJECTION_MATRIX, p);
    double focal = 1.0 / tan(22.5 * 3.14159265358979 / 180.0);
    double aspect = (double)width / (height == 0 ? 1 : height);
    double nearPlane = 0.1f, farPlane = 50000.0;
    for (int i = 0; i < 16; i++)
        EXPECT_TRUE(isfinite(p[i])) << "element " << i;
    EXPECT_NEAR(focal / aspect, p[0], 1e-5);
    EXPECT_NEAR(focal, p[5], 1e-5);
    EXPECT_NEAR(-(farPlane + nearPlane) / (farPlane - nearPlane), p[10], 1e-6);
    EXPECT_EQ(-1.0f, p[11]);
    EXPECT_NEAR(-2 * farPlane * nearPlane / (farPlane - nearPlane), p[14], 1e-6);

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(GL_MODELVIEW, mode);
    GLfloat mv[16];
    ReadMatrix(GL_MODELVIEW_MATRIX, mv);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(i % 5 == 0 ? 1.0f : 0.0f, mv[i]) << "model-view element " << i;
}

TEST_F(WindowedScene, OpeningSetsViewportAndPerspectiveForTheRequestedSize)
{
    ExpectPerspective(800, 600);
}

TEST_F(WindowedScene, SizeMessageSetsViewportAndPerspective)
{
    EXPECT_EQ(0, SendMessageA(SceneWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480)));
    ExpectPerspective(640, 480);
}

TEST_F(WindowedScene, ZeroHeightGivesOneRowAndNoDivisionByZero)
{
    EXPECT_EQ(0, SendMessageA(SceneWindow, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(800, 0)));
    ExpectPerspective(800, 0);
}
