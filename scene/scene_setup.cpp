// One-time set-up after the rendering context has become current: textures, the
// fixed GL state, the tail particles, the backdrop sprites and the quadric.
#include "scene/scene.h"
#include "scene/scene_detail.h"
#include "platform/scene_platform.h"

#include <cmath>

namespace {

// Single-precision constants held as doubles, so that products with them are
// evaluated in double precision.
const double initialFadeStep = 0.0001f;
const double initialSpeedStep = 0.06666667f;   // 1/15
const double colourStep = 0.01f;
const double colourBase = 0.25;   // exact in either precision

void SetFixedState()
{
    glEnable(GL_TEXTURE_2D);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_DONT_CARE);
}

void SetFog()
{
    const GLfloat fogColour[] = {0.0f, 0.0f, 0.0f, 0.0f};
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_DENSITY, 0.005f);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFogf(GL_FOG_START, 0.0f);
    glFogf(GL_FOG_END, 10.0f);
    glEnable(GL_FOG);
}

// The model-view matrix is still the identity here, so the light sits at the viewer.
void SetViewerLight()
{
    const GLfloat ambient[] = {0.5f, 0.5f, 0.5f, 0.5f};
    const GLfloat specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat position[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, position);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
}

// Every particle starts at the origin; the random draws per particle come in the
// order fade, speed, angle A, angle B, r, g, b.
void SpawnFirstParticles()
{
    for (TailParticle &particle : TailParticles) {
        SpawnParticle(particle, initialFadeStep, initialSpeedStep);
        particle.r = Single((SceneRandom() % 100) * colourStep + colourBase);
        particle.g = Single((SceneRandom() % 100) * colourStep + colourBase);
        particle.b = Single((SceneRandom() % 100) * colourStep + colourBase);
    }
}

double DrawBackdropCoordinate()
{
    return SceneRandom() % 10000 - 5000;
}

// The sprites fill a cube of edge 10000 with a hollow sphere of radius 500 at its
// centre, where the earth is.
void PlaceBackdropSprites()
{
    for (int i = 0; i < BackdropSpriteCount; ++i) {
        double x, y, z;
        do {
            x = DrawBackdropCoordinate();
            y = DrawBackdropCoordinate();
            z = DrawBackdropCoordinate();
        } while (std::hypot(z, std::hypot(x, y)) < 500.0);
        BackdropX[i] = static_cast<float>(x);
        BackdropY[i] = static_cast<float>(y);
        BackdropZ[i] = static_cast<float>(z);
    }
}

void CreateSphereQuadric()
{
    SphereQuadric = gluNewQuadric();
    gluQuadricNormals(SphereQuadric, GLU_SMOOTH);
    gluQuadricTexture(SphereQuadric, GL_TRUE);
}

// The window starts black in both buffers.
void ClearBothBuffers()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SwapSceneBuffers();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

} // namespace

bool InitScene()
{
    if (!LoadSceneTextures())
        return false;
    SetUpScene();
    ClearBothBuffers();
    return true;
}

void SetUpScene()
{
    SetFixedState();
    SetFog();
    SetViewerLight();
    SpawnFirstParticles();
    PlaceBackdropSprites();
    CreateSphereQuadric();
}
