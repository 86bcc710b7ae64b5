// The process-wide preferences and the copies handed to client savers.
#include "framework/startup/prefs.h"

#include <stdlib.h>

#include "framework/services/services.h"
#include "framework/startup/entry.h"

ScrPrefs CurrentPrefs;
bool DefaultsApplied = false;

static const int TextCapacity = sizeof(((ScrPrefs *)0)->text1);

// Copies at most 255 characters and always terminates, so a client text that
// fills its whole field without a NUL never runs past it.
static void CopyText(char *to, const char *from)
{
    int length = 0;
    while (length < TextCapacity - 1 && from[length] != '\0') {
        to[length] = from[length];
        length++;
    }
    to[length] = '\0';
}

// Fields 2 to 13; size is never copied.
static void CopyPrefs(ScrPrefs *to, const ScrPrefs *from)
{
    to->supportsActiveConfig = from->supportsActiveConfig;
    to->supportsMuteSound = from->supportsMuteSound;
    to->debugMessages = from->debugMessages;
    to->debugMode = from->debugMode;
    to->noAboutMenu = from->noAboutMenu;
    to->notifyHook = from->notifyHook;
    to->noTimers = from->noTimers;
    CopyText(to->text1, from->text1);
    CopyText(to->text2, from->text2);
    to->alwaysRequirePassword = from->alwaysRequirePassword;
    to->neverRequirePassword = from->neverRequirePassword;
    to->passwordBeforeActiveConfig = from->passwordBeforeActiveConfig;
}

static void ReportPrefsError(const char *text)
{
    DebugOut(text);
    DebugMessageBox(NULL, text, "Prefs error");
}

void InitDefaultPrefs()
{
    if (DefaultsApplied)
        return;
    CurrentPrefs.supportsActiveConfig = 0;
    CurrentPrefs.supportsMuteSound = 1;
    CurrentPrefs.debugMessages = 0;
    CurrentPrefs.debugMode = 0;
    CurrentPrefs.noAboutMenu = 0;
    CurrentPrefs.notifyHook = NULL;
    CurrentPrefs.noTimers = 0;
    CurrentPrefs.text1[0] = '\0';
    CurrentPrefs.text2[0] = '\0';
    CurrentPrefs.alwaysRequirePassword = 0;
    CurrentPrefs.neverRequirePassword = 0;
    CurrentPrefs.passwordBeforeActiveConfig = 1;
    DefaultsApplied = true;
}

ScrPrefs *LULLEXAPI ScrGetPrefs(void)
{
    ScrEnsureInit();
    InitDefaultPrefs();
    // Zeroed, so that the bytes after each text's end are not whatever the heap held.
    ScrPrefs *copy = (ScrPrefs *)calloc(1, sizeof(ScrPrefs));
    if (copy == NULL)
        return NULL;
    copy->size = SCRPREFS_SIZE;
    CopyPrefs(copy, &CurrentPrefs);
    return copy;
}

void LULLEXAPI ScrSetPrefs(ScrPrefs *prefs)
{
    ScrEnsureInit();
    if (FrameworkRunning) {
        ReportPrefsError("You are not allowed to set prefs while screensaver is running");
        return;
    }
    if (prefs == NULL) {
        ReportPrefsError("ScrSetPrefs called with NULL preferences");
        return;
    }
    CopyPrefs(&CurrentPrefs, prefs);
    if (CurrentPrefs.alwaysRequirePassword && CurrentPrefs.neverRequirePassword)
        ReportPrefsError("You have set always-require-password AND never-require-password, which is silly!");
    free(prefs);
}
