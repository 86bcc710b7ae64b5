// The one-time set-up: GL state, the first particles, the backdrop, the first clear.
#include "scene/scene.h"
#include "scene/fresh_scene_state.h"
#include "scene/gl_test_window.h"
#include "scene/msvcrt_rand.h"
#include "scene/texture_files.h"

#include <gtest/gtest.h>
#include <cmath>
#include <vector>

namespace {

class SceneSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        RestoreFreshSceneState();
        RestoreTextureFiles();
        ASSERT_TRUE(gl.Open(160, 120));
    }

    GlTestWindow gl;
};

struct ExpectedParticle {
    float fade, xi, yi, zi, r, g, b;
};

// What the unseeded runtime generator gives for the first particles.
ExpectedParticle DrawExpectedParticle(RuntimeRand &rng)
{
    ExpectedParticle p;
    p.fade = float((rng.Next() % 100 + 100) * double(0.0001f));
    const float speed = float((rng.Next() % 250) * double(0.06666667f));
    const double angleA = rng.Next() % 360;
    const double angleB = rng.Next() % 360;
    p.xi = float(std::sin(angleA) * speed);
    p.yi = float(std::cos(angleA) * speed);
    p.zi = float(std::sin(angleB) * speed);
    p.r = float((rng.Next() % 100) * double(0.01f) + 0.25);
    p.g = float((rng.Next() % 100) * double(0.01f) + 0.25);
    p.b = float((rng.Next() % 100) * double(0.01f) + 0.25);
    return p;
}

TEST_F(SceneSetup, ParticlesStartAtTheOriginWithTheRuntimeGeneratorsDraws)
{
    ASSERT_TRUE(InitScene());
    RuntimeRand rng;
    for (int i = 0; i < TailParticleCount; ++i) {
        SCOPED_TRACE(i);
        const TailParticle &p = TailParticles[i];
        const ExpectedParticle expected = DrawExpectedParticle(rng);
        EXPECT_EQ(p.life, 1.0f);
        EXPECT_EQ(p.x, 0.0f);
        EXPECT_EQ(p.y, 0.0f);
        EXPECT_EQ(p.z, 0.0f);
        EXPECT_GE(p.fade, 0.0099999f);
        EXPECT_LE(p.fade, 0.0199001f);
        EXPECT_LE(std::hypot(p.xi, p.yi), 16.61) << "speed at most 16.6";
        EXPECT_LE(std::fabs(p.zi), 16.61);
        EXPECT_GE(std::fmin(p.r, std::fmin(p.g, p.b)), 0.2499f);
        EXPECT_LE(std::fmax(p.r, std::fmax(p.g, p.b)), 1.2401f);
        EXPECT_FLOAT_EQ(p.fade, expected.fade);
        EXPECT_FLOAT_EQ(p.xi, expected.xi);
        EXPECT_FLOAT_EQ(p.yi, expected.yi);
        EXPECT_FLOAT_EQ(p.zi, expected.zi);
        EXPECT_FLOAT_EQ(p.r, expected.r);
        EXPECT_FLOAT_EQ(p.g, expected.g);
        EXPECT_FLOAT_EQ(p.b, expected.b);
    }
}

// The backdrop follows the particles' draws; every start gives the same one.
TEST_F(SceneSetup, BackdropIsTheSameOnEveryStartWithAHollowSphereOfRadius500)
{
    ASSERT_TRUE(InitScene());
    RuntimeRand rng;
    for (int i = 0; i < TailParticleCount * 7; ++i)
        rng.Next();
    int rejected = 0;
    for (int i = 0; i < BackdropSpriteCount; ++i) {
        SCOPED_TRACE(i);
        double x, y, z;
        for (;;) {
            x = rng.Next() % 10000 - 5000;
            y = rng.Next() % 10000 - 5000;
            z = rng.Next() % 10000 - 5000;
            if (std::hypot(z, std::hypot(x, y)) >= 500.0)
                break;
            ++rejected;
        }
        EXPECT_EQ(BackdropX[i], float(x));
        EXPECT_EQ(BackdropY[i], float(y));
        EXPECT_EQ(BackdropZ[i], float(z));
        for (float c : {BackdropX[i], BackdropY[i], BackdropZ[i]}) {
            EXPECT_EQ(c, std::floor(c)) << "whole numbers";
            EXPECT_GE(c, -5000.0f);
            EXPECT_LE(c, 4999.0f);
        }
        EXPECT_GE(std::hypot(BackdropZ[i], std::hypot(BackdropX[i], BackdropY[i])), 500.0);
    }
    RecordProperty("RejectedDraws", rejected);
}

// The fixed state the set-up leaves for the first frame, read back from the GL.
TEST_F(SceneSetup, FixedGlStateReadsBackAsSet)
{
    ASSERT_TRUE(InitScene());
    struct Row {
        const char *what;
        GLenum light, name;   // light 0: glGetFloatv
        std::vector<GLfloat> expected;
    };
    const Row rows[] = {
        {"fog mode", 0, GL_FOG_MODE, {GL_EXP2}},
        {"fog density", 0, GL_FOG_DENSITY, {0.005f}},
        {"fog colour", 0, GL_FOG_COLOR, {0, 0, 0, 0}},
        {"fog start", 0, GL_FOG_START, {0}},
        {"fog end", 0, GL_FOG_END, {10}},
        {"fog hint", 0, GL_FOG_HINT, {GL_NICEST}},
        {"perspective hint", 0, GL_PERSPECTIVE_CORRECTION_HINT, {GL_DONT_CARE}},
        {"light 1 ambient", GL_LIGHT1, GL_AMBIENT, {0.5f, 0.5f, 0.5f, 0.5f}},
        {"light 1 specular", GL_LIGHT1, GL_SPECULAR, {1, 1, 1, 1}},
        {"light 1 diffuse", GL_LIGHT1, GL_DIFFUSE, {1, 1, 1, 1}},
        {"light 1 position, at the viewer", GL_LIGHT1, GL_POSITION, {0, 0, 0, 1}},
        {"blend source", 0, GL_BLEND_SRC, {GL_SRC_ALPHA}},
        {"blend destination", 0, GL_BLEND_DST, {GL_ONE}},
        {"clear colour", 0, GL_COLOR_CLEAR_VALUE, {0, 0, 0, 1}},
        {"clear depth", 0, GL_DEPTH_CLEAR_VALUE, {1}},
        {"texturing on", 0, GL_TEXTURE_2D, {1}},
        {"blending on", 0, GL_BLEND, {1}},
        {"fog on", 0, GL_FOG, {1}},
        {"lighting on", 0, GL_LIGHTING, {1}},
        {"light 1 on", 0, GL_LIGHT1, {1}},
        {"depth test off", 0, GL_DEPTH_TEST, {0}},
    };
    for (const Row &row : rows) {
        GLfloat value[4] = {-1, -1, -1, -1};
        if (row.light)
            glGetLightfv(row.light, row.name, value);
        else
            glGetFloatv(row.name, value);
        for (size_t i = 0; i < row.expected.size(); ++i)
            EXPECT_FLOAT_EQ(value[i], row.expected[i]) << row.what << " [" << i << "]";
    }
}

TEST_F(SceneSetup, WindowStartsBlackInBothBuffers)
{
    // Paint both buffers white first, so that black is the set-up's doing.
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(gl.dc);
    glClear(GL_COLOR_BUFFER_BIT);

    ASSERT_TRUE(InitScene());
    for (GLenum buffer : {GL_FRONT, GL_BACK}) {
        std::vector<unsigned char> pixels(size_t(gl.width) * gl.height * 3, 1);
        glReadBuffer(buffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, gl.width, gl.height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        int lit = 0;
        for (unsigned char c : pixels)
            lit += c != 0;
        EXPECT_EQ(lit, 0) << (buffer == GL_FRONT ? "front" : "back") << " buffer";
    }
}

} // namespace
