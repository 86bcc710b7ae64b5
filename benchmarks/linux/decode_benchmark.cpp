// The Linux loader (the portable decoder behind an mmap) on the Windows loader's
// benchmark file, a large 24-bit picture, against memcpy of the same bytes in the
// same run; prints the loader's time as a ratio to the copy, beside the Windows
// loader's ratio when bench.sh passes it.
// Usage: decode_benchmark [--windows-ratio R] [size] [rounds]
#include "benchmarks/image/benchmark_bitmap.h"
#include "image/dib_loader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

double Seconds(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

} // namespace

int main(int argc, char **argv)
{
    const char *windowsRatio = nullptr;
    if (argc > 2 && std::strcmp(argv[1], "--windows-ratio") == 0) {
        windowsRatio = argv[2];
        argc -= 2;
        argv += 2;
    }
    const int size = argc > 1 ? std::atoi(argv[1]) : 2048;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 10;
    char path[] = "/tmp/nimbra-decode-benchmark-XXXXXX";
    const int fd = mkstemp(path);
    const std::vector<unsigned char> file = MakeBenchmarkBitmap(size);
    if (fd < 0 || write(fd, file.data(), file.size()) != ssize_t(file.size()) || close(fd) != 0) {
        std::printf("cannot write %s\n", path);
        return 1;
    }

    std::vector<unsigned char> copy(file.size());
    bool ok = true;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        RgbImage *image = LoadImageFile(path);
        ok = ok && image;
        if (image) { std::free(image->pixels); std::free(image); }
    }
    const auto t1 = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        std::memcpy(copy.data(), file.data(), file.size());
        copy[size_t(i) % copy.size()] ^= 1;   // keeps the copies from being folded together
    }
    const auto t2 = std::chrono::steady_clock::now();
    unlink(path);
    if (!ok) { std::printf("the loader refused the file\n"); return 1; }

    const double load = Seconds(t0, t1) / rounds, move = Seconds(t1, t2) / rounds;
    std::printf("%dx%d 24-bit, %zu bytes, %d rounds\n", size, size, file.size(), rounds);
    std::printf("portable decoder %.2f ms per file, memcpy %.2f ms per copy, ratio %.1f", load * 1e3, move * 1e3,
                load / move);
    if (windowsRatio) std::printf(" (the Windows loader under Wine: %s)", windowsRatio);
    std::printf("\n");
    return 0;
}
