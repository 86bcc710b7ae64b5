// The process-wide preferences in force.
#pragma once
#include "framework/lullex.h"

extern ScrPrefs CurrentPrefs;   // fields 2 to 13 are the values in force
extern bool DefaultsApplied;

void InitDefaultPrefs();
