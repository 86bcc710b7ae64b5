// The nimbra's tail: 360 particles drawn on a ring around their simulated
// positions in a fixed view down the positive z axis, then moved, aged and reborn
// at the nimbra's drift position.
#include "scene/scene.h"
#include "scene/scene_detail.h"

#include <cmath>

namespace {

const double ringRadius = 0.5;
const float tailGrey = 0.7f;

// Single-precision constants held as doubles, so that products with them are
// evaluated in double precision.
const double particleHalfSize = 0.2f;
const double opacityPerLife = 0.33333334f;   // 1/3
const double pull = 0.00028571428f;          // 1/3500, towards the line of sight
const double thrust = 10.0f;                 // towards and past the eye
const double velocityStep = 0.005f;
const double lifeEnd = 0.01f;
const double respawnFadeStep = 0.0002f;
const double respawnSpeedStep = 0.028571429f;   // 1/35

void DrawParticle(const TailParticle &particle, double angle)
{
    const float cx = Single(double(particle.x) + ringRadius * std::sin(angle));
    const float cy = Single(double(particle.y) + ringRadius * std::cos(angle));
    const double z = particle.z;
    glColor4f(tailGrey, tailGrey, tailGrey, Single(double(particle.life) * opacityPerLife));
    DrawTexturedSquare(cx, cy, z, particleHalfSize);
}

void MoveParticle(TailParticle &p)
{
    p.xi = Single(double(p.xi) - double(p.x) * pull);
    p.yi = Single(double(p.yi) - double(p.y) * pull);
    p.zi = Single(double(p.zi) - double(p.z) * pull - thrust);
    p.x = Single(double(p.x) + double(p.xi) * velocityStep);
    p.y = Single(double(p.y) + double(p.yi) * velocityStep);
    p.z = Single(double(p.z) + double(p.zi) * velocityStep);
}

// A reborn particle keeps its colour fields.
void RespawnParticle(TailParticle &p)
{
    SpawnParticle(p, respawnFadeStep, respawnSpeedStep);
    p.x = NimbraX;
    p.y = NimbraY;
    p.z = 0.0f;
}

void AgeParticle(TailParticle &p)
{
    p.life = Single(double(p.life) - double(p.fade));
    if (p.life < lifeEnd)
        RespawnParticle(p);
}

} // namespace

void DrawTail(bool draw)
{
    if (draw) {
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glBindTexture(GL_TEXTURE_2D, TexClouds);
        glLoadIdentity();
        gluLookAt(0.0, 0.0, -5.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    }

    float angle = 0.0f;   // radians: particle i sits at angle i + 1 of its ring
    for (TailParticle &particle : TailParticles) {
        angle += 1.0f;
        if (draw) DrawParticle(particle, angle);
        MoveParticle(particle);
        AgeParticle(particle);
    }
}
