// Where the Linux program reads its five textures: the NimbraData folder beside
// the program when there is one (the build tree's, for a program run from there),
// else the installed data folder.
#pragma once
#include <string>

// The folder for a program at programPath, with a trailing slash.
std::string TextureFolderFor(const std::string &programPath, const std::string &installedFolder);

// TextureFolderFor this program and the data folder it was built to be installed
// with; found once, then kept.
const char *FindTextureFolder();
