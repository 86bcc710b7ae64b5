// Answers the loader's message boxes from inside the test and records them.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct CaughtBox {
    std::string text;
    std::string caption;
    HWND owner = nullptr;
    bool hasIcon = false;
    std::vector<int> buttons;   // ids of the visible push buttons
};

// Real boxes: a WH_CBT hook on this thread reads each box when it is activated
// and presses OK.
void StartCatchingBoxes();
void StopCatchingBoxes();
const std::vector<CaughtBox> &CaughtBoxes();

// Thousands of boxes in a row: LoaderMessageBox is answered at once, and the
// call recorded without allocating.
struct RecordedBox {
    int calls;
    HWND owner;
    UINT style;
    char text[1100];
    char caption[32];
};
void StartRecordingBoxes();
void StopRecordingBoxes();
RecordedBox &RecordedBoxes();
