// A small GL window for the scene's tests and benchmark: the same pixel format
// request and projection as the animation's own window.
#pragma once
#include <windows.h>
#include <GL/gl.h>

#include <string>
#include <vector>

class GlTestWindow {
public:
    bool Open(int width, int height);
    void Close();
    ~GlTestWindow() { Close(); }

    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC rc = nullptr;
    int width = 0, height = 0;
};

// Pixels of the back buffer, RGB, bottom row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    const unsigned char *At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
    int Brightness(int x, int y) const { const unsigned char *p = At(x, y); return p[0] + p[1] + p[2]; }
};

Picture ReadBackBuffer(int width, int height);

// Writes a 24-bit bottom-up BMP file.
bool WriteBmp(const Picture &picture, const std::string &path);

// Writes a BMP under screenshots/ (beside the test programs) for a reviewer.
bool SaveScreenshot(const Picture &picture, const std::string &name);

// Replaces a texture's image by one pixel of the given colour, so that a test can
// tell the scene's parts apart by colour.
void PaintTexture(GLuint texture, unsigned char r, unsigned char g, unsigned char b);
