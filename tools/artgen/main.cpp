// Writes the program's art: the five scene textures, the monitor bitmap, the corner
// buttons, the icons and the setup program's picture. Everything is drawn by this code; the output is the same
// on every run.
// Usage: artgen ART_DIR TEXTURE_DIR
#include "art.h"
#include "bmp_writer.h"
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: artgen ART_DIR TEXTURE_DIR\n");
        return 2;
    }
    const std::string artDir = argv[1], textureDir = argv[2];
    const std::string mk = "mkdir -p '" + artDir + "' '" + textureDir + "'";
    if (std::system(mk.c_str()) != 0) return 1;

    bool ok = true;
    ok = WriteBmp24(textureDir + "/nebula.bmp", DrawNebulaGlow()) && ok;
    ok = WriteBmp24(textureDir + "/earth.bmp", DrawEarth()) && ok;
    ok = WriteBmp24(textureDir + "/moon.bmp", DrawMoon()) && ok;
    ok = WriteBmp24(textureDir + "/nimbra.bmp", DrawNimbraBody()) && ok;
    ok = WriteBmp24(textureDir + "/clouds.bmp", DrawTailPuff()) && ok;

    ok = WriteMonitorBitmap(artDir + "/monitor.bmp") && ok;
    ok = WriteBmp24(artDir + "/corner_default.bmp", DrawCornerButton(CornerButton::Plain)) && ok;
    ok = WriteBmp24(artDir + "/corner_now.bmp", DrawCornerButton(CornerButton::CheckMark)) && ok;
    ok = WriteBmp24(artDir + "/corner_never.bmp", DrawCornerButton(CornerButton::RedDot)) && ok;

    const Picture saver32 = DrawSaverIcon(32), saver16 = DrawSaverIcon(16);
    const Picture framework32 = DrawFrameworkIcon(32), framework16 = DrawFrameworkIcon(16);
    ok = WriteIcon(artDir + "/nimbra.ico", {&saver32, &saver16}) && ok;
    ok = WriteIcon(artDir + "/lullex.ico", {&framework32, &framework16}) && ok;
    ok = WriteBmp24(artDir + "/setup.bmp", DrawSetupPicture()) && ok;
    return ok ? 0 : 1;
}
