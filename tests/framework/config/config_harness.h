// Drives the configuration dialog from inside a test: the settings key of the
// test prefix, the framework's operations as ScrRun sets them, the modal sheet
// run step by step from a thread timer, message boxes answered, recording
// windows, the agent stand-ins and screenshots.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/lullex.h"
#include "support/pump.h"

#include <gtest/gtest.h>

// Names table-driven cases by the `name` field of their parameter.
template <class Case>
std::string CaseName(const testing::TestParamInfo<Case> &info)
{
    return info.param.name;
}

// ---- The "Screen Savers" key of HKEY_CURRENT_USER ----
void DeleteSettingsKey();
bool SettingsKeyExists();
void StoreDword(const char *name, DWORD value);
void StoreText(const char *name, const char *text);
bool ReadDword(const char *name, DWORD *value);
std::string ReadText(const char *name);   // "<absent>" when there is no such value, "<type N>" when not a text

// ---- The framework as ScrRun leaves it, with this program as the client, the
// default preferences and no messages or boxes recorded yet ----
void PrepareFramework(HINSTANCE client = NULL);
void ChangePrefs(const std::function<void(ScrPrefs &)> &edit);

// ---- The configuration dialog ----
struct SheetWindows {
    HWND sheet = NULL;   // "#32770" with the tab control
    HWND host = NULL;    // the hidden configuration host
    HWND general = NULL; // the General page once created
};

// One step of a script; returns true when it is done, false to be asked again
// at the next tick (about every 30 ms).
typedef std::function<bool(SheetWindows &)> SheetStep;

// Runs DoConfigDialog(owner, mode) and the steps once the sheet is up. A script
// that does not close the sheet is ended with Cancel. Returns DoConfigDialog's result.
int RunConfigSteps(HWND owner, LONG mode, const std::vector<SheetStep> &steps);
int RunConfigDialog(HWND owner, LONG mode, const std::function<void(SheetWindows &)> &actions);
// As above, with the sheet opened by start() (which returns what the caller wants kept).
int RunScripted(const std::function<int()> &start, const std::vector<SheetStep> &steps);
HWND FindSheet(const char *caption = NULL);
void PressOk(const SheetWindows &windows);
void PressCancel(const SheetWindows &windows);

// Control changes as a user makes them, with the notification the page sees.
void ChooseListRow(HWND page, int list, int row);
void TypeText(HWND page, int edit, const char *text);
void ClickCheckBox(HWND page, int box);
void ChooseCorner(HWND page, int corner, int choice);   // through the monitor's menu command
std::string ControlText(HWND page, int id);
std::string SelectedRowText(HWND page, int list);
std::vector<std::string> ListRows(HWND page, int list);
bool IsShown(HWND page, int id);
bool IsEnabled(HWND page, int id);

// ---- Message boxes: answered with OK and recorded ----
struct BoxSeen {
    std::string text, caption;
};
void WatchMessageBoxes();
void StopWatchingMessageBoxes();   // for dialogs of the test's own that look like boxes
std::vector<BoxSeen> &BoxesSeen();

// ---- Windows that record the messages they receive ----
struct Received {
    HWND window;
    UINT msg;
    WPARAM wParam;
    GeneralSettings settings;   // copy of the record, for SCRM_SETTINGSCHANGED
    std::string text;           // the section name, for WM_WININICHANGE
};
std::vector<Received> &ReceivedMessages();
HWND CreateRecorder(HWND parent, const char *title);   // top-level when parent is NULL
int CountReceived(HWND window, UINT msg);
// A preview-style monitor control in the page with a recorder as its preview.
HWND PlacePreviewMonitor(HWND page, HWND *preview);

// ---- Agent stand-ins: which variants LoadLibraryA finds, by folder name under
// standins\ ("sage", "sage-nodetect", "scrhots-nochange", ...; NULL for none) ----
void UseAgents(const char *sageFolder, const char *scrhotsFolder);
void RemoveAgents();
void SetAgentAnswer(const char *prefix, int answer);   // "NIMBRA_SAGE" or "NIMBRA_SCRHOTS"
int AgentCount(const char *prefix, const char *what);  // "DETECT_CALLS", "CHANGED_CALLS"
std::string AgentText(const char *prefix, const char *what);

// ---- Screenshots: screenshots\<name>.bmp beside the test programs ----
bool SaveWindowScreenshot(HWND window, const char *name);
