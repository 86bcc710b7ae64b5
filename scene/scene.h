// The space scene: textures, GL state, tail particles, backdrop and frame drawing.
#pragma once
#include "nimbra_gl.h"

struct TailParticle {
    float life, fade;
    float r, g, b;
    float x, y, z;
    float xi, yi, zi;
};

enum { TailParticleCount = 360, BackdropSpriteCount = 500 };

extern GLuint TexNebula, TexEarth, TexMoon, TexNimbra, TexClouds;
extern TailParticle TailParticles[TailParticleCount];
extern float BackdropX[BackdropSpriteCount], BackdropY[BackdropSpriteCount], BackdropZ[BackdropSpriteCount];
extern GLUquadricObj *SphereQuadric;
extern float SpawnSpeed, SpawnAngleA, SpawnAngleB;

extern float SceneRoll, EarthSpin, MoonOrbit, NimbraSpin;
extern float EyeX, EyeXRate, EyeZ, EyeZRate;
extern float NimbraX, NimbraXRate, NimbraY, NimbraYRate;

bool LoadSceneTextures();
// The path of the texture file LoadSceneTextures read last: after a failure, the
// one that failed. Empty before the first load.
const char *LastTexturePath();
bool InitScene();
// InitScene's steps between the texture load and the black start of both
// buffers, for a caller that loaded the textures already and draws at once.
void SetUpScene();
bool DrawFrame();
// Advances every motion by steps fixed steps, as that many DrawFrame calls would,
// and draws only the last; nothing at all for 0.
void AdvanceScene(int steps);
