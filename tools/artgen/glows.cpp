// The soft sprites: the nebula glow, the tail puff, and the nimbra's icy surface.
#include "art.h"
#include "noise.h"

namespace {

// Distance from the picture's centre, 1 at the middle of each edge.
float Radius(int x, int y, int size)
{
    const float half = size / 2.0f;
    const float dx = (x + 0.5f - half) / half, dy = (y + 0.5f - half) / half;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

Picture DrawNebulaGlow()
{
    const int size = 128;
    Picture pic(size, size);
    const Color outer = Rgb8(120, 60, 200), inner = Rgb8(255, 170, 230);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float r = Radius(x, y, size);
            const float fall = r < 1 ? (1 - r) * (1 - r) : 0;
            const float wisps = 0.7f + 0.6f * Fractal3(x / 22.0f, y / 22.0f, 0.5f, 4, 31);
            const float glow = Clamp01(fall * wisps * 1.4f);
            pic.at(x, y) = Scale(Mix(outer, inner, glow * glow), glow);
        }
    return pic;
}

Picture DrawTailPuff()
{
    const int size = 64;
    Picture pic(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float r = Radius(x, y, size);
            const float v = r < 1 ? (1 - r * r) * (1 - r * r) : 0;
            pic.at(x, y) = {v, v, v};
        }
    return pic;
}

Picture DrawNimbraBody()
{
    const int width = 128, height = 64;
    Picture pic(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float p[3];
            SpherePoint(float(x), float(y), width, height, p);
            const float frost = Fractal3(p[0] * 3, p[1] * 3, p[2] * 3, 6, 57);
            const float veins = std::fabs(Fractal3(p[0] * 2.5f + 2, p[1] * 2.5f, p[2] * 2.5f, 3, 61) - 0.5f);
            Color c = Mix(Rgb8(184, 212, 240), Rgb8(252, 253, 255), SmoothStep(0.3f, 0.7f, frost));
            c = Mix(Rgb8(140, 184, 228), c, 0.45f + 0.55f * SmoothStep(0.0f, 0.05f, veins));
            pic.at(x, y) = c;
        }
    return pic;
}
