// The Linux loader's own behaviours, file by file: what the differential check
// found Windows' conversion to do (run-length segments that are never closed,
// uncompressed pixels on no plane; every row here gives the same pixels from the
// Windows loader under Wine), its messages on standard error, and the crafted
// files that once carried the decoder out of its picture or its memory.
#include "image/dib_loader.h"
#include "tests/image/fuzz/crafted_dibs.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

void Put16(Bytes &out, unsigned v) { out.push_back(uint8_t(v)); out.push_back(uint8_t(v >> 8)); }
void Put32(Bytes &out, unsigned v) { Put16(out, v & 0xFFFF); Put16(out, v >> 16); }

// A file with a file header, an info header and a four-entry palette: entry i is
// blue 10 + i, green 20 + i, red 30 + i.
Bytes InfoFile(int width, int height, unsigned planes, unsigned bitCount, unsigned compression, const Bytes &pixels)
{
    Bytes file = {'B', 'M'};
    Put32(file, 0);
    Put32(file, 0);
    Put32(file, 14 + 40 + 16);
    Put32(file, 40);
    Put32(file, unsigned(width));
    Put32(file, unsigned(height));
    Put16(file, planes);
    Put16(file, bitCount);
    Put32(file, compression);
    Put32(file, compression ? unsigned(pixels.size()) : 0);
    Put32(file, 0);
    Put32(file, 0);
    Put32(file, 4);
    Put32(file, 0);
    for (unsigned i = 0; i < 4; ++i) file.insert(file.end(), {uint8_t(10 + i), uint8_t(20 + i), uint8_t(30 + i), 0});
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

class LinuxLoader : public ::testing::Test {
protected:
    void TearDown() override { unlink(path.c_str()); }

    // Loads the file; the pixels as red, green, blue triples, or the message.
    std::string Load(const Bytes &file, Bytes *rgb)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(file.data()), long(file.size()));
        testing::internal::CaptureStderr();
        RgbImage *image = LoadImageFile(path.c_str());
        const std::string message = testing::internal::GetCapturedStderr();
        if (image) {
            const int rows = image->height < 0 ? -image->height : image->height;
            rgb->assign(image->pixels, image->pixels + image->width * rows * 3);
            std::free(image->pixels);
            std::free(image);
        }
        return message;
    }

    std::string path = "/tmp/nimbra-linux-loader-" + std::to_string(getpid()) + ".bmp";
};

Bytes Entry(int i) { return {uint8_t(30 + i), uint8_t(20 + i), uint8_t(10 + i)}; }
Bytes Black() { return {0, 0, 0}; }
Bytes Row(std::initializer_list<Bytes> pixels)
{
    Bytes row;
    for (const Bytes &p : pixels) row.insert(row.end(), p.begin(), p.end());
    return row;
}

struct RunLengthRow {
    const char *what;
    Bytes data;
    Bytes rgb;   // 3 x 2 pixels, bottom row first
};

TEST_F(LinuxLoader, RunLengthSegmentsShowOnlyOnceAnEscapeClosesThem)
{
    const RunLengthRow rows[] = {
        {"two lines, each closed", {2, 1, 1, 2, 0, 0, 3, 3, 0, 1},
         Row({Entry(1), Entry(1), Entry(2), Entry(3), Entry(3), Entry(3)})},
        {"the data ends in the second line", {2, 1, 1, 2, 0, 0, 3, 3},
         Row({Entry(1), Entry(1), Entry(2), Black(), Black(), Black()})},
        {"the data ends before any escape", {2, 1, 1, 2}, Row({Black(), Black(), Black(), Black(), Black(), Black()})},
        {"a jump closes the segment before it", {1, 1, 0, 2, 1, 1, 1, 2},
         Row({Entry(1), Black(), Black(), Black(), Black(), Black()})},
        {"a literal run, then the end", {0, 3, 0, 1, 2, 0, 0, 1},
         Row({Entry(0), Entry(1), Entry(2), Black(), Black(), Black()})},
        {"pixels beyond the width are dropped", {5, 2, 0, 1}, Row({Entry(2), Entry(2), Entry(2), Black(), Black(), Black()})},
    };
    for (const RunLengthRow &row : rows) {
        SCOPED_TRACE(row.what);
        Bytes rgb;
        EXPECT_EQ(Load(InfoFile(3, 2, 1, 8, 1, row.data), &rgb), "");
        EXPECT_EQ(rgb, row.rgb);
    }
}

TEST_F(LinuxLoader, UncompressedPixelsOnNoPlaneAreAConversionError)
{
    const Bytes pixels = {1, 2, 3, 0};
    Bytes rgb;
    EXPECT_EQ(Load(InfoFile(3, 1, 1, 8, 0, pixels), &rgb), "");
    EXPECT_EQ(rgb, Row({Entry(1), Entry(2), Entry(3)}));
    rgb.clear();
    EXPECT_EQ(Load(InfoFile(3, 1, 0, 8, 0, pixels), &rgb), "nimbra: " + path + ": Image file conversion error.\n");
    EXPECT_TRUE(rgb.empty());
    // Any other plane count is taken, as Windows takes it.
    EXPECT_EQ(Load(InfoFile(3, 1, 7, 8, 0, pixels), &rgb), "");
}

// What a load in a child process must give: the size, or the loader's text (after
// the file's name); the first pixels, all others black.
struct ChildLoad {
    const char *what;
    LONG width, height;
    const char *message;
    Bytes firstPixels;
    bool memoryShort = false;   // the child cannot map more than 128 MiB
};

std::string childMessage;

int WINAPI RecordInChild(HWND, LPCSTR text, LPCSTR, UINT)
{
    childMessage += text;
    return 1;
}

// The child's exit code: a bit for each way the load went wrong.
enum { WrongOutcome = 1, WrongSize = 2, WrongMessage = 4, WrongPixels = 8 };

// noexcept: whatever escapes ends the child, never returns into the test program.
int LoadAndCheck(const std::string &path, const ChildLoad &row) noexcept
{
    LoaderMessageBox = RecordInChild;
    RgbImage *image = LoadImageFile(path.c_str());
    const std::string expected = *row.message ? path + ": " + row.message : "";
    int wrong = childMessage == expected ? 0 : WrongMessage;
    if (!image) return wrong | (row.width ? WrongOutcome : 0);
    if (!row.width) return wrong | WrongOutcome;
    if (image->width != row.width || image->height != row.height) return wrong | WrongSize;
    const size_t size = size_t(image->width) * size_t(image->height < 0 ? -image->height : image->height) * 3;
    for (size_t i = 0; i < size; ++i)
        if (image->pixels[i] != (i < row.firstPixels.size() ? row.firstPixels[i] : 0)) return wrong | WrongPixels;
    return wrong;
}

// Loads the file in a child process (a decoder that runs wild takes only the
// child with it, and one that blocks is ended by the alarm) and checks there what
// it gives; the child's peak memory must stay within the picture and the mapped
// file, plus a little.
void ExpectChildLoad(const std::string &path, const ChildLoad &row, size_t fileBytes)
{
    const size_t pictureBytes = size_t(row.width) * size_t(row.height < 0 ? -row.height : row.height) * 3;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(60);
        // A forked child's peak starts as its parent's: start it from what it holds now.
        std::FILE *clearRefs = std::fopen("/proc/self/clear_refs", "w");
        if (!clearRefs || std::fputs("5", clearRefs) < 0 || std::fclose(clearRefs) != 0) _exit(WrongOutcome);
        // A decoder that runs wild runs out of address space here, not the machine out of memory.
        const rlim_t room = row.memoryShort ? 128u << 20 : pictureBytes + fileBytes + (512u << 20);
        const rlimit limit = {room, room};
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(WrongOutcome);
        _exit(LoadAndCheck(path, row));
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(child, &status, 0, &usage), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
    const int wrong = WEXITSTATUS(status);
    EXPECT_EQ(wrong & WrongOutcome, 0) << (row.width ? "refused" : "loaded");
    EXPECT_EQ(wrong & WrongSize, 0) << "another size";
    EXPECT_EQ(wrong & WrongMessage, 0) << "another message than " << row.message;
    EXPECT_EQ(wrong & WrongPixels, 0) << "other pixels";
    EXPECT_LE(size_t(usage.ru_maxrss) * 1024, pictureBytes + fileBytes + (32u << 20)) << "peak memory";
}

Bytes Repeated(const Bytes &pixel, int count)
{
    Bytes out;
    for (int i = 0; i < count; ++i) out.insert(out.end(), pixel.begin(), pixel.end());
    return out;
}

// Writes each crafted file beside the test's path, so that no child starts with
// their bytes in memory; gives the length of each.
std::vector<size_t> WriteCraftedFiles(const std::string &path, const std::vector<NamedDib> &files)
{
    std::vector<size_t> lengths;
    for (const NamedDib &dib : files) {
        std::ofstream(path + "-" + dib.name, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char *>(dib.bytes.data()), long(dib.bytes.size()));
        lengths.push_back(dib.bytes.size());
    }
    return lengths;
}

TEST_F(LinuxLoader, CraftedRunLengthFilesStayInsideThePictureAndItsMemory)
{
    const char *const conversionError = "Image file conversion error.", *const outOfMemory = "Out of memory.";
    const ChildLoad rows[] = {
        // Its column wrapped to three pixels left of the row, where its last run drew.
        {"column-wraps-4x1.bmp", 4, 1, "", Repeated(Entry(2), 4)},
        // A column that wrapped kept a record per pixel until memory ran out.
        {"column-wrap-storm-4x1.bmp", 4, 1, "", {}},
        // 89478485 pixels of an open segment took 1.58 GB in records.
        {"open-segment-89478485x1.bmp", 89478485, 1, "", {}},
        // Memory that cannot be had is a message, never an abort.
        {"open-segment-89478485x1.bmp", 0, 0, outOfMemory, {}, true},
        // The decoded-size bound, 256 MiB of rows padded as a 24-bit section's, from both sides.
        {"widest-inside-bound-89478485x1.bmp", 89478485, 1, "", {}},
        {"just-outside-bound-89478486x1.bmp", 0, 0, outOfMemory, {}},
        {"tallest-inside-bound-1x67108864.bmp", 1, 67108864, "", {}},
        {"just-outside-bound-1x67108865.bmp", 0, 0, outOfMemory, {}},
        // Windows' conversion takes run-length data bottom-up only.
        {"top-down-rle8.bmp", 0, 0, conversionError, {}},
        {"top-down-rle4.bmp", 0, 0, conversionError, {}},
    };
    std::vector<NamedDib> files = LargeCraftedDibs();
    for (NamedDib &dib : SmallCraftedDibs()) files.push_back(std::move(dib));
    const std::vector<size_t> lengths = WriteCraftedFiles(path, files);
    std::vector<std::string> names;
    for (const NamedDib &dib : files) names.push_back(dib.name);
    std::vector<NamedDib>().swap(files);
    for (const ChildLoad &row : rows) {
        SCOPED_TRACE(row.what);
        const size_t at = size_t(std::find(names.begin(), names.end(), row.what) - names.begin());
        ASSERT_LT(at, names.size());
        ExpectChildLoad(path + "-" + row.what, row, lengths[at]);
    }
    for (const std::string &name : names) unlink((path + "-" + name).c_str());
}

TEST_F(LinuxLoader, OnlyRegularFilesAreReadAndAFifoDoesNotBlock)
{
    const ChildLoad quietlyNone = {"not a regular file", 0, 0, "", {}};
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    ExpectChildLoad(path, quietlyNone, 0);
    unlink(path.c_str());
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    ExpectChildLoad(path, quietlyNone, 0);
    rmdir(path.c_str());
}

} // namespace
