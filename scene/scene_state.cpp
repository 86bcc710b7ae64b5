// The scene's process-wide state: texture objects, particles, backdrop, quadric,
// spawn values and the animation quantities with their starting values.
#include "scene/scene.h"

GLuint TexNebula, TexEarth, TexMoon, TexNimbra, TexClouds;
TailParticle TailParticles[TailParticleCount];
float BackdropX[BackdropSpriteCount], BackdropY[BackdropSpriteCount], BackdropZ[BackdropSpriteCount];
GLUquadricObj *SphereQuadric;
float SpawnSpeed, SpawnAngleA, SpawnAngleB;

float SceneRoll = 0, EarthSpin = 0, MoonOrbit = 0, NimbraSpin = 0;
float EyeX = 0, EyeXRate = 8000, EyeZ = -150, EyeZRate = 0;
float NimbraX = 0, NimbraXRate = 75, NimbraY = -1.5f, NimbraYRate = 0;
