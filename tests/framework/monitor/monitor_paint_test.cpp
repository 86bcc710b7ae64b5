// The monitor's paint, checked on the pixels it leaves in its window: the
// picture laid over the parent through the mask, the corner buttons by state.
#include <gtest/gtest.h>
#include "monitor_harness.h"
#include "framework/lullex.h"
#include "framework/monitor/monitor.h"
#include "framework/services/services.h"

namespace {

struct Art {
    Pixels monitor;            // picture left, mask right
    Pixels buttons[3];
};

Art ReadArt()
{
    Art art;
    art.monitor = ReadBitmap(monitorBitmap);
    for (int i = 0; i < 3; i++)
        art.buttons[i] = ReadBitmap(cornerBitmap[i]);
    return art;
}

// What a transparent blit makes of the background at x, y: keep it where the
// mask is white, then lay the picture over it.
DWORD Composite(const Art &art, DWORD background, int x, int y)
{
    DWORD mask = art.monitor.At(monitorWidth + x, y);
    DWORD picture = art.monitor.At(x, y);
    return (background & mask) ^ picture;
}

bool IsTeal(DWORD bgrx)
{
    int r = (bgrx >> 16) & 0xFF, g = (bgrx >> 8) & 0xFF, b = bgrx & 0xFF;
    return g > r + 40 && b > r + 40;
}

class MonitorPaint : public FreshMonitor {
protected:
    void SetUp() override
    {
        FreshMonitor::SetUp();
        art = ReadArt();
        ASSERT_EQ(368, art.monitor.width);
        ASSERT_EQ(170, art.monitor.height);
    }
    Pixels PaintAndCapture(LONG style, const char *screenshot)
    {
        EXPECT_TRUE(harness.Create(style, 60, 50, 184, 170));
        RedrawWindow(harness.parent, NULL, NULL,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pixels shot = CaptureWindow(harness.control, monitorWidth, monitorHeight);
        EXPECT_TRUE(SaveScreenshot(shot, screenshot));
        return shot;
    }
    bool InsideButton(int x, int y) const
    {
        POINT point = {x, y};
        for (const RECT &rect : cornerRect)
            if (PtInRect(&rect, point))
                return true;
        return false;
    }
    Art art;
    MonitorHarness harness;
};

TEST_F(MonitorPaint, PictureIsLaidOverTheParentThroughTheMask)
{
    Pixels shot = PaintAndCapture(MS_NOTHING, "monitor_picture_only");
    ASSERT_EQ(monitorWidth, shot.width);
    DWORD parent = Bgrx(kParentColour);
    int wrong = 0, background = 0, teal = 0, screenArea = 0;
    for (int y = 0; y < monitorHeight; y++) {
        for (int x = 0; x < monitorWidth; x++) {
            DWORD expected = Composite(art, parent, x, y);
            if (shot.At(x, y) != expected && wrong++ < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << shot.At(x, y)
                              << " not " << expected;
            bool transparent = art.monitor.At(monitorWidth + x, y) == 0xFFFFFF;
            if (transparent && art.monitor.At(x, y) == 0) {
                background++;
                EXPECT_EQ(parent, shot.At(x, y)) << x << "," << y;
            }
            POINT point = {x, y};
            if (PtInRect(&screenRect, point)) {
                screenArea++;
                teal += IsTeal(shot.At(x, y));
            }
        }
    }
    EXPECT_EQ(0, wrong);
    // Around the stand the parent shows through; the screen area is the teal picture.
    EXPECT_GT(background, monitorWidth * 10) << "no background visible around the stand";
    EXPECT_GT(teal, screenArea * 3 / 4) << "the screen area is not teal";
}

TEST_F(MonitorPaint, CornersStyleDrawsEachButtonByItsState)
{
    // now, never, both bits (default), default
    Pixels shot = PaintAndCapture(MS_CORNERS | 0x10 | 0x80 | 0x300, "monitor_corners");
    ASSERT_EQ(monitorWidth, shot.width);
    const int state[4] = {1, 2, 0, 0};
    for (int corner = 0; corner < 4; corner++) {
        const Pixels &button = art.buttons[state[corner]];
        ASSERT_EQ(cornerWidth, button.width);
        int wrong = 0;
        for (int y = 0; y < cornerHeight; y++)
            for (int x = 0; x < cornerWidth; x++)
                wrong += shot.At(cornerRect[corner].left + x, cornerRect[corner].top + y) != button.At(x, y);
        EXPECT_EQ(0, wrong) << "corner " << corner;
    }
    // Outside the buttons it is the same picture as without them.
    DWORD parent = Bgrx(kParentColour);
    int wrong = 0;
    for (int y = 0; y < monitorHeight; y++)
        for (int x = 0; x < monitorWidth; x++)
            if (!InsideButton(x, y))
                wrong += shot.At(x, y) != Composite(art, parent, x, y);
    EXPECT_EQ(0, wrong);
}

TEST_F(MonitorPaint, ButtonBitmapsDifferByState)
{
    ASSERT_EQ(24 * 22, (int)art.buttons[0].bits.size());
    EXPECT_TRUE(art.buttons[0].bits != art.buttons[1].bits) << "default and now look the same";
    EXPECT_TRUE(art.buttons[0].bits != art.buttons[2].bits) << "default and never look the same";
    EXPECT_TRUE(art.buttons[1].bits != art.buttons[2].bits) << "now and never look the same";
}

TEST_F(MonitorPaint, RepaintIsStableOverItsOwnPicture)
{
    // A second paint copies its background from what the first one left; the
    // transparent pixels must still show the parent, not a doubled picture.
    Pixels first = PaintAndCapture(MS_CORNERS, "monitor_repaint_first");
    InvalidateRect(harness.control, NULL, FALSE);
    UpdateWindow(harness.control);
    Pixels second = CaptureWindow(harness.control, monitorWidth, monitorHeight);
    ASSERT_EQ(first.bits.size(), second.bits.size());
    int changed = 0;
    for (size_t i = 0; i < first.bits.size(); i++)
        changed += first.bits[i] != second.bits[i];
    EXPECT_EQ(0, changed) << "pixels changed by a repaint";
}

TEST_F(MonitorPaint, WithoutThePictureNothingIsDrawn)
{
    ReleaseMonitorResources();
    Pixels shot = PaintAndCapture(MS_CORNERS, "monitor_without_picture");
    ASSERT_EQ(monitorWidth, shot.width);
    DWORD parent = Bgrx(kParentColour);
    int wrong = 0;
    for (DWORD pixel : shot.bits)
        wrong += pixel != parent;
    EXPECT_EQ(0, wrong);
}

} // namespace
