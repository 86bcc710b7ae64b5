// Writes the decoder's seed corpus and its large crafted regression files:
//   make_fuzz_inputs SEED_DIR CRAFTED_DIR [SMALL_DIR]
// SMALL_DIR, when given, receives the small crafted files, which the repository
// keeps in tests/image/fuzz/regressions.
#include "tests/image/fuzz/crafted_dibs.h"

#include <cstdio>
#include <sys/stat.h>

namespace {

bool WriteAll(const std::string &dir, const std::vector<NamedDib> &files)
{
    mkdir(dir.c_str(), 0755);
    for (const NamedDib &dib : files) {
        const std::string path = dir + "/" + dib.name;
        FILE *file = std::fopen(path.c_str(), "wb");
        const bool written = file && std::fwrite(dib.bytes.data(), 1, dib.bytes.size(), file) == dib.bytes.size();
        if (!file || std::fclose(file) != 0 || !written) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: make_fuzz_inputs SEED_DIR CRAFTED_DIR [SMALL_DIR]\n");
        return 2;
    }
    bool ok = WriteAll(argv[1], SeedDibs()) && WriteAll(argv[2], LargeCraftedDibs());
    if (argc == 4) ok = ok && WriteAll(argv[3], SmallCraftedDibs());
    return ok ? 0 : 1;
}
