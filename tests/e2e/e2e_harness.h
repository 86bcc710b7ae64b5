// nimbra.scr as the desktop starts it: the animation runs first and is ended
// from here (answering the windowed-mode question a bare X server provokes),
// then the framework runs the mode of the command line.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "child_process.h"

extern const char SaverKey[];

class NimbraScr : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static void SetMouseThreshold(DWORD pixels);
    // A DWORD of the saver key; `missing` when the value is not there.
    static DWORD StoredValue(const char *name, DWORD missing = 0xDEADBEEF);

    // Starts nimbra.scr (the built one, or the one at `program`) and ends its
    // animation; false when that did not happen.
    bool StartPastTheAnimation(const std::string &arguments);
    bool StartPastTheAnimation(const std::string &program, const std::string &arguments);
    HWND WaitForSaverWindow();

    ChildProcess child;
};
