// The corner buttons of the monitor picture: a raised grey button, plain, with a
// check mark, or with a red dot.
#include "art.h"

namespace {

const int Width = 24, Height = 22;
const int Samples = 4;

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by)
{
    const float dx = bx - ax, dy = by - ay;
    const float t = Clamp01(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy));
    const float ex = px - (ax + t * dx), ey = py - (ay + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

// The glyph at a point: its colour and how much of it covers the face.
Sample Glyph(CornerButton kind, float x, float y)
{
    if (kind == CornerButton::CheckMark) {
        const float d = std::fmin(SegmentDistance(x, y, 6.5f, 11.0f, 10.0f, 14.8f),
                                  SegmentDistance(x, y, 10.0f, 14.8f, 17.5f, 6.0f));
        return {Rgb8(0, 0, 0), d < 1.35f ? 1.0f : 0.0f};
    }
    if (kind == CornerButton::RedDot) {
        const float dx = x - 11.5f, dy = y - 10.5f, r = std::sqrt(dx * dx + dy * dy);
        const float hx = x - 10.0f, hy = y - 9.0f;
        const float shine = std::exp(-(hx * hx + hy * hy) / 3.0f);
        Color c = Mix(Rgb8(200, 16, 16), Rgb8(255, 150, 150), shine * 0.8f);
        c = Mix(c, Rgb8(128, 0, 0), SmoothStep(4.2f, 5.0f, r));
        return {c, r < 5.2f ? 1.0f : 0.0f};
    }
    return {};
}

Color Frame(int x, int y)
{
    if (x == Width - 1 || y == Height - 1) return Rgb8(0, 0, 0);
    if (x == 0 || y == 0) return Rgb8(255, 255, 255);
    if (x == Width - 2 || y == Height - 2) return Rgb8(128, 128, 128);
    return Rgb8(192, 192, 192);
}

} // namespace

Picture DrawCornerButton(CornerButton kind)
{
    Picture pic(Width, Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            Color sum;
            float cover = 0;
            for (int sy = 0; sy < Samples; ++sy)
                for (int sx = 0; sx < Samples; ++sx) {
                    const Sample s = Glyph(kind, x + (sx + 0.5f) / Samples, y + (sy + 0.5f) / Samples);
                    sum = Add(sum, Scale(s.color, s.alpha));
                    cover += s.alpha;
                }
            const float k = cover / (Samples * Samples);
            pic.at(x, y) = Add(Scale(Frame(x, y), 1 - k), Scale(sum, 1.0f / (Samples * Samples)));
        }
    return pic;
}
