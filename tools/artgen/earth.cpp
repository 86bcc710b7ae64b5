// The earth: fractal continents on a sphere, coloured by height, moisture and
// latitude, with ice caps and a little relief shading.
#include "art.h"
#include "noise.h"
#include <algorithm>

namespace {

const int Width = 512, Height = 256;

float Elevation(const float p[3])
{
    // A warped fractal gives ragged coasts and island chains.
    const float warp = Fractal3(p[0] * 1.5f + 7, p[1] * 1.5f, p[2] * 1.5f, 3, 41) - 0.5f;
    return Fractal3(p[0] * 1.7f + warp, p[1] * 1.7f - warp, p[2] * 1.7f + warp, 8, 11);
}

Color OceanColor(float depth)
{
    const Color shallow = Rgb8(40, 110, 165), deep = Rgb8(10, 34, 96);
    return Mix(shallow, deep, SmoothStep(0.0f, 0.035f, depth));
}

Color LandColor(const float p[3], float height, float latitude)
{
    const float moisture = Fractal3(p[0] * 2.6f + 3, p[1] * 2.6f, p[2] * 2.6f, 5, 23);
    const float tropics = 1.0f - SmoothStep(8.0f, 22.0f, std::fabs(std::fabs(latitude) - 22.0f));
    const float dryness = Clamp01((0.47f - moisture) * 5.0f + tropics * 0.5f - 0.25f);
    const Color forest = Rgb8(34, 82, 36), grass = Rgb8(92, 128, 58), desert = Rgb8(204, 172, 112);
    const Color tundra = Rgb8(118, 116, 92), rock = Rgb8(122, 102, 82), snow = Rgb8(236, 238, 242);
    Color c = Mix(forest, grass, Clamp01((0.62f - moisture) * 5.0f));
    c = Mix(c, desert, dryness);
    c = Mix(c, tundra, SmoothStep(48.0f, 62.0f, std::fabs(latitude)));
    c = Mix(c, rock, SmoothStep(0.45f, 0.75f, height));
    return Mix(c, snow, SmoothStep(0.82f, 0.95f, height));
}

} // namespace

void SpherePoint(float x, float y, int w, int h, float p[3])
{
    const float longitude = (x + 0.5f) / float(w) * 2 * Pi;
    const float latitude = (0.5f - (y + 0.5f) / float(h)) * Pi;
    p[0] = std::cos(latitude) * std::cos(longitude);
    p[1] = std::cos(latitude) * std::sin(longitude);
    p[2] = std::sin(latitude);
}

Picture DrawEarth()
{
    std::vector<float> elevation(size_t(Width) * Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            float p[3];
            SpherePoint(float(x), float(y), Width, Height, p);
            elevation[size_t(y) * Width + x] = Elevation(p);
        }
    // Sea level where about 30% of the map is land.
    std::vector<float> sorted = elevation;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() * 7 / 10, sorted.end());
    const float sea = sorted[sorted.size() * 7 / 10];
    const float top = *std::max_element(elevation.begin(), elevation.end());

    Picture pic(Width, Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            float p[3];
            SpherePoint(float(x), float(y), Width, Height, p);
            const float latitude = (0.5f - (y + 0.5f) / float(Height)) * 180.0f;
            const float e = elevation[size_t(y) * Width + x];
            Color c;
            if (e < sea) {
                c = OceanColor(sea - e);
            } else {
                const float height = (e - sea) / (top - sea);
                c = LandColor(p, height, latitude);
                const float east = elevation[size_t(y) * Width + (x + 1) % Width];
                const float north = elevation[size_t(y > 0 ? y - 1 : y) * Width + x];
                c = Scale(c, Clamp01(1.0f + (north - e) * 9.0f + (e - east) * 6.0f) * 0.25f + 0.8f);
            }
            const float iceEdge = 73.0f + (Fractal3(p[0] * 4, p[1] * 4, p[2] * 4, 4, 77) - 0.5f) * 12.0f;
            c = Mix(c, Rgb8(234, 240, 248), SmoothStep(iceEdge - 1.5f, iceEdge + 1.5f, std::fabs(latitude)));
            pic.at(x, y) = c;
        }
    return pic;
}
