// Internal helpers shared by the scene's set-up and its frame drawing.
#pragma once
#include "scene/scene.h"

// Rounds a value evaluated in wider precision to single precision. On the x87 a
// float variable kept in a register can carry extra bits; going through memory
// makes every stored quantity a true single-precision value.
inline float Single(double value)
{
    volatile float stored = static_cast<float>(value);
    return stored;
}

// Gives a particle a new life: life 1, then the random draws fade, speed, angle A
// and angle B, and the velocity that follows from them. fadeStep and speedStep are
// the factors of the fade and speed draws. Position and colour are left alone.
void SpawnParticle(TailParticle &particle, double fadeStep, double speedStep);

// Draws a textured square of half-size `half` centred on cx, cy at depth z, as one
// triangle strip: top right, top left, bottom right, bottom left.
void DrawTexturedSquare(double cx, double cy, double z, double half);

// Draws the tail in its fixed view (when draw is set) and advances every particle
// by one step.
void DrawTail(bool draw);
