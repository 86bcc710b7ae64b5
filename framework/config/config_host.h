// The configuration dialog host, its property sheet, the About box and help.
#pragma once
#include "framework/lullex.h"

struct ConfigHostParams {
    LONG mode;     // 0 ordinary configuration, 1 active configuration
    LONG result;
};

// Page-to-host form of a settings change (SCRM_SETTINGSCHANGED with wParam 0).
struct SettingsChangeNotice {
    HWND sheet;
    LONG code;
    GeneralSettings *settings;
};

int DoConfigDialog(HWND owner, LONG mode);
INT_PTR CALLBACK ConfigHostDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
int ExecuteUserDialog(HWND owner, PROPSHEETHEADERA *header);   // ScrRun's slot
INT_PTR CALLBACK ClientPageDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void ForwardToPreviews(HWND window, SettingsChangeNotice *notice);
int ShowAboutBox(HWND owner);                                     // ScrRun's showAbout slot
int ShowFrameworkAboutBox(HWND owner);                            // dialog 3602 alone
INT_PTR CALLBACK AboutDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
