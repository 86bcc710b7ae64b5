// One frame of the animation: backdrop, earth, moon, nimbra and tail, each motion
// advanced by one fixed step. Angles are never wrapped. AdvanceScene takes several
// steps and draws only the last.
#include "scene/scene.h"
#include "scene/scene_detail.h"

#include <cmath>

void DrawTexturedSquare(double cx, double cy, double z, double half)
{
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(1.0f, 1.0f); glVertex3f(Single(cx + half), Single(cy + half), Single(z));
    glTexCoord2f(0.0f, 1.0f); glVertex3f(Single(cx - half), Single(cy + half), Single(z));
    glTexCoord2f(1.0f, 0.0f); glVertex3f(Single(cx + half), Single(cy - half), Single(z));
    glTexCoord2f(0.0f, 0.0f); glVertex3f(Single(cx - half), Single(cy - half), Single(z));
    glEnd();
}

namespace {

// Single-precision constants held as doubles, so that products with them are
// evaluated in double precision.
const double cameraStiffness = 0.00002f;
const double driftStiffness = 0.0002f;
const double spriteHalfSize = 10.0f;
const double nimbraDistance = 5.0f;

// One step of a discrete harmonic oscillator: the rate first, then the value with
// the new rate.
void StepOscillator(float &value, float &rate, double stiffness)
{
    rate = Single(double(rate) - double(value));
    value = Single(double(value) + stiffness * double(rate));
}

void LookFrom(double x, double y, double z)
{
    gluLookAt(x, y, z, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

void DrawBackdrop()
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, TexNebula);
    for (int i = 0; i < BackdropSpriteCount; ++i) {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        DrawTexturedSquare(BackdropX[i], BackdropY[i], BackdropZ[i], spriteHalfSize);
    }
}

void DrawEarth()
{
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, TexEarth);
    LookFrom(EyeX, 0.0, EyeZ);
    glRotatef(SceneRoll, 0.0f, 0.0f, 1.0f);
    glRotatef(EarthSpin, 0.0f, 1.0f, 0.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);   // the sphere's poles onto the vertical axis
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    gluSphere(SphereQuadric, 10.0, 22, 22);
}

void DrawMoon()
{
    glLoadIdentity();
    LookFrom(EyeX, 0.0, EyeZ);
    glRotatef(SceneRoll, 0.0f, 0.0f, 1.0f);
    glRotatef(MoonOrbit, 1.0f, 1.0f, 0.0f);
    glTranslatef(-17.0f, 5.0f, 25.0f);
    glRotatef(EarthSpin, 0.0f, 1.0f, 0.0f);
    glBindTexture(GL_TEXTURE_2D, TexMoon);
    gluSphere(SphereQuadric, 2.0, 32, 32);
}

// The body stands 5 units in front of the eye. When the camera crosses to the
// positive z side the view faces the other way, so x and the spin are mirrored to
// keep the body at the same place on the screen.
void DrawNimbra()
{
    glLoadIdentity();
    LookFrom(0.0, 0.0, EyeZ);
    glBindTexture(GL_TEXTURE_2D, TexNimbra);
    if (EyeZ < 0.0f) {
        glTranslatef(NimbraX, NimbraY, Single(double(EyeZ) + nimbraDistance));
        glRotatef(NimbraSpin, 0.0f, 1.0f, 1.0f);
    } else {
        glTranslatef(-NimbraX, NimbraY, Single(double(EyeZ) - nimbraDistance));
        glRotatef(-NimbraSpin, 0.0f, 1.0f, 1.0f);
    }
    gluSphere(SphereQuadric, 0.5, 22, 22);
}

void DrawFrameSpheres()
{
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    DrawEarth();
    DrawMoon();
    DrawNimbra();
}

// One step of every motion. With draw false only the GL calls are left out: the
// quantities advance exactly as in a drawn frame.
void StepScene(bool draw)
{
    if (draw) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SceneRoll = Single(double(SceneRoll) + 0.25);

    // The backdrop uses the camera of the previous step.
    if (draw) {
        glEnable(GL_BLEND);
        glDisable(GL_FOG);
        glLoadIdentity();
        LookFrom(EyeX, 0.0, EyeZ);
    }
    StepOscillator(NimbraX, NimbraXRate, driftStiffness);
    StepOscillator(NimbraY, NimbraYRate, driftStiffness);
    if (draw) {
        glRotatef(SceneRoll, 0.0f, 0.0f, 1.0f);
        DrawBackdrop();
        glEnable(GL_FOG);
    }
    StepOscillator(EyeX, EyeXRate, cameraStiffness);
    StepOscillator(EyeZ, EyeZRate, cameraStiffness);
    EarthSpin = Single(double(EarthSpin) + 0.5);
    NimbraSpin = Single(double(NimbraSpin) - 2.3);
    MoonOrbit = Single(double(MoonOrbit) + 0.3);

    if (draw) DrawFrameSpheres();
    DrawTail(draw);
}

} // namespace

bool DrawFrame()
{
    StepScene(true);
    return true;
}

void AdvanceScene(int steps)
{
    for (int step = 1; step < steps; ++step)
        StepScene(false);
    if (steps > 0)
        StepScene(true);
}
