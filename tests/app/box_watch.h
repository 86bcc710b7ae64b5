// Answers the message boxes this thread shows, from a CBT hook, and keeps what each
// one looked like: text, caption, buttons, icon, and what the test wanted to know of
// the program's state at the moment the box appeared.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct SeenBox {
    std::string text;
    std::string caption;
    std::vector<int> buttons;   // ids of the push buttons, in child order
    HICON icon;                 // the icon the box shows, or null
    std::string note;           // filled by the snapshot function, if any
};

typedef std::string (*BoxSnapshot)();

// Installs the hook; the boxes are answered in turn from answers (ids such as IDYES),
// and with their default button once the list runs out.
void WatchMessageBoxes(std::vector<int> answers, BoxSnapshot snapshot = nullptr);
void StopWatchingMessageBoxes();
const std::vector<SeenBox> &SeenBoxes();

// The system's shared icon for a standard id (IDI_WARNING, IDI_ERROR, ...).
HICON SystemIcon(LPCSTR id);

// Reads a message box window of any process: its text, caption, buttons and icon.
SeenBox DescribeMessageBox(HWND box);
