// Frame drawing: the fixed steps of every motion, the nimbra's mirroring and the
// tail's respawn.
#include "scene/scene.h"
#include "scene/fresh_scene_state.h"
#include "scene/gl_test_window.h"
#include "scene/msvcrt_rand.h"
#include "scene/scene_detail.h"
#include "scene/texture_files.h"

#include <GL/glext.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

namespace {

const int testWidth = 320, testHeight = 240;

class FrameDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        RestoreFreshSceneState();
        RestoreTextureFiles();
        ASSERT_TRUE(gl.Open(testWidth, testHeight));
        ASSERT_TRUE(InitScene());
    }

    static void DrawFrames(int count)
    {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(DrawFrame());
    }

    GlTestWindow gl;
};

TEST_F(FrameDrawing, FirstFrameStepsTheCameraAndTheDriftOnce)
{
    ASSERT_TRUE(DrawFrame());
    EXPECT_FLOAT_EQ(EyeXRate, 8000.0f);
    EXPECT_FLOAT_EQ(EyeX, 0.16f);
    EXPECT_FLOAT_EQ(EyeZRate, 150.0f);
    EXPECT_FLOAT_EQ(EyeZ, -149.997f);
    EXPECT_FLOAT_EQ(NimbraXRate, 75.0f);
    EXPECT_FLOAT_EQ(NimbraX, 0.015f);
    EXPECT_FLOAT_EQ(NimbraYRate, 1.5f);
    EXPECT_FLOAT_EQ(NimbraY, -1.4997f);
    EXPECT_EQ(SceneRoll, 0.25f);
    EXPECT_EQ(EarthSpin, 0.5f);
    EXPECT_FLOAT_EQ(MoonOrbit, 0.3f);
    EXPECT_FLOAT_EQ(NimbraSpin, -2.3f);
}

// One camera period is 1405 frames, one drift period 444.
TEST_F(FrameDrawing, AnglesGrowUnwrappedWhileCameraAndDriftSwingInTheirRanges)
{
    const int frames = 1405;
    // The case follows the motion, not the picture: the frames are drawn but not
    // rasterised, which would take most of its time.
    glEnable(GL_RASTERIZER_DISCARD);
    float eyeXMax = 0, eyeZMax = -1000, eyeZMin = 1000, driftXMax = 0, driftYMax = 0;
    for (int i = 0; i < frames; ++i) {
        ASSERT_TRUE(DrawFrame());
        eyeXMax = std::max(eyeXMax, std::fabs(EyeX));
        eyeZMax = std::max(eyeZMax, EyeZ);
        eyeZMin = std::min(eyeZMin, EyeZ);
        driftXMax = std::max(driftXMax, std::fabs(NimbraX));
        driftYMax = std::max(driftYMax, std::fabs(NimbraY));
    }
    glDisable(GL_RASTERIZER_DISCARD);
    EXPECT_EQ(SceneRoll, 0.25f * frames);
    EXPECT_EQ(EarthSpin, 0.5f * frames);
    EXPECT_NEAR(MoonOrbit, 0.3 * frames, 0.05);
    EXPECT_NEAR(NimbraSpin, -2.3 * frames, 0.5);

    EXPECT_NEAR(eyeXMax, 35.8, 0.1);
    EXPECT_NEAR(eyeZMax, 150.0, 0.1);
    EXPECT_NEAR(eyeZMin, -150.0, 0.1);
    EXPECT_NEAR(driftXMax, 1.06, 0.01);
    EXPECT_NEAR(driftYMax, 1.5, 0.001);
    // Back where it started after one period, neither growing nor decaying.
    EXPECT_NEAR(EyeZ, -150.0, 0.5);
    EXPECT_NEAR(EyeX, 0.0, 0.5);
}

// What a drawing call sends to the GL, as window positions: no rasterising.
std::vector<GLfloat> FeedbackOf(void (*draw)())
{
    std::vector<GLfloat> feedback(1 << 20);
    glFeedbackBuffer(GLsizei(feedback.size()), GL_2D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    feedback.resize(size_t(glRenderMode(GL_RENDER)));
    return feedback;
}

struct Motion {
    float values[12];
    TailParticle particles[TailParticleCount];
};

Motion CurrentMotion()
{
    Motion motion = {{SceneRoll, EarthSpin, MoonOrbit, NimbraSpin, EyeX, EyeXRate, EyeZ, EyeZRate, NimbraX,
                      NimbraXRate, NimbraY, NimbraYRate}, {}};
    std::copy(std::begin(TailParticles), std::end(TailParticles), motion.particles);
    return motion;
}

// The steps of n frames in one call, of which only the last is drawn, exactly as
// the n-th DrawFrame draws it; no step at all draws nothing.
TEST_F(FrameDrawing, AdvanceSceneTakesTheStepsOfThatManyFramesAndDrawsOnlyTheLast)
{
    DrawFrames(6);
    const std::vector<GLfloat> seventh = FeedbackOf([] { DrawFrame(); });
    const Motion drawn = CurrentMotion();
    ASSERT_FALSE(seventh.empty());

    RestoreFreshSceneState();
    ASSERT_TRUE(InitScene());
    EXPECT_TRUE(FeedbackOf([] { AdvanceScene(7); }) == seventh);
    const Motion advanced = CurrentMotion();
    EXPECT_EQ(std::memcmp(&advanced, &drawn, sizeof drawn), 0);
    EXPECT_TRUE(FeedbackOf([] { AdvanceScene(0); }).empty());
    const Motion unchanged = CurrentMotion();
    EXPECT_EQ(std::memcmp(&unchanged, &drawn, sizeof drawn), 0);
}

// Replays the set-up's draws of the unseeded runtime generator.
RuntimeRand GeneratorAfterSetUp()
{
    RuntimeRand rng;
    for (int i = 0; i < TailParticleCount * 7; ++i)
        rng.Next();
    for (int i = 0; i < BackdropSpriteCount; ++i) {
        for (;;) {
            const double x = rng.Next() % 10000 - 5000;
            const double y = rng.Next() % 10000 - 5000;
            const double z = rng.Next() % 10000 - 5000;
            if (std::hypot(z, std::hypot(x, y)) >= 500.0)
                break;
        }
    }
    return rng;
}

TEST_F(FrameDrawing, SpentParticlesAreRebornAtTheDriftPositionKeepingTheirColour)
{
    RuntimeRand rng = GeneratorAfterSetUp();
    int reborn = 0, rebornTwice = 0;
    int generation[TailParticleCount] = {};
    for (int frame = 0; frame < 160 && !HasFailure(); ++frame) {
        TailParticle before[TailParticleCount];
        std::copy(std::begin(TailParticles), std::end(TailParticles), before);
        ASSERT_TRUE(DrawFrame());
        float lastSpeed = -1;
        for (int i = 0; i < TailParticleCount; ++i) {
            const TailParticle &b = before[i], &p = TailParticles[i];
            if (float(b.life - b.fade) >= 0.01f) {
                EXPECT_LT(p.life, b.life);
                continue;
            }
            SCOPED_TRACE(::testing::Message() << "frame " << frame << ", particle " << i);
            ++reborn;
            rebornTwice += ++generation[i] == 2;
            EXPECT_EQ(p.life, 1.0f);
            EXPECT_EQ(p.x, NimbraX);
            EXPECT_EQ(p.y, NimbraY);
            EXPECT_EQ(p.z, 0.0f);
            EXPECT_EQ(p.r, b.r);
            EXPECT_EQ(p.g, b.g);
            EXPECT_EQ(p.b, b.b);
            // The draws come in the order fade, speed, angle A, angle B.
            const float fade = float((rng.Next() % 100 + 100) * double(0.0002f));
            const float speed = float((rng.Next() % 250) * double(0.028571429f));
            const double angleA = rng.Next() % 360, angleB = rng.Next() % 360;
            EXPECT_FLOAT_EQ(p.fade, fade);
            EXPECT_GE(p.fade, 0.0199f);
            EXPECT_LE(p.fade, 0.03981f);
            EXPECT_FLOAT_EQ(p.xi, float(std::sin(angleA) * speed));
            EXPECT_FLOAT_EQ(p.yi, float(std::cos(angleA) * speed));
            EXPECT_FLOAT_EQ(p.zi, float(std::sin(angleB) * speed));
            EXPECT_LE(std::hypot(p.xi, p.yi), 7.115) << "speed at most 249/35";
            lastSpeed = speed;
        }
        if (lastSpeed >= 0) {
            EXPECT_FLOAT_EQ(SpawnSpeed, lastSpeed) << "the spawn values hold the last draw";
        }
    }
    EXPECT_EQ(reborn - rebornTwice >= TailParticleCount, true) << "every first-generation particle is spent by frame 101";
    EXPECT_GT(rebornTwice, 0);
}

// One living particle over one frame, replayed from the formulas. Every other
// particle sits behind the eye, so the GL's feedback holds this one square only.
TEST_F(FrameDrawing, LivingParticleIsDrawnOnItsRingAndMovedByOneStep)
{
    const int index = 41;   // drawn at ring angle 42 radians
    TailParticle saved[TailParticleCount];
    std::copy(std::begin(TailParticles), std::end(TailParticles), saved);
    for (TailParticle &p : TailParticles)
        p = {1.0f, 0.0f, 1, 1, 1, 0, 0, -100.0f, 0, 0, 0};
    const TailParticle start = {0.9f, 0.03f, 1, 1, 1, 0.8f, -0.6f, 2.5f, 3.0f, -2.0f, 4.0f};
    TailParticles[index] = start;

    std::vector<GLfloat> feedback(1024);
    glFeedbackBuffer(GLsizei(feedback.size()), GL_3D_COLOR_TEXTURE, feedback.data());
    glRenderMode(GL_FEEDBACK);
    DrawTail(true);
    const GLint used = glRenderMode(GL_RENDER);
    const TailParticle p = TailParticles[index];
    std::copy(std::begin(saved), std::end(saved), TailParticles);

    // Corners by texture coordinate: window x, y and the colour.
    std::map<std::pair<float, float>, std::vector<GLfloat>> corners;
    int vertices = 0;
    for (GLint i = 0; i + 1 < used; i += 2 + GLint(feedback[i + 1]) * 11) {
        ASSERT_EQ(feedback[i], GLfloat(GL_POLYGON_TOKEN));
        for (int v = 0; v < int(feedback[i + 1]); ++v, ++vertices) {
            const GLfloat *f = &feedback[i + 2 + v * 11];
            corners[{f[7], f[8]}] = {f[0], f[1], f[3], f[4], f[5], f[6]};
        }
    }
    ASSERT_EQ(vertices, 6) << "one strip of two triangles";
    ASSERT_EQ(corners.size(), 4u);
    const float cx = float(start.x + 0.5 * std::sin(42.0)), cy = float(start.y + 0.5 * std::cos(42.0));
    const double depth = start.z + 5.0, scale = testHeight / 2.0 / std::tan(22.5 * 3.14159265358979 / 180.0);
    for (const auto &corner : corners) {
        const double x = cx + (corner.first.first > 0.5f ? 0.2 : -0.2);
        const double y = cy + (corner.first.second > 0.5f ? 0.2 : -0.2);
        const std::vector<GLfloat> &seen = corner.second;
        SCOPED_TRACE(::testing::Message() << "corner " << corner.first.first << "," << corner.first.second);
        EXPECT_NEAR(seen[0], testWidth / 2.0 - scale * x / depth, 0.01);   // screen right is -x
        EXPECT_NEAR(seen[1], testHeight / 2.0 + scale * y / depth, 0.01);
        EXPECT_FLOAT_EQ(seen[2], 0.7f);
        EXPECT_FLOAT_EQ(seen[3], 0.7f);
        EXPECT_FLOAT_EQ(seen[4], 0.7f);
        EXPECT_FLOAT_EQ(seen[5], 0.9f / 3);
    }

    const double pull = 0.00028571428f, step = 0.005f;
    const float xi = float(start.xi - start.x * pull), yi = float(start.yi - start.y * pull);
    const float zi = float(start.zi - start.z * pull - 10.0);
    EXPECT_FLOAT_EQ(p.xi, xi);
    EXPECT_FLOAT_EQ(p.yi, yi);
    EXPECT_FLOAT_EQ(p.zi, zi);
    EXPECT_FLOAT_EQ(p.x, float(start.x + xi * step));
    EXPECT_FLOAT_EQ(p.y, float(start.y + yi * step));
    EXPECT_FLOAT_EQ(p.z, float(start.z + zi * step));
    EXPECT_FLOAT_EQ(p.life, 0.87f);
    EXPECT_EQ(p.fade, start.fade);
}

struct ScreenSpot {
    double x = 0, y = 0;
    long pixels = 0;
};

// The centre of the pixels where one colour channel dominates.
ScreenSpot CentreOf(const Picture &picture, int channel)
{
    ScreenSpot spot;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned char *p = picture.At(x, y);
            if (p[channel] > 40 && p[(channel + 1) % 3] < p[channel] / 2 && p[(channel + 2) % 3] < p[channel] / 2) {
                spot.x += x;
                spot.y += y;
                ++spot.pixels;
            }
        }
    }
    if (spot.pixels) {
        spot.x /= spot.pixels;
        spot.y /= spot.pixels;
    }
    return spot;
}

// Where a point held 5 units in front of the eye, offset by the drift across the
// line of sight, appears with the eye looking along +z (screen right is -x).
ScreenSpot ExpectedNimbraSpot(float driftX, float driftY)
{
    const double focal = (testHeight / 2.0) / std::tan(22.5 * 3.14159265358979 / 180.0);
    ScreenSpot spot;
    spot.x = testWidth / 2.0 - 0.5 - driftX * focal / 5.0;
    spot.y = testHeight / 2.0 - 0.5 + driftY * focal / 5.0;
    return spot;
}

TEST_F(FrameDrawing, NimbraKeepsItsScreenPlaceWhenTheCameraCrossesZZero)
{
    // Only the nimbra gives colour: green. Everything else draws black.
    for (GLuint texture : {TexNebula, TexEarth, TexMoon, TexClouds})
        PaintTexture(texture, 0, 0, 0);
    PaintTexture(TexNimbra, 0, 255, 0);

    Picture before, after;
    float driftBefore[2] = {}, driftAfter[2] = {};
    for (int frame = 0; frame < 800 && after.width == 0; ++frame) {
        const bool behindEarth = EyeZ < 0.0f;
        ASSERT_TRUE(DrawFrame());
        if (behindEarth && EyeZ < 0.0f && EyeZ > -0.5f) {
            before = ReadBackBuffer(testWidth, testHeight);
            driftBefore[0] = NimbraX;
            driftBefore[1] = NimbraY;
        } else if (behindEarth && EyeZ >= 0.0f) {
            after = ReadBackBuffer(testWidth, testHeight);
            driftAfter[0] = NimbraX;
            driftAfter[1] = NimbraY;
        }
    }
    ASSERT_GT(before.width, 0);
    ASSERT_GT(after.width, 0) << "the camera crosses z = 0 within a quarter period";
    SaveScreenshot(before, "nimbra_before_crossing.bmp");
    SaveScreenshot(after, "nimbra_after_crossing.bmp");

    const ScreenSpot seenBefore = CentreOf(before, 1), seenAfter = CentreOf(after, 1);
    ASSERT_GT(seenBefore.pixels, 100);
    ASSERT_GT(seenAfter.pixels, 100);
    const ScreenSpot expectedBefore = ExpectedNimbraSpot(driftBefore[0], driftBefore[1]);
    const ScreenSpot expectedAfter = ExpectedNimbraSpot(driftAfter[0], driftAfter[1]);
    EXPECT_NEAR(seenBefore.x, expectedBefore.x, 2.0);
    EXPECT_NEAR(seenBefore.y, expectedBefore.y, 2.0);
    EXPECT_NEAR(seenAfter.x, expectedAfter.x, 2.0);
    EXPECT_NEAR(seenAfter.y, expectedAfter.y, 2.0);
    EXPECT_NEAR(seenAfter.x, seenBefore.x, 3.0) << "no jump across the crossing";
    EXPECT_NEAR(seenAfter.y, seenBefore.y, 3.0);
    // Without the mirroring the body would jump to the other side of the centre.
    EXPECT_GT(std::fabs(seenAfter.x - testWidth / 2.0), 20.0);
}

} // namespace
