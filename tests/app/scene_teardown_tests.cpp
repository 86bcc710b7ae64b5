// Closing the animation window: clean teardown, and each failure reported in turn.
#include "app/scene_window_fixture.h"

static std::vector<int> OkOnly() { return {IDOK}; }

TEST_F(WindowedScene, CleanTeardownShowsNothingAndReleasesEverything)
{
    HWND window = SceneWindow;
    CloseSceneWindow();
    EXPECT_EQ(1u, SeenBoxes().size());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(SceneWindow == NULL && SceneDC == NULL && SceneRC == NULL);
    EXPECT_TRUE(wglGetCurrentContext() == NULL);
}

TEST_F(WindowedScene, SecondTeardownFindsNothingLeftToRelease)
{
    CloseSceneWindow();
    CloseSceneWindow();
    EXPECT_EQ(1u, SeenBoxes().size()) << SeenBoxes().back().text;
}

TEST_F(WindowedScene, WindowGoneBehindItsBackIsReportedAndTeardownGoesOn)
{
    HWND window = SceneWindow;
    wglMakeCurrent(NULL, NULL);
    DestroyWindow(window);
    CloseSceneWindow();

    std::vector<std::string> texts;
    for (size_t i = 1; i < SeenBoxes().size(); i++) {
        texts.push_back(SeenBoxes()[i].text);
        EXPECT_EQ("SHUTDOWN ERROR", SeenBoxes()[i].caption);
        EXPECT_EQ(OkOnly(), SeenBoxes()[i].buttons);
        EXPECT_EQ(SystemIcon(IDI_INFORMATION), SeenBoxes()[i].icon);
    }
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ("Could Not Release hWnd.", texts.back());
    EXPECT_TRUE(SceneWindow == NULL && SceneDC == NULL && SceneRC == NULL);
}

TEST_F(WindowedScene, ContextDeletedBehindItsBackIsReportedAndTeardownGoesOn)
{
    HWND window = SceneWindow;
    HGLRC context = SceneRC;
    wglMakeCurrent(NULL, NULL);
    wglDeleteContext(context);
    CloseSceneWindow();

    ASSERT_GE(SeenBoxes().size(), 2u);
    EXPECT_EQ("Release Rendering Context Failed.", SeenBoxes().back().text);
    EXPECT_EQ("SHUTDOWN ERROR", SeenBoxes().back().caption);
    EXPECT_EQ(SystemIcon(IDI_INFORMATION), SeenBoxes().back().icon);
    EXPECT_FALSE(IsWindow(window)) << "the window is still destroyed after the failure";
    EXPECT_TRUE(SceneWindow == NULL && SceneDC == NULL && SceneRC == NULL);
}
