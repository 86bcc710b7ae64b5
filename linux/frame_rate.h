// -fps: the frame rate, drawn small in the picture's bottom left corner with a
// core X font. Without the font the picture simply has no text.
#pragma once

// With the GL context current.
void OpenFrameRateText();
void DrawFrameRate(double framesPerSecond, int width, int height);
void CloseFrameRateText();
