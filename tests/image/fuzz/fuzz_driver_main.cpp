// Runs the fuzzing target once over each file named, and over every file of each
// folder named, for a build without libFuzzer; options (-name=value) are libFuzzer's
// and are passed over.
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

bool RunFile(const std::string &path)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) { std::fprintf(stderr, "cannot read %s\n", path.c_str()); return false; }
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    for (size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) bytes.insert(bytes.end(), block, block + n);
    std::fclose(file);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

bool RunPath(const std::string &path, int *files)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) { std::fprintf(stderr, "no such input: %s\n", path.c_str()); return false; }
    if (!S_ISDIR(info.st_mode)) return ++*files, RunFile(path);
    DIR *dir = opendir(path.c_str());
    if (!dir) return false;
    bool ok = true;
    while (const dirent *entry = readdir(dir))
        if (entry->d_name[0] != '.') ok = RunPath(path + "/" + entry->d_name, files) && ok;
    closedir(dir);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    bool ok = true;
    int files = 0;
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-') ok = RunPath(argv[i], &files) && ok;
    std::printf("%d inputs run\n", files);
    return ok ? 0 : 1;
}
