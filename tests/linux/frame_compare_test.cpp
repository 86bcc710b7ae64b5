// Frame N of the Linux program against frame N of the Windows program under Wine,
// both on the same Mesa renderer: the same window size, textures, set-up and
// frame steps, so that at most a small fraction of the pixels may differ.
// with-windows-output.sh has the Windows side (scene_frame_dump) write its frame.
#include <gtest/gtest.h>

#include "linux/frame_loop.h"
#include "linux/heap_pages.h"
#include "linux/scene_session.h"
#include "scene/scene.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const int frameWidth = 800, frameHeight = 600;
const int comparedFrame = 200;
// A pixel differs when any channel differs at all. The two builds round the
// scene's float arithmetic alike but not always identically (x87 and SSE, two C
// runtimes' sine), which may move an edge by a pixel here and there: at most
// 0.1 % of the frame may differ.
const int channelTolerance = 0;
const double allowedFraction = 0.001;

struct Frame {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;   // top row first
};

bool ReadPpm(const std::string &path, Frame *frame)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    in >> magic >> frame->width >> frame->height >> maximum;
    in.get();
    if (magic != "P6" || maximum != 255) return false;
    frame->rgb.resize(size_t(frame->width) * size_t(frame->height) * 3);
    in.read(reinterpret_cast<char *>(frame->rgb.data()), long(frame->rgb.size()));
    return bool(in);
}

void WritePpm(const Frame &frame, const std::string &path)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << frame.width << " " << frame.height << "\n255\n";
    out.write(reinterpret_cast<const char *>(frame.rgb.data()), long(frame.rgb.size()));
}

// The program's own steps with -seed 1 (the Windows runtime's unseeded sequence)
// and -fixed-step, without pause: its heap, its 800 x 600 window, the scene opened,
// then its frame loop; frame N is drawn alone and read before its swap.
Frame DrawLinuxFrame(int frames)
{
    Frame frame;
    PrepareHeap();
    const char *const args[] = {"nimbra", "-seed", "1", "-fixed-step", "-delay", "0"};
    SaverOptions options;
    std::string error;
    int width = 0, height = 0;
    if (!ParseSaverOptions(6, args, nullptr, &options, &error) || !OpenScene(options, &width, &height)) return frame;
    FrameLoop loop;
    StartFrameLoop(&loop, options, width, height);
    while (loop.frames < frames - 1 && RunFramePass(&loop)) {}
    AdvanceScene(1);
    frame.width = width;
    frame.height = height;
    std::vector<unsigned char> bottomUp(size_t(width) * size_t(height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    CloseScene();
    const size_t row = size_t(width) * 3;
    for (int y = height - 1; y >= 0; --y)
        frame.rgb.insert(frame.rgb.end(), bottomUp.begin() + long(y * row), bottomUp.begin() + long((y + 1) * row));
    return frame;
}

TEST(FrameCompare, FrameNOfTheLinuxProgramDiffersFromWindowsInAtMostATenthOfAPercentOfPixels)
{
    const char *windowsFile = std::getenv("NIMBRA_WINDOWS_FRAME");
    ASSERT_NE(windowsFile, nullptr) << "run through with-windows-output.sh";
    Frame windows;
    ASSERT_TRUE(ReadPpm(windowsFile, &windows));
    const Frame linux = DrawLinuxFrame(comparedFrame);
    ASSERT_EQ(linux.width, frameWidth);
    ASSERT_EQ(linux.height, frameHeight);
    ASSERT_EQ(windows.width, frameWidth);
    ASSERT_EQ(windows.height, frameHeight);
    WritePpm(linux, "frame-linux.ppm");
    WritePpm(windows, "frame-windows.ppm");

    long differing = 0, farApart = 0, lit = 0;
    for (size_t i = 0; i < linux.rgb.size(); i += 3) {
        int largest = 0, brightest = 0;
        for (int c = 0; c < 3; ++c) {
            largest = std::max(largest, std::abs(int(linux.rgb[i + c]) - int(windows.rgb[i + c])));
            brightest = std::max(brightest, int(linux.rgb[i + c]));
        }
        differing += largest > channelTolerance;
        farApart += largest > 24;
        lit += brightest > 40;
    }
    const double pixels = double(frameWidth) * frameHeight;
    std::printf("frame %d, %dx%d: %ld pixels (%.3f%%) differ from Windows' frame, by more than 24 "
                "in a channel %ld; %ld pixels lit\n",
                comparedFrame, frameWidth, frameHeight, differing, 100.0 * differing / pixels, farApart, lit);
    EXPECT_GT(lit, 2000) << "the frame shows the scene";
    EXPECT_LE(differing / pixels, allowedFraction);
}

} // namespace
