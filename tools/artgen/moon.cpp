// The moon: grey highlands, darker maria and craters with bright rims.
#include "art.h"
#include "noise.h"

namespace {

const int Width = 256, Height = 128;
const int CraterCount = 110;

struct Crater {
    float centre[3];
    float radius;   // angular, in radians
    float depth;
};

std::vector<Crater> PlaceCraters()
{
    std::vector<Crater> craters;
    for (int i = 0; i < CraterCount; ++i) {
        const float z = Hash01(i, 1, 0, 5) * 2 - 1;
        const float phi = Hash01(i, 2, 0, 5) * 2 * Pi;
        const float s = std::sqrt(1 - z * z);
        const float size = Hash01(i, 3, 0, 5);
        Crater c;
        c.centre[0] = s * std::cos(phi);
        c.centre[1] = s * std::sin(phi);
        c.centre[2] = z;
        c.radius = 0.025f + 0.17f * size * size * size;
        c.depth = 0.5f + 0.5f * Hash01(i, 4, 0, 5);
        craters.push_back(c);
    }
    return craters;
}

// Brightness change from one crater at angular distance d from its centre; east
// is how far east of the centre the point lies, in crater radii. Sunlight comes
// from the west, so the eastern inner wall is lit and the western one shaded.
float CraterShade(const Crater &c, float d, float east)
{
    const float t = d / c.radius;
    if (t > 1.4f) return 0;
    const float bowl = t < 1 ? -0.07f * (1 - t * t) + 0.16f * east * t * t : 0;
    const float rim = 0.06f * std::exp(-((t - 1) / 0.12f) * ((t - 1) / 0.12f)) * (1 - 0.8f * east);
    const float ejecta = t > 1 ? 0.03f * (1.4f - t) / 0.4f : 0;
    return (bowl + rim + ejecta) * c.depth;
}

} // namespace

Picture DrawMoon()
{
    const std::vector<Crater> craters = PlaceCraters();
    Picture pic(Width, Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            float p[3];
            SpherePoint(float(x), float(y), Width, Height, p);
            const float maria = SmoothStep(0.52f, 0.62f, Fractal3(p[0] * 1.3f, p[1] * 1.3f, p[2] * 1.3f, 4, 9));
            float v = 0.62f - 0.22f * maria;
            v += (Fractal3(p[0] * 9, p[1] * 9, p[2] * 9, 4, 13) - 0.5f) * 0.16f;
            const float longitude = (x + 0.5f) / float(Width) * 2 * Pi;
            const float eastward[3] = {-std::sin(longitude), std::cos(longitude), 0};
            for (const Crater &c : craters) {
                const float dot = p[0] * c.centre[0] + p[1] * c.centre[1] + p[2] * c.centre[2];
                if (dot < 0.95f) continue;
                const float east = ((p[0] - c.centre[0]) * eastward[0] + (p[1] - c.centre[1]) * eastward[1]) / c.radius;
                v += CraterShade(c, std::acos(dot > 1 ? 1 : dot), east < -1 ? -1 : east > 1 ? 1 : east);
            }
            pic.at(x, y) = Mix(Rgb8(0, 0, 0), Rgb8(236, 232, 226), Clamp01(v));
        }
    return pic;
}
