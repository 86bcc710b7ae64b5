// The generated art as the program sees it: the installed textures through the
// loader, and the monitor, corner and icon resources through the platform.
#include "image/dib_loader.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>

namespace {

struct TextureCase {
    const char *file;
    LONG width, height;
    bool blackEdges;   // blended additively, so nothing may show at the rim
};

const TextureCase textureCases[] = {
    {"nebula", 128, 128, true}, {"earth", 512, 256, false}, {"moon", 256, 128, false},
    {"nimbra", 128, 64, false}, {"clouds", 64, 64, true},
};

bool IsBlackRim(const RgbImage *image)
{
    for (LONG y = 0; y < image->height; ++y)
        for (LONG x = 0; x < image->width; ++x) {
            if (x != 0 && y != 0 && x != image->width - 1 && y != image->height - 1) continue;
            const unsigned char *p = image->pixels + 3 * (size_t(y) * image->width + x);
            if (p[0] | p[1] | p[2]) return false;
        }
    return true;
}

TEST(GeneratedArt, InstalledTexturesLoadBottomUpWithPowerOfTwoSizes)
{
    for (const TextureCase &c : textureCases) {
        const std::string path = std::string("C:/windows/NimbraData/") + c.file + ".bmp";
        RgbImage *image = LoadImageFile(path.c_str());
        ASSERT_NE(image, nullptr) << path;
        EXPECT_EQ(image->width, c.width) << path;
        EXPECT_EQ(image->height, c.height) << path;
        if (c.blackEdges) {
            EXPECT_TRUE(IsBlackRim(image)) << path;
        }
        free(image->pixels);
        free(image);
    }
}

// Ocean, land and ice all appear on the earth; ice at the poles.
TEST(GeneratedArt, EarthHasOceansLandAndIceCaps)
{
    RgbImage *image = LoadImageFile("C:/windows/NimbraData/earth.bmp");
    ASSERT_NE(image, nullptr);
    int ocean = 0, green = 0, total = image->width * image->height;
    for (int i = 0; i < total; ++i) {
        const unsigned char *p = image->pixels + 3 * i;
        if (p[2] > p[0] + 40 && p[2] > p[1]) ++ocean;
        if (p[1] > p[0] + 10 && p[1] > p[2] + 10) ++green;
    }
    EXPECT_GT(ocean, total / 2);
    EXPECT_GT(green, total / 20);
    for (LONG row : {LONG(0), image->height - 1}) {   // first row south, last row north
        const unsigned char *p = image->pixels + 3 * size_t(row) * image->width;
        EXPECT_GT(p[0] + p[1] + p[2], 3 * 200) << "row " << row;
    }
    free(image->pixels);
    free(image);
}

TEST(GeneratedArt, MonitorBitmapIsSixteenColourPictureAndMask)
{
    HBITMAP monitor = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(3010));
    ASSERT_NE(monitor, nullptr);
    BITMAP info{};
    GetObjectA(monitor, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 368);
    EXPECT_EQ(info.bmHeight, 170);

    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(3010), MAKEINTRESOURCEA(2));   // RT_BITMAP
    ASSERT_NE(found, nullptr);
    const BITMAPINFOHEADER *header = static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(nullptr, found)));
    EXPECT_EQ(header->biBitCount, 4);

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, monitor);
    const COLORREF teal = RGB(0, 128, 128), black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    // The screen area is exactly x 16..168, y 17..129 of the picture.
    EXPECT_EQ(GetPixel(dc, 16, 17), teal);
    EXPECT_EQ(GetPixel(dc, 168, 129), teal);
    EXPECT_NE(GetPixel(dc, 15, 17), teal);
    EXPECT_NE(GetPixel(dc, 169, 129), teal);
    EXPECT_NE(GetPixel(dc, 16, 16), teal);
    EXPECT_NE(GetPixel(dc, 16, 130), teal);
    int opaque = 0;
    for (int y = 0; y < 170; ++y)
        for (int x = 0; x < 184; ++x) {
            const COLORREF mask = GetPixel(dc, 184 + x, y);
            ASSERT_TRUE(mask == black || mask == white) << x << "," << y;
            if (mask == white) {
                ASSERT_EQ(GetPixel(dc, x, y), black) << "visible where transparent at " << x << "," << y;
            }
            if (mask == black) ++opaque;
        }
    EXPECT_EQ(GetPixel(dc, 184 + 0, 169), white);   // the corners around the stand show the background
    EXPECT_EQ(GetPixel(dc, 184 + 90, 100), black);  // the screen does not
    EXPECT_GT(opaque, 184 * 140);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(monitor);
}

TEST(GeneratedArt, CornerButtonsAreGreyPlainCheckedAndRedDotted)
{
    HDC dc = CreateCompatibleDC(nullptr);
    int dark[3] = {}, red[3] = {};
    for (int id = 3011; id <= 3013; ++id) {
        HBITMAP button = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
        ASSERT_NE(button, nullptr) << id;
        BITMAP info{};
        GetObjectA(button, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 24);
        EXPECT_EQ(info.bmHeight, 22);
        HGDIOBJ old = SelectObject(dc, button);
        EXPECT_EQ(GetPixel(dc, 3, 3), RGB(192, 192, 192)) << id;
        for (int y = 3; y < 19; ++y)
            for (int x = 3; x < 21; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                if (GetRValue(c) < 60 && GetGValue(c) < 60) ++dark[id - 3011];
                if (GetRValue(c) > 150 && GetGValue(c) < 80) ++red[id - 3011];
            }
        SelectObject(dc, old);
        DeleteObject(button);
    }
    DeleteDC(dc);
    EXPECT_EQ(dark[0] + red[0], 0);
    EXPECT_GT(dark[1], 15);
    EXPECT_EQ(red[1], 0);
    EXPECT_GT(red[2], 20);
}

TEST(GeneratedArt, BothIconsHaveLargeAndSmallImages)
{
    for (int id : {100, 199})
        for (int size : {32, 16}) {
            HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                                       size, size, 0));
            ASSERT_NE(icon, nullptr) << id << " at " << size;
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP bits{};
            GetObjectA(info.hbmColor, sizeof bits, &bits);
            EXPECT_EQ(bits.bmWidth, size) << id;
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
}

} // namespace
