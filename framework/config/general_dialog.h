// The user's screen-saver settings, with a remembered copy for Cancel.
#pragma once
#include <windows.h>

enum NotifyForm { NotifyAfterChange, NotifyAfterOk };

class GeneralDialog {
public:
    GeneralDialog();   // defaults, ReadRegistry, Remember

    void ReadRegistry();
    void WriteRegistry();
    void Remember();
    bool Revert();

    void SetupControls(HWND page);   // General page
    void ReadControls(HWND page);
    LRESULT NotifyChanges(HWND page, NotifyForm form);   // system agent and host

    LONG fillingControls;
    BYTE corner[4];
    BYTE rememberedCorner[4];
    LONG muteSound;
    LONG rememberedMuteSound;
    LONG mouseThreshold;
    LONG rememberedMouseThreshold;
    LONG mouseThresholdIndex;
    LONG rememberedMouseThresholdIndex;
    LONG passwordDelay;
    LONG rememberedPasswordDelay;
    LONG passwordDelayIndex;
    LONG rememberedPasswordDelayIndex;
    LONG activeConfig;
    LONG rememberedActiveConfig;
};
