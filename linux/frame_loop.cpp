#include "linux/frame_loop.h"
#include "linux/frame_rate.h"
#include "linux/glx_window.h"
#include "linux/stop_signals.h"
#include "platform/scene_platform.h"
#include "scene/scene.h"

namespace {

const int64_t second = 1000000000;
const int stepsPerSecond = 60;
// After a stall (a suspended machine, a stopped process) the scene catches up at
// most one second's steps and goes on from there.
const long largestCatchUp = stepsPerSecond;

// The time at which step number step (counted from 0) falls due.
int64_t StepTime(const FrameLoop &loop, long step)
{
    return loop.start + int64_t(step) * second / stepsPerSecond;
}

int StepsDue(FrameLoop *loop, int64_t now)
{
    if (loop->fixedStep) return 1;
    long due = long((now - loop->start) * stepsPerSecond / second) + 1 - loop->steps;
    if (due > largestCatchUp) {
        loop->start += int64_t(due - largestCatchUp) * second / stepsPerSecond;
        due = largestCatchUp;
    }
    return int(due < 0 ? 0 : due);
}

void CountFrame(FrameLoop *loop, int64_t now)
{
    ++loop->frames;
    loop->lastFrame = now;
    ++loop->rateFrames;
    if (now - loop->rateStart >= second) {
        loop->framesPerSecond = double(loop->rateFrames) * second / double(now - loop->rateStart);
        loop->rateStart = now;
        loop->rateFrames = 0;
    }
}

void DrawDueSteps(FrameLoop *loop, int64_t now)
{
    const int steps = StepsDue(loop, now);
    if (steps == 0) return;   // nothing new to show
    AdvanceScene(steps);
    loop->steps += steps;
    CountFrame(loop, now);
    if (loop->showFrameRate) DrawFrameRate(loop->framesPerSecond, loop->width, loop->height);
    SwapSceneBuffers();
}

// A frame late by more than its period starts the count afresh instead of
// hurrying to catch up.
void ScheduleNextFrame(FrameLoop *loop, int64_t now)
{
    loop->nextFrame += loop->periodNs;
    if (loop->nextFrame < now) loop->nextFrame = now;
}

// The next frame, and with the clock's steps no sooner than the next step.
int64_t NextDeadline(const FrameLoop &loop)
{
    if (loop.fixedStep) return loop.nextFrame;
    const int64_t nextStep = StepTime(loop, loop.steps);
    return nextStep > loop.nextFrame ? nextStep : loop.nextFrame;
}

} // namespace

void StartFrameLoop(FrameLoop *loop, const SaverOptions &options, int width, int height)
{
    *loop = FrameLoop();
    loop->width = width;
    loop->height = height;
    loop->periodNs = int64_t(options.delay) * 1000;
    loop->fixedStep = options.fixedStep;
    loop->showFrameRate = options.showFrameRate;
    loop->start = loop->nextFrame = loop->rateStart = MonotonicNow();
}

bool RunFramePass(FrameLoop *loop)
{
    if (!HandleWindowEvents(&loop->width, &loop->height)) return false;
    const int64_t now = MonotonicNow();
    if (now >= NextDeadline(*loop)) {
        DrawDueSteps(loop, now);
        ScheduleNextFrame(loop, now);
    }
    if (!WindowEventsWaiting()) WaitForDeadlineOrInput(NextDeadline(*loop), WindowConnectionFd());
    return true;
}
