// The program's frame loop, one pass at a time: it follows the window, advances
// the scene by the steps the clock says are due (60 a second) or by one step per
// frame, draws and shows the frame, and sleeps until the next frame is due.
#pragma once
#include "linux/saver_options.h"

#include <cstdint>

struct FrameLoop {
    int width = 0, height = 0;   // the window's size
    int64_t periodNs = 0;        // the frame period
    bool fixedStep = false;
    bool showFrameRate = false;
    int64_t start = 0;           // when the first step fell due
    int64_t nextFrame = 0;       // when the next frame is due
    long steps = 0;              // steps taken since start
    long frames = 0;             // frames drawn since start
    int64_t lastFrame = 0;       // when the last of them was drawn
    int64_t rateStart = 0;       // the frame rate: frames drawn since rateStart
    long rateFrames = 0;
    double framesPerSecond = 0;
};

// Starts the clock with the window's size: the first pass draws at once.
void StartFrameLoop(FrameLoop *loop, const SaverOptions &options, int width, int height);
// One pass. False when the animation must end: its window is gone, or Escape or
// the close button on its own window.
bool RunFramePass(FrameLoop *loop);
