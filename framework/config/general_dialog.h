// The user's screen-saver settings, with a remembered copy for Cancel.
#pragma once
#include <windows.h>

// The General page's controls.
enum {
    SensitivityList = 3632, WaitLabel = 3633, WaitBox = 3634, WaitUpDown = 3635,
    WaitUnitList = 3636, WaitTrailer = 3637, AgentActiveText = 3638, AgentMissingText = 3639,
    MonitorControl = 3640, MuteSoundBox = 3641, ActiveConfigBox = 3643, FixedPasswordText = 3644,
};

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
