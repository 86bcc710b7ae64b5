// Moves texture files of the test prefix aside for one test and puts them back.
#pragma once
#include <string>

std::string TexturePath(const std::string &file);   // "C:/windows/NimbraData/<file>"

class TextureFileSwap {
public:
    // Moves the file aside; a test may then leave the place empty or write its own.
    explicit TextureFileSwap(const std::string &file);
    ~TextureFileSwap();   // removes whatever the test put there and restores the original
    bool Moved() const { return moved; }

private:
    std::string path;
    bool moved;
};

// Puts back any file an earlier, interrupted test left aside.
void RestoreTextureFiles();
