// The icons: the saver's earth with a comet, and the framework's small monitor;
// and the setup program's page picture, the saver's icon drawn large.
// Shapes are described in units of the icon's size and sampled.
#include "art.h"
#include "noise.h"

namespace {

const int Samples = 5;

Sample Earth(float u, float v)
{
    const float cx = 0.60f, cy = 0.61f, radius = 0.36f;
    const float dx = (u - cx) / radius, dy = (v - cy) / radius, r2 = dx * dx + dy * dy;
    if (r2 > 1) return {};
    const float nz = std::sqrt(1 - r2);
    const float light = Clamp01(-dx * 0.55f - dy * 0.55f + nz * 0.63f);
    const float land = Fractal3(dx * 2.2f + 4, dy * 2.2f, nz * 2.2f, 4, 11);
    Color c = land > 0.55f ? Rgb8(60, 140, 60) : Rgb8(30, 90, 190);
    if (std::fabs(dy) > 0.82f) c = Rgb8(235, 240, 250);
    c = Scale(c, 0.25f + 0.9f * light);
    c = Mix(c, Rgb8(150, 200, 255), SmoothStep(0.75f, 1.0f, r2) * 0.6f);
    return {c, 1};
}

Sample Comet(float u, float v)
{
    const float hx = 0.27f, hy = 0.27f;
    const float ax = -0.78f, ay = -0.62f;   // the tail streams away up and to the left
    const float qx = u - hx, qy = v - hy;
    const float along = qx * ax + qy * ay, across = std::fabs(qx * ay - qy * ax);
    float tail = 0;
    if (along > 0) {
        const float width = 0.03f + along * 0.3f;
        tail = Clamp01(1 - along / 0.5f) * Clamp01(1 - across / width);
    }
    const float head = std::exp(-(qx * qx + qy * qy) / 0.004f);
    const float a = Clamp01(tail + head);
    return {Mix(Rgb8(140, 220, 255), Rgb8(255, 255, 255), Clamp01(head * 1.5f)), a};
}

Sample SaverIcon(float u, float v)
{
    const Sample earth = Earth(u, v);
    return earth.alpha > 0 ? earth : Comet(u, v);
}

bool Inside(float u, float v, float x0, float y0, float x1, float y1)
{
    return u >= x0 && u <= x1 && v >= y0 && v <= y1;
}

Sample FrameworkIcon(float u, float v)
{
    const Color outline = Rgb8(48, 48, 48), body = Rgb8(196, 196, 196);
    const float line = 0.05f;
    if (Inside(u, v, 0.18f, 0.20f, 0.82f, 0.58f)) {
        const float glow = 1 - (v - 0.20f) / 0.38f;
        return {Mix(Rgb8(0, 110, 110), Rgb8(80, 190, 190), glow * glow), 1};
    }
    if (Inside(u, v, 0.06f, 0.08f, 0.94f, 0.70f)) {
        const bool edge = !Inside(u, v, 0.06f + line, 0.08f + line, 0.94f - line, 0.70f - line);
        const bool shade = u > 0.94f - 2 * line || v > 0.70f - 2 * line;
        return {edge ? outline : shade ? Rgb8(150, 150, 150) : body, 1};
    }
    if (Inside(u, v, 0.42f, 0.70f, 0.58f, 0.80f)) return {Inside(u, v, 0.42f + line, 0.70f, 0.58f - line, 0.80f) ? body : outline, 1};
    if (Inside(u, v, 0.22f, 0.80f, 0.78f, 0.92f)) {
        const bool edge = !Inside(u, v, 0.22f + line, 0.80f + line, 0.78f - line, 0.92f - line);
        return {edge ? outline : body, 1};
    }
    return {};
}

} // namespace

Picture DrawSaverIcon(int size)
{
    Picture pic(size, size);
    RenderSupersampled(pic, Samples, [size](float x, float y) { return SaverIcon(x / size, y / size); });
    return pic;
}

Picture DrawFrameworkIcon(int size)
{
    Picture pic(size, size);
    RenderSupersampled(pic, Samples, [size](float x, float y) { return FrameworkIcon(x / size, y / size); });
    return pic;
}

Picture DrawSetupPicture()
{
    const int width = 164, height = 314, iconTop = 70, iconSize = 160;
    Picture pic(width, height);
    RenderSupersampled(pic, 3, [](float x, float y) {
        const Sample icon = SaverIcon((x - 2) / iconSize, (y - iconTop) / iconSize);
        const float star = Hash01(int(x), int(y), 0, 29) > 0.994f ? 0.8f : 0.0f;
        const Color sky = Add(Mix(Rgb8(3, 5, 22), Rgb8(12, 24, 64), y / height), Color{star, star, star});
        return Sample{Mix(sky, icon.color, icon.alpha), 1};
    });
    return pic;
}
