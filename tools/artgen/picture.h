// A picture being drawn: floating-point colours from 0 to 1 with coverage, top row first.
#pragma once
#include <cmath>
#include <vector>

struct Color {
    float r = 0, g = 0, b = 0;
};

inline Color Mix(Color a, Color b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Color Scale(Color c, float k) { return {c.r * k, c.g * k, c.b * k}; }
inline Color Add(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
inline float SmoothStep(float edge0, float edge1, float x)
{
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}
inline Color Rgb8(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

const float Pi = 3.14159265358979f;

struct Picture {
    int width = 0, height = 0;
    std::vector<Color> color;
    std::vector<float> alpha;   // coverage, used by icons
    Picture(int w, int h) : width(w), height(h), color(size_t(w) * h), alpha(size_t(w) * h, 1.0f) {}
    Color &at(int x, int y) { return color[size_t(y) * width + x]; }
    const Color &at(int x, int y) const { return color[size_t(y) * width + x]; }
    float &coverage(int x, int y) { return alpha[size_t(y) * width + x]; }
    float coverage(int x, int y) const { return alpha[size_t(y) * width + x]; }
};

// A colour with coverage at a point of a shape, for pictures drawn by sampling.
struct Sample {
    Color color;
    float alpha = 0;
};

// Fills a picture by averaging n x n samples of shade(x, y) per pixel, with x and y
// in pixel units (0 at the top-left corner of the picture).
template <typename Shade>
void RenderSupersampled(Picture &pic, int n, Shade shade)
{
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x) {
            Color sum;
            float cover = 0;
            for (int sy = 0; sy < n; ++sy)
                for (int sx = 0; sx < n; ++sx) {
                    const Sample s = shade(x + (sx + 0.5f) / n, y + (sy + 0.5f) / n);
                    sum = Add(sum, Scale(s.color, s.alpha));
                    cover += s.alpha;
                }
            pic.coverage(x, y) = cover / float(n * n);
            pic.at(x, y) = cover > 0 ? Scale(sum, 1.0f / cover) : Color{};
        }
}
