// The five texture objects, loaded from the fixed data directory.
#include "scene/scene.h"
#include "image/dib_loader.h"
#include "platform/scene_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

struct TextureFile {
    GLuint *texture;
    const char *fileName;
    bool singleLevel;   // uploaded as level 0 only, with nearest filtering
};

const TextureFile textureFiles[] = {
    {&TexNebula, "nebula.bmp", true},
    {&TexEarth, "earth.bmp", false},
    {&TexMoon, "moon.bmp", false},
    {&TexNimbra, "nimbra.bmp", false},
    {&TexClouds, "clouds.bmp", false},
};

// The file's path in the platform's texture folder ("C:/windows/NimbraData/" on
// Windows); a longer path than fits is cut and so not found.
char texturePath[4096];

const char *TexturePath(const TextureFile &file)
{
    std::snprintf(texturePath, sizeof texturePath, "%s%s", TextureFolder(), file.fileName);
    return texturePath;
}

// A top-down file comes back with a negative height and its top row first. The GL
// refuses a negative height and leaves the texture empty, so turn such an image
// upright: positive height, bottom row first.
void TurnTopDownImageUpright(RgbImage *image)
{
    if (image->height >= 0 || !image->pixels)
        return;
    image->height = -image->height;
    const size_t rowBytes = size_t(image->width) * 3;
    unsigned char *top = image->pixels;
    unsigned char *bottom = image->pixels + size_t(image->height - 1) * rowBytes;
    for (; top < bottom; top += rowBytes, bottom -= rowBytes)
        std::swap_ranges(top, top + rowBytes, bottom);
}

// A picture wider or taller than the GL takes is no texture: the GL (and GLU's
// scaling on the way to the mipmaps) would be handed sizes it cannot hold.
bool FitsTheGl(const RgbImage *image)
{
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    const LONG rows = image->height < 0 ? -image->height : image->height;
    return image->width <= largest && rows <= largest;
}

void FreeImage(RgbImage *image)
{
    if (image->pixels)
        std::free(image->pixels);
    std::free(image);
}

void UploadTexture(const TextureFile &file, const RgbImage *image)
{
    glGenTextures(1, file.texture);
    glBindTexture(GL_TEXTURE_2D, *file.texture);
    if (file.singleLevel) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0,
                     GL_RGB, GL_UNSIGNED_BYTE, image->pixels);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height,
                          GL_RGB, GL_UNSIGNED_BYTE, image->pixels);
    }
}

} // namespace

const char *LastTexturePath()
{
    return texturePath;
}

bool LoadSceneTextures()
{
    // Image rows are packed with no gaps; the GL's default would read each row
    // as if padded to 4 bytes, running past the end of narrow images.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const TextureFile &file : textureFiles) {
        RgbImage *image = LoadImageFile(TexturePath(file));
        if (!image)
            return false;   // textures made for earlier files stay as they are
        if (!FitsTheGl(image)) {
            FreeImage(image);
            return false;
        }
        TurnTopDownImageUpright(image);
        UploadTexture(file, image);
        FreeImage(image);
    }
    return true;
}
