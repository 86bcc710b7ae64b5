#include <gtest/gtest.h>

#include "c_client.h"

TEST(CClient, SeesTheRecordLayoutsOfTheInterface)
{
    CClientLayout layout;
    CClientGetLayout(&layout);
    // The offsets of text1, text2, alwaysRequirePassword and the last field (the
    // record sizes the header checks itself, as a C compiler sees them too).
#ifdef _WIN64
    // The hook pointer takes 8 bytes on an 8-byte boundary: what follows it moves by 4.
    const int prefs[] = {36, 292, 548, 556};
#else
    const int prefs[] = {32, 288, 544, 552};
#endif
    EXPECT_EQ(layout.prefsText1Offset, prefs[0]);
    EXPECT_EQ(layout.prefsText2Offset, prefs[1]);
    EXPECT_EQ(layout.prefsAlwaysOffset, prefs[2]);
    EXPECT_EQ(layout.prefsLastOffset, prefs[3]);
    EXPECT_EQ(layout.verifyPw, 0x8000);
    EXPECT_EQ(layout.internalMessage, 0x8009);
    EXPECT_EQ(layout.changePassword, 0x806B);
    EXPECT_EQ(layout.cornerBits, 0xFF0);
    EXPECT_EQ(layout.hookDefault, 9);
}

TEST(CClient, LinksEveryPublicOperation)
{
    const CClientOperations *ops = CClientGetOperations();
    const void *const addresses[] = {
        (const void *)ops->getPrefs,     (const void *)ops->setPrefs,        (const void *)ops->run,
        (const void *)ops->runWithHooks, (const void *)ops->runHosted,       (const void *)ops->createPreview,
        (const void *)ops->defSaverProc, (const void *)ops->defClientProc,   (const void *)ops->getGeneralSettings,
        (const void *)ops->startTimer,   (const void *)ops->stopTimer,       (const void *)ops->help,
        (const void *)ops->getVersion,   (const void *)ops->customControlInfo, (const void *)ops->libraryEntry,
    };
    for (const void *address : addresses)
        EXPECT_NE(address, nullptr);
    EXPECT_EQ((const void *)ops->getVersion, (const void *)&ScrGetVersion);
}

TEST(CClient, CallsTheFrameworkWithItsOwnCallingConvention)
{
    const CClientOperations *ops = CClientGetOperations();
    char version[49];
    EXPECT_EQ(ops->getVersion(version, sizeof(version)), 4);
    EXPECT_STREQ(version, "1.5s");

    EXPECT_EQ(CClientPrefsRoundTrip("from C"), SCRPREFS_SIZE);
    ScrPrefs *prefs = ScrGetPrefs();
    EXPECT_STREQ(prefs->text1, "from C");
    EXPECT_EQ(prefs->noTimers, 1);
    free(prefs);

    EXPECT_EQ(ops->clientAbout(NULL), HOOK_DEFAULT);
    EXPECT_EQ(ops->customControlInfo(NULL), 1u);
}
