// The Linux loader's own behaviours, file by file: what the differential check
// found Windows' conversion to do (run-length segments that are never closed,
// uncompressed pixels on no plane; every row here gives the same pixels from the
// Windows loader under Wine), and its messages on standard error.
#include "image/dib_loader.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

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
    EXPECT_EQ(Load(InfoFile(3, 1, 0, 8, 0, pixels), &rgb), "nimbra: Image file conversion error.\n");
    EXPECT_TRUE(rgb.empty());
    // Any other plane count is taken, as Windows takes it.
    EXPECT_EQ(Load(InfoFile(3, 1, 7, 8, 0, pixels), &rgb), "");
}

} // namespace
