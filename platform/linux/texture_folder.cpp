#include "platform/linux/texture_folder.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#ifndef NIMBRA_INSTALLED_DATA_DIR
#error "NIMBRA_INSTALLED_DATA_DIR names the installed texture folder"
#endif

namespace {

bool IsFolder(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ProgramPath()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, size_t(length)) : std::string();
}

} // namespace

std::string TextureFolderFor(const std::string &programPath, const std::string &installedFolder)
{
    const size_t slash = programPath.rfind('/');
    if (slash != std::string::npos) {
        const std::string beside = programPath.substr(0, slash + 1) + "NimbraData/";
        if (IsFolder(beside))
            return beside;
    }
    return installedFolder.empty() || installedFolder.back() == '/' ? installedFolder : installedFolder + "/";
}

const char *FindTextureFolder()
{
    static const std::string folder = TextureFolderFor(ProgramPath(), NIMBRA_INSTALLED_DATA_DIR);
    return folder.c_str();
}
