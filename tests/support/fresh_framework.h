// The framework as a fresh process has it, for test programs that run all their
// cases in one process.
#pragma once

// This thread's windows destroyed, the framework's reset point, then this thread's
// queue emptied (an earlier case's quit message would end the next message loop at
// once). Returns whether the earlier case's timer threads had all ended.
bool StartWithAFreshFramework();
