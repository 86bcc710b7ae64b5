// The resource check that runs before the configuration dialog: a box when
// the framework's resources are not linked into the program, silence when they are.
#include <gtest/gtest.h>

#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "startup_support.h"

#if FRAMEWORK_RESOURCES_LINKED

TEST(CheckResources, LinkedResourcesPassSilently)
{
    ScrEnsureInit();
    BoxCatcher boxes;
    CheckResources();
    EXPECT_TRUE(boxes.boxes.empty());
}

#else

TEST(CheckResources, MissingResourcesAreReportedEvenWithoutDebugMessages)
{
    ScrEnsureInit();
    BoxCatcher boxes;
    CheckResources();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "You _MUST_ include the Lullex resources (lullex.res)");
    EXPECT_EQ(boxes.boxes[0].caption, "Lullex");
    EXPECT_EQ(boxes.boxes[0].owner, nullptr);
}

TEST(CheckResources, WithoutResourcesTheHelperNameIsUnknownAndNothingIsStarted)
{
    ScrEnsureInit();
    BoxCatcher boxes;
    EXPECT_EQ(ConnectPreviewHelper("p glasscase"), nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(FindWindowA("glasscase", nullptr), nullptr);
}

#endif
