/* What the C client offers the test, in plain C types. */
#ifndef C_CLIENT_H
#define C_CLIENT_H

#include "framework/lullex.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct CClientOperations {
    ScrPrefs *(WINAPI *getPrefs)(void);
    void(WINAPI *setPrefs)(ScrPrefs *);
    int(WINAPI *run)(HINSTANCE, WNDPROC, DLGPROC, ScrClientInitRoutine, LONG);
    int(WINAPI *runWithHooks)(HINSTANCE, ScrCreateHook, ScrPropertySheetHook, ScrAboutHook,
                              ScrChangePasswordHook);
    int(WINAPI *runHosted)(HINSTANCE, HWND);
    HWND(WINAPI *createPreview)(HWND);
    WNDPROC defSaverProc;
    WNDPROC defClientProc;
    void(WINAPI *getGeneralSettings)(GeneralSettings *);
    void(WINAPI *startTimer)(HWND);
    void(WINAPI *stopTimer)(HWND);
    void(WINAPI *help)(HWND, UINT, DWORD);
    int(WINAPI *getVersion)(char *, int);
    UINT(WINAPI *customControlInfo)(LPCCINFOA);
    BOOL(WINAPI *libraryEntry)(HINSTANCE, DWORD);
    WNDPROC clientSaverProc;
    ScrAboutHook clientAbout;
} CClientOperations;

typedef struct CClientLayout {
    int prefsText1Offset;
    int prefsText2Offset;
    int prefsAlwaysOffset;
    int prefsLastOffset;
    int verifyPw;
    int internalMessage;
    int changePassword;
    int cornerBits;
    int hookDefault;
} CClientLayout;

const CClientOperations *CClientGetOperations(void);
void CClientGetLayout(CClientLayout *layout);
int CClientPrefsRoundTrip(const char *text);

#ifdef __cplusplus
}
#endif

#endif
