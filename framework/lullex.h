/*
 * lullex.h - the Lullex screen-saver framework, for client savers.
 *
 * A client saver calls one entry point (ScrRun, ScrRunWithHooks or ScrRunHosted)
 * once (in the linked framework a second call returns 2: the first mode's end
 * closed it); the framework reads the screen-saver command line and runs the mode
 * it asks for. The framework's resources must be in the client: linking
 * Lullex::lullex (or lullex_res.o) brings them; with lullex.dll they live in the
 * DLL. The guide for saver authors is share/doc/Lullex/lullex.md in the SDK
 * (docs/lullex.md in the framework's source tree).
 * This header compiles as C and as C++; a resource script may include it for
 * the MS_ styles.
 */
#ifndef LULLEX_H
#define LULLEX_H

#include <windows.h>

#ifndef RC_INVOKED
#include <prsht.h>
#include <custcntl.h>

#ifdef __cplusplus
extern "C" {
#endif

#define LULLEXAPI WINAPI

/* ---- Preferences ------------------------------------------------------- */

/* Never called by the framework; only tested for being set. */
typedef void (CALLBACK *ScrNotifyHook)(void);

typedef struct ScrPrefs {
    LONG size;                       /* SCRPREFS_SIZE; filled by ScrGetPrefs, ignored by ScrSetPrefs */
    LONG supportsActiveConfig;       /* offer active configuration over the running saver */
    LONG supportsMuteSound;          /* offer and store "Mute Sound" */
    LONG debugMessages;              /* debug log lines and debug-only message boxes */
    LONG debugMode;                  /* full-screen saver in a small overlapped window */
    LONG noAboutMenu;                /* no About entry in the property sheet's system menu */
    ScrNotifyHook notifyHook;        /* when set, settings changes skip monitor previews */
    LONG noTimers;                   /* no timer threads at all */
    char text1[256];                 /* free text, stored and returned */
    char text2[256];                 /* free text, stored and returned */
    LONG alwaysRequirePassword;      /* closing always asks for the password, whatever the wait
                                        and the desktop say; the General page says so instead
                                        of showing the wait */
    LONG neverRequirePassword;       /* closing never asks; the page says so, and changing the
                                        password (/a) is refused with a message */
    LONG passwordBeforeActiveConfig; /* (default 1) active configuration asks for the password
                                        first whenever closing would ask for it */
} ScrPrefs;

/* On 64-bit Windows the hook pointer takes 8 bytes and 8-byte alignment. */
#ifdef _WIN64
#define SCRPREFS_SIZE 560
#else
#define SCRPREFS_SIZE 556
#endif

/* Returns a new copy of the preferences in force (the caller owns it), or NULL. */
ScrPrefs *LULLEXAPI ScrGetPrefs(void);
/* Installs prefs and frees the record; refused (record kept) while a mode runs or for NULL. */
void LULLEXAPI ScrSetPrefs(ScrPrefs *prefs);

/* ---- Entry points -------------------------------------------------------- */

#define HOOK_DEFAULT 9   /* a hook's answer asking for the framework's default */

typedef void (CALLBACK *ScrClientInitRoutine)(HINSTANCE instance);
typedef HWND (CALLBACK *ScrCreateHook)(LONG kind, CREATESTRUCTA *create);
typedef int (CALLBACK *ScrPropertySheetHook)(HWND owner, PROPSHEETHEADERA *header, LONG activeConfig);
typedef int (CALLBACK *ScrAboutHook)(HWND owner);
typedef int (CALLBACK *ScrChangePasswordHook)(HWND owner);

/* Runs the mode of the command line with saverProc as the saver windows' procedure.
   clientDialogProc (dialog 2003 of the client) and init may be NULL; unused is ignored.
   Returns the mode's result, 2 for every failure. */
int LULLEXAPI ScrRun(HINSTANCE instance, WNDPROC saverProc, DLGPROC clientDialogProc,
                     ScrClientInitRoutine init, LONG unused);
/* As ScrRun, with DefSaverProc as window procedure and hooks that may take over
   window creation, the property sheet, the About box and the password change. */
int LULLEXAPI ScrRunWithHooks(HINSTANCE instance, ScrCreateHook createHook,
                              ScrPropertySheetHook propertySheetHook, ScrAboutHook aboutHook,
                              ScrChangePasswordHook changePasswordHook);
/* As ScrRun, asking hostWindow first (SCRM_CREATE..., SCRM_PROPERTYSHEET, ...). */
int LULLEXAPI ScrRunHosted(HINSTANCE instance, HWND hostWindow);

/* Creation record of every saver and preview window (lpCreateParams); freed at WM_CREATE. */
typedef struct SaverCreateParams {
    LONG reserved;   /* always 0 */
    LONG kind;       /* SAVERKIND_... */
} SaverCreateParams;

#define SAVERKIND_FULLSCREEN     0
#define SAVERKIND_MONITORPREVIEW 1
#define SAVERKIND_SYSTEMPREVIEW  2

/* Places a preview of the saver in window (or in a monitor control of style MS_PREVIEW). */
HWND LULLEXAPI CreatePreview(HWND window);

/* ---- Saver windows -------------------------------------------------------- */

/* Default procedure of every saver window: closing rules, passwords, timers. */
LRESULT CALLBACK DefSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
/* Default procedure of a ScrRunHosted host window: 0 for SCRM_CREATECONFIGPREVIEW..0x806D. */
LRESULT CALLBACK DefClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

typedef struct GeneralSettings {
    DWORD cbSize;         /* 24 */
    BYTE corner[4];       /* top-left, top-right, bottom-right, bottom-left: 0 default, 1 now, 2 never */
    LONG muteSound;
    LONG mouseThreshold;  /* pixels */
    DWORD passwordDelay;  /* seconds */
    LONG activeConfig;
} GeneralSettings;

/* Fills settings from the registry; cbSize is left as the caller set it. */
void LULLEXAPI ScrGetGeneralSettings(GeneralSettings *settings);

/* Private messages of saver windows. */
#define SCRM_VERIFYPW        0x8000  /* default: 1 when the password was accepted */
#define SCRM_ACTIVECONFIG    0x8001  /* default: runs the active-configuration dialog */
#define SCRM_SETTINGSCHANGED 0x8002  /* wParam notice code, lParam GeneralSettings* */
#define SCRM_TIMER           0x8003  /* return the next period in ms; -1 stops the timer */
#define SCRM_DIALOGACTIVE    0x8004  /* wParam 1: a framework dialog shows, 0: it has gone */
#define SCRM_INTERNAL        0x8009  /* wParam SCRINTERNAL_... */

#define SCRINTERNAL_TICK       0
#define SCRINTERNAL_HADENOUGH  1
#define SCRINTERNAL_STARTTIMER 2

/* Notice codes of SCRM_SETTINGSCHANGED: low 12 bits the record, high bits routing. */
#define SCRNOTIFY_GENERALSETTINGS 0x0001
#define SCRNOTIFY_RECORDMASK      0x0FFF
#define SCRNOTIFY_AFTERCHANGE     0x1000
#define SCRNOTIFY_AFTEROK         0x2000
#define SCRNOTIFY_TOPREVIEWS      0x4000
#define SCRNOTIFY_TOOWNER         0x8000

/* Messages to the host window of ScrRunHosted: nonzero reply = the client did it. */
#define SCRM_CREATECONFIGPREVIEW 0x8064
#define SCRM_CREATESYSPREVIEW    0x8065
#define SCRM_CREATEPREVIEW       0x8066
#define SCRM_CREATESAVER         0x8067
#define SCRM_CREATEWINDOW        0x8068
#define SCRM_PROPERTYSHEET       0x8069
#define SCRM_ABOUT               0x806A
#define SCRM_CHANGEPASSWORD      0x806B

/* ---- Timers -------------------------------------------------------------- */

/* Both timer calls are for the thread that owns the window: from any other
   thread they do nothing (with a debug line). */
/* Starts the window's timer thread; ticks arrive as SCRM_TIMER, the first at once.
   Only for a window whose WM_CREATE reached DefSaverProc: any other window gets no
   timer. A timer that already runs is left as it is, at its pace. */
void LULLEXAPI ScrStartTimer(HWND hwnd);
/* Stops it; does not wait for the thread. */
void LULLEXAPI ScrStopTimer(HWND hwnd);

/* ---- Help, version, dialog editors ------------------------------------------ */

/* WinHelp for a control of the client's page (HELP_WM_HELP, HELP_CONTEXTMENU, ...). */
void LULLEXAPI ScrHelp(HWND control, UINT command, DWORD contextId);
/* Copies the version text (capacity counts the terminator); returns its length. */
int LULLEXAPI ScrGetVersion(char *buffer, int capacity);
/* Custom-control information for dialog editors; returns 1. */
UINT LULLEXAPI ScrCustomControlInfo(LPCCINFOA info);
/* Process entry of the framework hosted as a library of its own. */
BOOL LULLEXAPI ScrLibraryEntry(HINSTANCE module, DWORD reason);

/* The library's file name; it must sit in the Windows directory. The x64 one has
   a name of its own, so that both live there side by side on 64-bit Windows. */
#ifdef _WIN64
#define LULLEX_DLL_NAME "lullex64.dll"
#else
#define LULLEX_DLL_NAME "lullex.dll"
#endif

#ifdef __cplusplus
}
#endif
#endif /* RC_INVOKED */

/* ---- Monitor control ("LullexMonitorClass") styles, also for resource scripts */

#define MS_KINDMASK       0x0003
#define MS_NOTHING        0x0000
#define MS_PREVIEW        0x0001
#define MS_CORNERS        0x0002
#define MS_CTOPLEFTDEF    0x0000
#define MS_CTOPLEFTNOW    0x0010
#define MS_CTOPLEFTNEV    0x0020
#define MS_CTOPRIGHTDEF   0x0000
#define MS_CTOPRIGHTNOW   0x0040
#define MS_CTOPRIGHTNEV   0x0080
#define MS_CBOTRIGHTDEF   0x0000
#define MS_CBOTRIGHTNOW   0x0100
#define MS_CBOTRIGHTNEV   0x0200
#define MS_CBOTLEFTDEF    0x0000
#define MS_CBOTLEFTNOW    0x0400
#define MS_CBOTLEFTNEV    0x0800
#define MS_CORNERBITS     0x0FF0

/* The record layout is part of the interface: 8 longs, two texts, 3 longs. */
#if !defined(_WIN64) && !defined(RC_INVOKED)
typedef char lullex_scrprefs_is_556_bytes[(sizeof(ScrPrefs) == SCRPREFS_SIZE) ? 1 : -1];
typedef char lullex_generalsettings_is_24_bytes[(sizeof(GeneralSettings) == 24) ? 1 : -1];
typedef char lullex_createparams_is_8_bytes[(sizeof(SaverCreateParams) == 8) ? 1 : -1];
#endif
#if defined(_WIN64) && !defined(RC_INVOKED)
typedef char lullex_scrprefs_is_560_bytes[(sizeof(ScrPrefs) == SCRPREFS_SIZE) ? 1 : -1];
#endif

#endif /* LULLEX_H */
