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
    // Nothing was current any more, the window's DC went with the window, and the
    // window itself is gone: each step reports, in teardown order, and goes on.
    std::vector<std::string> expected = {"Release Of DC And RC Failed.", "Release Device Context Failed.",
                                         "Could Not Release hWnd."};
    EXPECT_EQ(expected, texts);
    EXPECT_TRUE(SceneWindow == NULL && SceneDC == NULL && SceneRC == NULL);
}

TEST_F(WindowedScene, ContextDeletedBehindItsBackIsReportedAndTeardownGoesOn)
{
    HWND window = SceneWindow;
    HGLRC context = SceneRC;
    wglMakeCurrent(NULL, NULL);
    wglDeleteContext(context);
    CloseSceneWindow();

    ASSERT_EQ(3u, SeenBoxes().size());
    EXPECT_EQ("Release Of DC And RC Failed.", SeenBoxes()[1].text);
    EXPECT_EQ("Release Rendering Context Failed.", SeenBoxes()[2].text);
    EXPECT_EQ("SHUTDOWN ERROR", SeenBoxes()[2].caption);
    EXPECT_EQ(OkOnly(), SeenBoxes()[2].buttons);
    EXPECT_EQ(SystemIcon(IDI_INFORMATION), SeenBoxes()[2].icon);
    EXPECT_FALSE(IsWindow(window)) << "the window is still destroyed after the failure";
    EXPECT_TRUE(SceneWindow == NULL && SceneDC == NULL && SceneRC == NULL);
}
