// The pictures the generator draws.
#pragma once
#include "picture.h"
#include <cstdint>
#include <string>
#include <vector>

// Scene textures (equirectangular where they wrap a sphere: north at the top).
Picture DrawEarth();          // 512 x 256
Picture DrawMoon();           // 256 x 128
Picture DrawNebulaGlow();     // 128 x 128, black at its edges
Picture DrawNimbraBody();     // 128 x 64
Picture DrawTailPuff();       // 64 x 64, black at its edges

// Point on the unit sphere for pixel (x, y) of a w x h equirectangular map.
void SpherePoint(float x, float y, int w, int h, float p[3]);

// The settings dialog's monitor: 368 x 170, 16 colours, picture left and mask right.
bool WriteMonitorBitmap(const std::string &path);

enum class CornerButton { Plain, CheckMark, RedDot };
Picture DrawCornerButton(CornerButton kind);   // 24 x 22

Picture DrawSaverIcon(int size);       // an earth with a comet tail
Picture DrawFrameworkIcon(int size);   // a small monitor
Picture DrawSetupPicture();            // 164 x 314, the setup's welcome and finish pages
