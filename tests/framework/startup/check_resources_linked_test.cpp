// The resource check that runs before the configuration dialog, in a program
// that links the framework's resources: no box.
#include <gtest/gtest.h>

#include "framework/services/services.h"
#include "framework/startup/entry.h"
#include "startup_support.h"

TEST(CheckResources, LinkedResourcesPassSilently)
{
    ScrEnsureInit();
    MessageBoxCatcher boxes;
    CheckResources();
    EXPECT_TRUE(boxes.boxes.empty());
}
