#include "scene/gl_test_window.h"

#include <GL/glu.h>
#include <cstdio>

namespace {

const char testWindowClass[] = "NimbraSceneTestWindow";

bool RegisterTestClass()
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = testWindowClass;
    return RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool SetRequestedPixelFormat(HDC dc)
{
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 16;
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;
    int format = ChoosePixelFormat(dc, &pfd);
    return format != 0 && SetPixelFormat(dc, format, &pfd);
}

void SetProjection(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(width) / double(height), double(0.1f), 50000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

} // namespace

bool GlTestWindow::Open(int w, int h)
{
    width = w;
    height = h;
    if (!RegisterTestClass())
        return false;
    // Shown without being activated and without WS_EX_APPWINDOW, so that Wine leaves
    // it to no window manager: on a bare X server, closing a managed window waits two
    // seconds for one. Drawing and reading back do not need the focus.
    window = CreateWindowExA(0, testWindowClass, "Nimbra scene test",
                             WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                             0, 0, w, h, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window)
        return false;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    dc = GetDC(window);
    if (!dc || !SetRequestedPixelFormat(dc))
        return false;
    rc = wglCreateContext(dc);
    if (!rc || !wglMakeCurrent(dc, rc))
        return false;
    SetProjection(w, h);
    return true;
}

void GlTestWindow::Close()
{
    if (rc) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(rc);
        rc = nullptr;
    }
    if (dc) {
        ReleaseDC(window, dc);
        dc = nullptr;
    }
    if (window) {
        DestroyWindow(window);
        window = nullptr;
    }
}

Picture ReadBackBuffer(int width, int height)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.resize(size_t(width) * height * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());
    return picture;
}

bool SaveScreenshot(const Picture &picture, const std::string &name)
{
    CreateDirectoryA("screenshots", nullptr);
    return WriteBmp(picture, "screenshots/" + name);
}

bool WriteBmp(const Picture &picture, const std::string &path)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const int rowBytes = (picture.width * 3 + 3) & ~3;
    BITMAPFILEHEADER fileHeader = {};
    BITMAPINFOHEADER info = {};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(info);
    fileHeader.bfSize = fileHeader.bfOffBits + rowBytes * picture.height;
    info.biSize = sizeof(info);
    info.biWidth = picture.width;
    info.biHeight = picture.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::fwrite(&fileHeader, sizeof(fileHeader), 1, file);
    std::fwrite(&info, sizeof(info), 1, file);
    std::vector<unsigned char> row(rowBytes, 0);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned char *p = picture.At(x, y);
            row[x * 3] = p[2];
            row[x * 3 + 1] = p[1];
            row[x * 3 + 2] = p[0];
        }
        std::fwrite(row.data(), 1, rowBytes, file);
    }
    return std::fclose(file) == 0;
}

void PaintTexture(GLuint texture, unsigned char r, unsigned char g, unsigned char b)
{
    const unsigned char pixel[3] = {r, g, b};
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}
