// The spawn shared by the set-up's first particles and the tail's respawn.
#include "scene/scene_detail.h"
#include "platform/scene_platform.h"

#include <cmath>

void SpawnParticle(TailParticle &particle, double fadeStep, double speedStep)
{
    particle.life = 1.0f;
    particle.fade = Single((SceneRandom() % 100 + 100) * fadeStep);
    SpawnSpeed = Single((SceneRandom() % 250) * speedStep);
    SpawnAngleA = static_cast<float>(SceneRandom() % 360);
    SpawnAngleB = static_cast<float>(SceneRandom() % 360);
    // The angles are whole numbers of degrees, but sine and cosine take them as radians.
    particle.xi = Single(std::sin(double(SpawnAngleA)) * double(SpawnSpeed));
    particle.yi = Single(std::cos(double(SpawnAngleA)) * double(SpawnSpeed));
    particle.zi = Single(std::sin(double(SpawnAngleB)) * double(SpawnSpeed));
}
