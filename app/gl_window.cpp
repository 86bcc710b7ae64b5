// Opening and closing the animation's window: display mode, window class, window,
// device context, pixel format and rendering context, in that order and back.
#include "app/gl_window.h"
#include "scene/scene.h"

#include <stddef.h>

HWND SceneWindow = NULL;
HDC SceneDC = NULL;
HGLRC SceneRC = NULL;
BYTE FullScreen = 0;

static PIXELFORMATDESCRIPTOR ScenePixelFormat;
static bool ScenePixelFormatFilled = false;

static void ShowOpenError(const char *text)
{
    MessageBoxA(NULL, text, "ERROR", MB_OK | MB_ICONWARNING);
}

static void ShowTeardownError(const char *text)
{
    MessageBoxA(NULL, text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
}

// Filled once, by the first opening; later openings reuse it unchanged.
static void FillPixelFormat(int bits)
{
    if (ScenePixelFormatFilled)
        return;
    ZeroMemory(&ScenePixelFormat, sizeof ScenePixelFormat);
    ScenePixelFormat.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    ScenePixelFormat.nVersion = 1;
    ScenePixelFormat.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    ScenePixelFormat.iPixelType = PFD_TYPE_RGBA;
    ScenePixelFormat.cColorBits = (BYTE)bits;
    ScenePixelFormat.cDepthBits = 16;
    ScenePixelFormat.iLayerType = PFD_MAIN_PLANE;
    ScenePixelFormatFilled = true;
}

static bool RegisterSceneClass(HINSTANCE instance)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = SceneWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(NULL, (LPCSTR)IDI_WINLOGO);
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.lpszClassName = "OpenGL";
    return RegisterClassA(&wc) != 0;
}

// The display-mode record as it was before the panning fields were added to it:
// the size field tells the system which fields follow.
static const WORD DisplayModeRecordSize = 148;
static_assert(DisplayModeRecordSize == offsetof(DEVMODEA, dmPanningWidth), "record ends before the panning fields");

// True when the display now runs the requested mode, or the user accepted windowed
// mode instead (FullScreen is then cleared).
static bool EnterFullScreenOrAskForWindow(int width, int height, int bits)
{
    DEVMODEA mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = DisplayModeRecordSize;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bits;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL)
        return true;
    if (MessageBoxA(NULL,
                    "The Requested Fullscreen Mode Is Not Supported By\n"
                    "Your Video Card. Use Windowed Mode Instead?",
                    "Vantt GL", MB_YESNO | MB_ICONWARNING) == IDYES) {
        FullScreen = 0;
        return true;
    }
    MessageBoxA(NULL, "Program Will Now Close.", "ERROR", MB_OK | MB_ICONERROR);
    return false;
}

// Tears down, then reports: the desktop's own mode is back when the box shows.
static bool FailOpening(const char *text)
{
    CloseSceneWindow();
    ShowOpenError(text);
    return false;
}

static bool CreateContextWindow(const char *title, int width, int height, HINSTANCE instance)
{
    DWORD exStyle, style;
    if (FullScreen) {
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        ShowCursor(FALSE);
    } else {
        // The size is the outer size: the client area ends up smaller than asked.
        exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    }
    SceneWindow = CreateWindowExA(exStyle, "OpenGL", title, style, 0, 0, width, height,
                                  NULL, NULL, instance, NULL);
    if (!SceneWindow)
        return FailOpening("Window Creation Error.");
    SceneDC = GetDC(SceneWindow);
    if (!SceneDC)
        return FailOpening("Can't Create A GL Device Context.");
    int format = ChoosePixelFormat(SceneDC, &ScenePixelFormat);
    if (format == 0)
        return FailOpening("Can't Find A Suitable PixelFormat.");
    if (!SetPixelFormat(SceneDC, format, &ScenePixelFormat))
        return FailOpening("Can't Set The PixelFormat.");
    SceneRC = wglCreateContext(SceneDC);
    if (!SceneRC)
        return FailOpening("Can't Create A GL Rendering Context.");
    if (!wglMakeCurrent(SceneDC, SceneRC))
        return FailOpening("Can't Activate The GL Rendering Context.");
    return true;
}

bool OpenSceneWindow(const char *title, int width, int height, int bits, bool fullScreenRequest)
{
    FullScreen = fullScreenRequest ? 1 : 0;
    HINSTANCE instance = GetModuleHandleA(NULL);
    FillPixelFormat(bits);

    if (!RegisterSceneClass(instance)) {
        ShowOpenError("Failed To Register The Window Class.");
        return false;
    }
    if (FullScreen && !EnterFullScreenOrAskForWindow(width, height, bits))
        return false;
    if (!CreateContextWindow(title, width, height, instance))
        return false;

    ShowWindow(SceneWindow, SW_SHOW);
    SetForegroundWindow(SceneWindow);
    SetFocus(SceneWindow);
    ResizeScene(width, height);

    if (!LoadSceneTextures())
        return FailOpening("Could not find necessary texture.");
    // InitScene loads the textures again; the first set stays allocated, unused.
    if (!InitScene())
        return FailOpening("Initialization Failed.");
    return true;
}

// Every handle is dropped once it has been dealt with, whether its release worked or
// not, so that a second teardown finds nothing left to release.
void CloseSceneWindow()
{
    if (SceneRC) {
        if (!wglMakeCurrent(NULL, NULL))
            ShowTeardownError("Release Of DC And RC Failed.");
        if (!wglDeleteContext(SceneRC))
            ShowTeardownError("Release Rendering Context Failed.");
        SceneRC = NULL;
    }
    if (SceneDC) {
        if (!ReleaseDC(SceneWindow, SceneDC))
            ShowTeardownError("Release Device Context Failed.");
        SceneDC = NULL;
    }
    if (SceneWindow) {
        if (!DestroyWindow(SceneWindow))
            ShowTeardownError("Could Not Release hWnd.");
        SceneWindow = NULL;
    }
    // Last, with the window gone: back to the desktop's mode from the registry.
    if (FullScreen) {
        ChangeDisplaySettingsA(NULL, 0);
        ShowCursor(TRUE);
    }
}
