// The animation's viewport and projection for a window of a given size, shared by
// the Windows program's window and the Linux program's.
#pragma once

// The whole window, 45 degrees, the window's own aspect; a zero height counts as 1.
void ResizeScene(int width, int height);
