// The picture of the scene from the real renderer, checked for its structure:
// the earth at the centre, the backdrop spread over the frame, the tail at the
// nimbra, motion between frames and the same first frame on every start.
#include "scene/scene.h"
#include "scene/gl_test_window.h"
#include "scene/texture_files.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

const int frameWidth = 800, frameHeight = 600;
const double centreX = frameWidth / 2.0 - 0.5, centreY = frameHeight / 2.0 - 0.5;

class ScenePicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        RestoreTextureFiles();
        ASSERT_TRUE(gl.Open(frameWidth, frameHeight));
        ASSERT_TRUE(InitScene());
    }

    static Picture DrawAndRead()
    {
        DrawFrame();
        return ReadBackBuffer(frameWidth, frameHeight);
    }

    GlTestWindow gl;
};

double Distance(double x0, double y0, double x1, double y1)
{
    return std::hypot(x1 - x0, y1 - y0);
}

// An earth of blue and green squares, so that its texture shows on the disc.
Picture CheckeredEarth()
{
    Picture image;
    image.width = image.height = 64;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool blue = ((x / 8) + (y / 8)) % 2 == 0;
            image.rgb.insert(image.rgb.end(), {0, (unsigned char)(blue ? 80 : 220), (unsigned char)(blue ? 255 : 0)});
        }
    }
    return image;
}

// The earth (radius 10, 150 away) covers about 48 pixels around the centre.
TEST_F(ScenePicture, FirstFrameShowsTheTexturedEarthAtTheCentre)
{
    TextureFileSwap away("earth.bmp");
    ASSERT_TRUE(away.Moved());
    ASSERT_TRUE(WriteBmp(CheckeredEarth(), TexturePath("earth.bmp")));
    ASSERT_TRUE(InitScene());   // again, now with the checkered earth

    const Picture first = DrawAndRead();
    SaveScreenshot(first, "first_frame_checkered_earth.bmp");
    int dark = 0, blue = 0, green = 0, inside = 0;
    for (int y = 260; y < 340; ++y) {
        for (int x = 360; x < 440; ++x) {
            if (Distance(x, y, centreX, centreY) >= 30)
                continue;
            const unsigned char *p = first.At(x, y);
            ++inside;
            dark += first.Brightness(x, y) < 30;
            blue += p[2] > p[1] + 20;
            green += p[1] > p[2] + 20;
        }
    }
    EXPECT_EQ(dark, 0) << "of " << inside << " pixels of the disc";
    EXPECT_GT(blue, inside / 6) << "blue squares on the disc";
    EXPECT_GT(green, inside / 6) << "green squares on the disc";
}

int CountSpots(const Picture &picture, int x0, int y0, int x1, int y1)
{
    // A spot is a lit pixel whose left and lower neighbours are dark.
    int spots = 0;
    for (int y = std::max(y0, 1); y < y1; ++y)
        for (int x = std::max(x0, 1); x < x1; ++x)
            spots += picture.Brightness(x, y) > 60 && picture.Brightness(x - 1, y) <= 60 &&
                     picture.Brightness(x, y - 1) <= 60;
    return spots;
}

TEST_F(ScenePicture, BackdropSpritesAreSpreadOverTheWholeFrame)
{
    // Only the nebula gives light, so every lit pixel belongs to a sprite.
    for (GLuint texture : {TexEarth, TexMoon, TexNimbra, TexClouds})
        PaintTexture(texture, 0, 0, 0);
    PaintTexture(TexNebula, 255, 255, 255);
    DrawFrame();   // the first frame still lights the backdrop
    const Picture picture = DrawAndRead();
    SaveScreenshot(picture, "backdrop_only.bmp");

    int total = 0;
    for (int qy = 0; qy < 2; ++qy) {
        for (int qx = 0; qx < 2; ++qx) {
            const int spots = CountSpots(picture, qx * 400, qy * 300, qx * 400 + 400, qy * 300 + 300);
            EXPECT_GE(spots, 2) << "quadrant " << qx << "," << qy;
            total += spots;
        }
    }
    EXPECT_GE(total, 12);
}

struct Glow {
    double nearNimbra = 0, elsewhere = 0;
};

// The tail is born at the nimbra: its light per pixel is far higher around the
// body than over the rest of the frame.
TEST_F(ScenePicture, TailParticlesStreamFromTheNimbra)
{
    for (GLuint texture : {TexNebula, TexEarth, TexMoon})
        PaintTexture(texture, 0, 0, 0);
    PaintTexture(TexNimbra, 0, 255, 0);
    PaintTexture(TexClouds, 255, 0, 0);
    for (int i = 0; i < 200; ++i)
        DrawFrame();   // every particle of the first generation is spent by now
    const Picture picture = DrawAndRead();
    SaveScreenshot(picture, "tail_red_nimbra_green.bmp");

    double bodyX = 0, bodyY = 0;
    long body = 0;
    for (int y = 0; y < frameHeight; ++y) {
        for (int x = 0; x < frameWidth; ++x) {
            if (picture.At(x, y)[1] > 100) {
                bodyX += x;
                bodyY += y;
                ++body;
            }
        }
    }
    ASSERT_GT(body, 100);
    bodyX /= body;
    bodyY /= body;

    double glowNear = 0, glowElsewhere = 0;
    long pixelsNear = 0, pixelsElsewhere = 0;
    for (int y = 0; y < frameHeight; ++y) {
        for (int x = 0; x < frameWidth; ++x) {
            const int red = picture.At(x, y)[0];
            if (Distance(x, y, bodyX, bodyY) < 150) {
                glowNear += red;
                ++pixelsNear;
            } else {
                glowElsewhere += red;
                ++pixelsElsewhere;
            }
        }
    }
    ASSERT_GT(glowNear, 0);
    EXPECT_GT(glowNear / pixelsNear, 3.0 * glowElsewhere / pixelsElsewhere);
}

TEST_F(ScenePicture, FramesApartDiffer)
{
    const Picture first = DrawAndRead();
    SaveScreenshot(first, "first_frame.bmp");
    for (int i = 0; i < 98; ++i)
        DrawFrame();
    const Picture hundredth = DrawAndRead();
    SaveScreenshot(hundredth, "frame_100.bmp");
    long differing = 0;
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < frameWidth; ++x)
            differing += std::abs(first.Brightness(x, y) - hundredth.Brightness(x, y)) > 24;
    EXPECT_GT(differing, frameWidth * frameHeight / 100);
}

const char saveFirstFrameSwitch[] = "--save-first-frame=";

// Runs this program again to draw one first frame into a file.
bool DrawFirstFrameInNewProcess(const std::string &path)
{
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string commandLine = std::string("\"") + program + "\" " + saveFirstFrameSwitch + path;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    DWORD code = 1;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0;
}

std::string FileBytes(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(ScenePictureStarts, TwoStartsDrawTheSameFirstFrame)
{
    CreateDirectoryA("screenshots", nullptr);
    ASSERT_TRUE(DrawFirstFrameInNewProcess("screenshots/first_frame_start1.bmp"));
    ASSERT_TRUE(DrawFirstFrameInNewProcess("screenshots/first_frame_start2.bmp"));
    const std::string one = FileBytes("screenshots/first_frame_start1.bmp");
    const std::string two = FileBytes("screenshots/first_frame_start2.bmp");
    ASSERT_GT(one.size(), size_t(frameWidth * frameHeight * 3));
    EXPECT_TRUE(one == two);
    EXPECT_NE(one.find_first_not_of('\0', 54), std::string::npos) << "not a black frame";
}

int SaveFirstFrame(const std::string &path)
{
    RestoreTextureFiles();
    GlTestWindow gl;
    if (!gl.Open(frameWidth, frameHeight) || !InitScene())
        return 2;
    DrawFrame();
    return WriteBmp(ReadBackBuffer(frameWidth, frameHeight), path) ? 0 : 3;
}

} // namespace

int main(int argc, char **argv)
{
    const size_t switchLength = std::strlen(saveFirstFrameSwitch);
    if (argc == 2 && std::strncmp(argv[1], saveFirstFrameSwitch, switchLength) == 0)
        return SaveFirstFrame(argv[1] + switchLength);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
