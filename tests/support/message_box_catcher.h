// Answers the message boxes a test provokes: a CBT hook on the test's thread
// records each box's text, caption, owner and buttons when it is activated,
// then presses its default button.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct CaughtBox {
    std::string text;
    std::string caption;
    HWND owner;
    bool hasOk;
    bool hasCancel;
    bool hasWarningIcon;
    bool okOnly;   // OK is its only answer: no Cancel, Yes or No
};

class MessageBoxCatcher {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    std::vector<CaughtBox> boxes;

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static MessageBoxCatcher *active;
    HHOOK hook;
    std::vector<HWND> open;
};
