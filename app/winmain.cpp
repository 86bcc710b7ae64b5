// Process entry: the animation first, whatever the command line, then the framework,
// which reads the command line and runs the mode it asks for.
#include "app/app_main.h"
#include "app/gl_window.h"
#include "framework/lullex.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    FullScreen = 1;
    if (!OpenSceneWindow(SceneTitle, 800, 600, 16, true))
        return 0;   // the message is shown and the window torn down already
    RunSceneLoop();
    CloseSceneWindow();
    return ScrRun(instance, SaverWindowProc, NULL, NULL, 0);
}
