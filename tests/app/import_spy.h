// Points one entry of this program's import table at a replacement, so that a test
// sees the platform calls the code under test makes; the replacement passes them on.
#pragma once

// Returns the function the entry pointed at before, or null when the program does
// not import it.
void *ReplaceImport(const char *dllName, const char *functionName, void *replacement);
