#include "scene/texture_files.h"

#include <windows.h>

namespace {

const char *const textureNames[] = {"nebula.bmp", "earth.bmp", "moon.bmp", "nimbra.bmp", "clouds.bmp"};

std::string SavedPath(const std::string &path)
{
    return path + ".saved";
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::string TexturePath(const std::string &file)
{
    return "C:/windows/NimbraData/" + file;
}

TextureFileSwap::TextureFileSwap(const std::string &file)
    : path(TexturePath(file)),
      moved(MoveFileExA(path.c_str(), SavedPath(path).c_str(), MOVEFILE_REPLACE_EXISTING) != 0)
{
}

TextureFileSwap::~TextureFileSwap()
{
    if (moved)
        MoveFileExA(SavedPath(path).c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void RestoreTextureFiles()
{
    for (const char *name : textureNames) {
        const std::string path = TexturePath(name);
        if (Exists(SavedPath(path)))
            MoveFileExA(SavedPath(path).c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}
