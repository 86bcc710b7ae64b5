// The resource check that runs before the configuration dialog, in a program
// without the framework's resources: the box that says so.
#include <gtest/gtest.h>

#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "startup_support.h"

TEST(CheckResources, MissingResourcesAreReportedEvenWithoutDebugMessages)
{
    ScrEnsureInit();
    MessageBoxCatcher boxes;
    CheckResources();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "You _MUST_ include the Lullex resources (lullex.res)");
    EXPECT_EQ(boxes.boxes[0].caption, "Lullex");
    EXPECT_EQ(boxes.boxes[0].owner, nullptr);
}

TEST(CheckResources, WithoutResourcesTheHelperNameIsUnknownAndNothingIsStarted)
{
    ScrEnsureInit();
    MessageBoxCatcher boxes;
    EXPECT_EQ(ConnectPreviewHelper("p glasscase"), nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(FindWindowA("glasscase", nullptr), nullptr);
}
