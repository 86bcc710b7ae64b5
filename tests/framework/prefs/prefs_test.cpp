#include <gtest/gtest.h>
#include <malloc.h>
#include <windows.h>

#include <string>

#include "framework/lullex.h"
#include "support/log_capture.h"
#include "support/message_box_catcher.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "framework/startup/prefs.h"

namespace {

const char *const RunningRefusal = "You are not allowed to set prefs while screensaver is running";
const char *const NullRefusal = "ScrSetPrefs called with NULL preferences";
const char *const SillyWarning =
    "You have set always-require-password AND never-require-password, which is silly!";

void CALLBACK SomeHook() {}

// A record whose every field differs from the defaults.
ScrPrefs *UnusualPrefs()
{
    ScrPrefs *prefs = ScrGetPrefs();
    prefs->supportsActiveConfig = 1;
    prefs->supportsMuteSound = 0;
    prefs->debugMode = 7;
    prefs->noAboutMenu = -1;
    prefs->notifyHook = SomeHook;
    prefs->noTimers = 1;
    strcpy(prefs->text1, "first text");
    strcpy(prefs->text2, "second text");
    prefs->alwaysRequirePassword = 1;
    prefs->passwordBeforeActiveConfig = 0;
    return prefs;
}

void SetDebugMessages(LONG on)
{
    ScrPrefs *prefs = ScrGetPrefs();
    prefs->debugMessages = on;
    ScrSetPrefs(prefs);
}

void ExpectDefaults(const ScrPrefs *p)
{
    EXPECT_EQ(p->size, SCRPREFS_SIZE);
    EXPECT_EQ(p->supportsActiveConfig, 0);
    EXPECT_EQ(p->supportsMuteSound, 1);
    EXPECT_EQ(p->debugMessages, 0);
    EXPECT_EQ(p->debugMode, 0);
    EXPECT_EQ(p->noAboutMenu, 0);
    EXPECT_EQ(p->notifyHook, nullptr);
    EXPECT_EQ(p->noTimers, 0);
    EXPECT_STREQ(p->text1, "");
    EXPECT_STREQ(p->text2, "");
    EXPECT_EQ(p->alwaysRequirePassword, 0);
    EXPECT_EQ(p->neverRequirePassword, 0);
    EXPECT_EQ(p->passwordBeforeActiveConfig, 1);
}

// The record is still a live block of the allocator: nobody freed it.
bool StillAllocated(ScrPrefs *prefs)
{
    return _msize(prefs) == sizeof(ScrPrefs);
}

// Every case starts as a fresh process does (support/fresh_framework.cpp): the
// defaults in force, no mode running.
void RestoreFreshState()
{
    ScrEnsureInit();
}

class Prefs : public testing::Test {
protected:
    void SetUp() override { RestoreFreshState(); }
};

}  // namespace

TEST_F(Prefs, FirstCallYieldsTheDefaults)
{
    ScrPrefs *prefs = ScrGetPrefs();
    ASSERT_NE(prefs, nullptr);
    ExpectDefaults(prefs);
    free(prefs);
}

TEST_F(Prefs, TwoCopiesAreIndependentWithEqualContents)
{
    ScrPrefs *first = ScrGetPrefs();
    ScrPrefs *second = ScrGetPrefs();
    ASSERT_NE(first, second);
    EXPECT_EQ(memcmp(first, second, sizeof(ScrPrefs)), 0);
    first->noTimers = 1;
    strcpy(first->text1, "changed");
    EXPECT_EQ(second->noTimers, 0);
    EXPECT_STREQ(second->text1, "");
    ScrPrefs *third = ScrGetPrefs();
    ExpectDefaults(third);
    free(first);
    free(second);
    free(third);
}

TEST_F(Prefs, InstalledRecordIsReturnedByLaterCopies)
{
    ScrSetPrefs(UnusualPrefs());
    ScrPrefs *p = ScrGetPrefs();
    EXPECT_EQ(p->size, SCRPREFS_SIZE);
    EXPECT_EQ(p->supportsActiveConfig, 1);
    EXPECT_EQ(p->supportsMuteSound, 0);
    EXPECT_EQ(p->debugMessages, 0);
    EXPECT_EQ(p->debugMode, 7);
    EXPECT_EQ(p->noAboutMenu, -1);
    EXPECT_EQ(p->notifyHook, SomeHook);
    EXPECT_EQ(p->noTimers, 1);
    EXPECT_STREQ(p->text1, "first text");
    EXPECT_STREQ(p->text2, "second text");
    EXPECT_EQ(p->alwaysRequirePassword, 1);
    EXPECT_EQ(p->neverRequirePassword, 0);
    EXPECT_EQ(p->passwordBeforeActiveConfig, 0);
    free(p);
}

TEST_F(Prefs, AnySizeFieldIsAcceptedAndTheRecordIsFreed)
{
    ScrPrefs *prefs = ScrGetPrefs();
    prefs->size = -12345;
    prefs->noTimers = 1;
    ASSERT_TRUE(StillAllocated(prefs));
    ScrSetPrefs(prefs);
    EXPECT_FALSE(StillAllocated(prefs));
    ScrPrefs *p = ScrGetPrefs();
    EXPECT_EQ(p->noTimers, 1);
    EXPECT_EQ(p->size, SCRPREFS_SIZE);
    free(p);
}

TEST_F(Prefs, TextsFillingTheirWholeFieldAreStoredAsTheFirst255Characters)
{
    ScrPrefs *prefs = ScrGetPrefs();
    memset(prefs->text1, 'a', sizeof(prefs->text1));
    memset(prefs->text2, 'b', sizeof(prefs->text2));
    prefs->alwaysRequirePassword = 0x5A5A5A5A;   // the byte after text2
    ScrSetPrefs(prefs);
    ScrPrefs *p = ScrGetPrefs();
    EXPECT_EQ(std::string(p->text1), std::string(255, 'a'));
    EXPECT_EQ(std::string(p->text2), std::string(255, 'b'));
    EXPECT_EQ(p->alwaysRequirePassword, 0x5A5A5A5A);
    free(p);
}

TEST_F(Prefs, RefusedWhileAModeRunsKeepsPrefsAndRecord)
{
    ScrPrefs *prefs = UnusualPrefs();
    FrameworkRunning = true;
    MessageBoxCatcher catcher;
    ScrSetPrefs(prefs);
    EXPECT_TRUE(catcher.boxes.empty());
    ASSERT_TRUE(StillAllocated(prefs));
    EXPECT_STREQ(prefs->text1, "first text");
    FrameworkRunning = false;

    ScrPrefs *p = ScrGetPrefs();
    ExpectDefaults(p);
    free(p);
    free(prefs);
}

TEST_F(Prefs, CopiesAreStillHandedOutWhileAModeRuns)
{
    FrameworkRunning = true;
    ScrPrefs *p = ScrGetPrefs();
    ASSERT_NE(p, nullptr);
    ExpectDefaults(p);
    free(p);
}

TEST_F(Prefs, NullRecordChangesNothingAndIsSilentWithoutDebugMessages)
{
    LogCapture capture;
    MessageBoxCatcher catcher;
    ScrSetPrefs(NULL);
    EXPECT_TRUE(capture.Lines().empty());
    EXPECT_TRUE(catcher.boxes.empty());
    ScrPrefs *p = ScrGetPrefs();
    ExpectDefaults(p);
    free(p);
}

TEST_F(Prefs, BothPasswordFlagsAreInstalledAsPassedAndWarnSilentlyWithoutDebugMessages)
{
    ScrPrefs *prefs = ScrGetPrefs();
    prefs->alwaysRequirePassword = 1;
    prefs->neverRequirePassword = 1;
    LogCapture capture;
    MessageBoxCatcher catcher;
    ScrSetPrefs(prefs);
    EXPECT_TRUE(capture.Lines().empty());
    EXPECT_TRUE(catcher.boxes.empty());
    ScrPrefs *p = ScrGetPrefs();
    EXPECT_EQ(p->alwaysRequirePassword, 1);
    EXPECT_EQ(p->neverRequirePassword, 1);
    free(p);
}

// ---- Reports with debug messages on: a log line and an OK box "Prefs error". ----

struct Report {
    const char *name;
    const char *text;
    void (*provoke)();   // runs with debugMessages set in the prefs in force
};

class PrefsReport : public testing::TestWithParam<Report> {
protected:
    void SetUp() override { RestoreFreshState(); }
};

TEST_P(PrefsReport, IsLoggedAndShownInAnOwnerlessOkBox)
{
    SetDebugMessages(1);
    LogCapture capture;
    MessageBoxCatcher catcher;
    GetParam().provoke();
    FrameworkRunning = false;
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0], std::string(GetParam().text) + "___________  \n\r");
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].text, GetParam().text);
    EXPECT_EQ(catcher.boxes[0].caption, "Prefs error");
    EXPECT_EQ(catcher.boxes[0].owner, nullptr);
    EXPECT_TRUE(catcher.boxes[0].hasOk);
    EXPECT_FALSE(catcher.boxes[0].hasCancel);
}

INSTANTIATE_TEST_SUITE_P(
    Prefs, PrefsReport,
    testing::Values(Report{"WhileRunning", RunningRefusal,
                           [] {
                               ScrPrefs *prefs = ScrGetPrefs();
                               FrameworkRunning = true;
                               ScrSetPrefs(prefs);
                               FrameworkRunning = false;
                               free(prefs);
                           }},
                    Report{"Null", NullRefusal, [] { ScrSetPrefs(NULL); }},
                    Report{"BothPasswordFlags", SillyWarning,
                           [] {
                               ScrPrefs *prefs = ScrGetPrefs();
                               prefs->alwaysRequirePassword = 1;
                               prefs->neverRequirePassword = 1;
                               ScrSetPrefs(prefs);
                           }}),
    [](const testing::TestParamInfo<Report> &info) { return std::string(info.param.name); });

TEST_F(Prefs, RefusalFollowsTheDebugFlagInForceNotTheOneOffered)
{
    ScrPrefs *prefs = ScrGetPrefs();
    prefs->debugMessages = 1;
    FrameworkRunning = true;
    LogCapture capture;
    MessageBoxCatcher catcher;
    ScrSetPrefs(prefs);
    FrameworkRunning = false;
    EXPECT_TRUE(capture.Lines().empty());
    EXPECT_TRUE(catcher.boxes.empty());
    free(prefs);
}

TEST_F(Prefs, RefusalWhileRunningStillReportsWhenDebugWasAlreadyOn)
{
    SetDebugMessages(1);
    ScrPrefs *prefs = ScrGetPrefs();
    prefs->debugMessages = 0;
    prefs->noTimers = 1;
    FrameworkRunning = true;
    MessageBoxCatcher catcher;
    ScrSetPrefs(prefs);
    FrameworkRunning = false;
    ASSERT_EQ(catcher.boxes.size(), 1u);
    ScrPrefs *p = ScrGetPrefs();
    EXPECT_EQ(p->debugMessages, 1);
    EXPECT_EQ(p->noTimers, 0);
    free(p);
    free(prefs);
}

TEST_F(Prefs, PasswordWarningFollowsTheDebugFlagJustInstalled)
{
    SetDebugMessages(1);
    ScrPrefs *prefs = ScrGetPrefs();
    prefs->debugMessages = 0;
    prefs->alwaysRequirePassword = 1;
    prefs->neverRequirePassword = 1;
    LogCapture capture;
    MessageBoxCatcher catcher;
    ScrSetPrefs(prefs);
    EXPECT_TRUE(capture.Lines().empty());
    EXPECT_TRUE(catcher.boxes.empty());
}

TEST_F(Prefs, DefaultsAreAppliedOnlyOnce)
{
    ScrSetPrefs(UnusualPrefs());
    ScrEnsureInit();
    InitDefaultPrefs();
    ScrPrefs *p = ScrGetPrefs();
    EXPECT_EQ(p->noTimers, 1);
    free(p);
}
