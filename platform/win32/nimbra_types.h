// The Windows types and bitmap records the DIB loader reads files with.
#pragma once
#include <windows.h>
