// Loads a large 24-bit file with the DIB loader and copies the same bytes with
// memcpy in the same run; prints the loader's time as a ratio to the copy.
// Usage: dib_load_benchmark [size] [rounds]
#include "benchmarks/image/benchmark_bitmap.h"
#include "image/dib_loader.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

} // namespace

int main(int argc, char **argv)
{
    const int size = argc > 1 ? atoi(argv[1]) : 2048;
    const int rounds = argc > 2 ? atoi(argv[2]) : 10;
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    strcat(path, "nimbra_benchmark.bmp");
    const std::vector<unsigned char> file = MakeBenchmarkBitmap(size);
    FILE *f = fopen(path, "wb");
    if (!f || fwrite(file.data(), 1, file.size(), f) != file.size()) { printf("cannot write %s\n", path); return 1; }
    fclose(f);

    std::vector<unsigned char> copy(file.size());
    LARGE_INTEGER frequency, t0, t1, t2;
    QueryPerformanceFrequency(&frequency);
    bool ok = true;
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < rounds; ++i) {
        RgbImage *image = LoadImageFile(path);
        ok = ok && image;
        if (image) { free(image->pixels); free(image); }
    }
    QueryPerformanceCounter(&t1);
    for (int i = 0; i < rounds; ++i) {
        memcpy(copy.data(), file.data(), file.size());
        copy[i % copy.size()] ^= 1;   // keeps the copies from being folded together
    }
    QueryPerformanceCounter(&t2);
    DeleteFileA(path);
    if (!ok) { printf("the loader refused the file\n"); return 1; }

    const double load = Seconds(t0, t1, frequency) / rounds, move = Seconds(t1, t2, frequency) / rounds;
    printf("%dx%d 24-bit, %u bytes, %d rounds\n", size, size, unsigned(file.size()), rounds);
    printf("loader %.2f ms per file, memcpy %.2f ms per copy, ratio %.1f\n", load * 1e3, move * 1e3, load / move);
    return 0;
}
