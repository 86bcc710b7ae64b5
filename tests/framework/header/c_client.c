/* A client saver written in C: it uses the framework's types, constants and
   every public operation, so compiling and linking this file proves that the
   public header serves C clients. */
#include "framework/lullex.h"

#include "c_client.h"

static LRESULT CALLBACK ClientSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == SCRM_TIMER)
        return 40;
    return DefSaverProc(hwnd, msg, wParam, lParam);
}

static int CALLBACK ClientAbout(HWND owner)
{
    (void)owner;
    return HOOK_DEFAULT;
}

const CClientOperations *CClientGetOperations(void)
{
    static CClientOperations operations;
    operations.getPrefs = ScrGetPrefs;
    operations.setPrefs = ScrSetPrefs;
    operations.run = ScrRun;
    operations.runWithHooks = ScrRunWithHooks;
    operations.runHosted = ScrRunHosted;
    operations.createPreview = CreatePreview;
    operations.defSaverProc = DefSaverProc;
    operations.defClientProc = DefClientProc;
    operations.getGeneralSettings = ScrGetGeneralSettings;
    operations.startTimer = ScrStartTimer;
    operations.stopTimer = ScrStopTimer;
    operations.help = ScrHelp;
    operations.getVersion = ScrGetVersion;
    operations.customControlInfo = ScrCustomControlInfo;
    operations.libraryEntry = ScrLibraryEntry;
    operations.clientSaverProc = ClientSaverProc;
    operations.clientAbout = ClientAbout;
    return &operations;
}

void CClientGetLayout(CClientLayout *layout)
{
    ScrPrefs prefs;
    layout->prefsText1Offset = (int)((char *)prefs.text1 - (char *)&prefs);
    layout->prefsText2Offset = (int)((char *)prefs.text2 - (char *)&prefs);
    layout->prefsAlwaysOffset = (int)((char *)&prefs.alwaysRequirePassword - (char *)&prefs);
    layout->prefsLastOffset = (int)((char *)&prefs.passwordBeforeActiveConfig - (char *)&prefs);
    layout->verifyPw = SCRM_VERIFYPW;
    layout->internalMessage = SCRM_INTERNAL;
    layout->changePassword = SCRM_CHANGEPASSWORD;
    layout->cornerBits = MS_CORNERBITS;
    layout->hookDefault = HOOK_DEFAULT;
}

int CClientPrefsRoundTrip(const char *text)
{
    ScrPrefs *prefs = ScrGetPrefs();
    int size;
    if (prefs == NULL)
        return -1;
    size = prefs->size;
    lstrcpynA(prefs->text1, text, sizeof(prefs->text1));
    prefs->noTimers = 1;
    ScrSetPrefs(prefs);
    return size;
}
