// Shared pieces of the saver runtime tests: a client window procedure whose answers
// the test scripts, saver and preview windows made the way the framework makes
// them, the log lines as the framework writes them, registry values that clean up
// after themselves, and the thread list's final walk.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/lullex.h"
#include "support/log_capture.h"
#include "support/message_box_catcher.h"

// What the client procedure answers and what it saw. Touched only on the test's
// own thread (the window thread).
struct ClientScript {
    // SCRM_TIMER: forward to DefSaverProc when false, else answer timerPeriod
    // after sleeping handlerMs.
    bool answerTimer = false;
    LRESULT timerPeriod = 0;
    DWORD handlerMs = 0;
    std::vector<DWORD> tickTimes;
    std::function<void(HWND)> onTick;

    // SCRM_ACTIVECONFIG answered here (recorded) instead of the framework's dialog.
    bool answerActiveConfig = true;
    int activeConfigCalls = 0;
    LONG dialogActiveDuringConfig = -1;
    POINT moveCursorDuringConfig = {-1, -1};

    // SCRM_VERIFYPW: forward when verifyAnswer < 0, else answer it.
    LRESULT verifyAnswer = -1;
    int verifyCalls = 0;
    LONG dialogActiveDuringVerify = -1;
    std::function<void(HWND)> duringVerify;

    std::vector<WPARAM> dialogActiveSent;   // SCRM_DIALOGACTIVE wParams, in order
    int closeMessages = 0;                  // WM_CLOSE received
    LONG createKind = -1;                   // SaverCreateParams.kind seen in WM_CREATE
};

extern ClientScript Client;

LRESULT CALLBACK TestClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void RegisterTestClasses();
HWND CreateFullSaver();
HWND CreateParentWindow(const char *className = "RuntimeTestParentClass");
HWND CreateChildSaver(HWND parent, LONG kind = SAVERKIND_SYSTEMPREVIEW);

// Messages.
void PumpFor(DWORD ms);
bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs);
void DiscardPostedCloses(HWND hwnd);
bool ClosePosted(HWND hwnd);
bool QuitPosted(int *exitCode);

// Preferences, installed through the public copy-and-replace interface.
void ChangePrefs(const std::function<void(ScrPrefs &)> &change);
// The framework as a fresh process has it (the framework's reset point), default
// preferences with the log switched on, an empty message queue and a clean client
// script: what every test starts from, as all run in one process.
void StartFresh();

std::string Plain(const std::string &text);                               // as DebugOut writes it
std::string Tagged(const char *source, const std::string &text);          // as DebugOutFrom does
std::string Full(const std::string &text);                                // "full DefSaverProc"
std::string Preview(const std::string &text);                             // "preview DefSaverProc"

// A registry value under HKEY_CURRENT_USER, removed again (with its key, if the
// key was made for it) when the object goes.
class ScopedValue {
public:
    ScopedValue(const char *keyPath, const char *name, DWORD type, const void *data, DWORD size);
    ScopedValue(const char *keyPath, const char *name, DWORD value);
    ~ScopedValue();

private:
    std::string keyPath, name;
    bool createdKey;
};
extern const char *const DesktopKey;   // "Control Panel\Desktop"
extern const char *const SaverKey;     // the screen-saver settings key

// Ends the thread list the way the end of a mode does: stops the timers of this
// thread's windows that still run, waits for every listed thread (at most
// timeoutMs in all), closes the handles and frees the nodes. Returns whether all
// threads had ended.
bool DrainTimerThreads(DWORD timeoutMs);
int TimerThreadCount();   // nodes in the list
int ProcessThreadCount(); // threads of this process, from a system snapshot
int ProcessHandleCount(); // handles of this process, from the system's handle table

// Makes the PASSWORD.CPL stand-in findable (or not), and resets its record.
void UsePasswordStandIn(bool present, const char *answer = "1");
int PasswordCalls();
HWND PasswordOwner();
int PasswordCursorCount();
