// Painting the monitor control: the picture is laid transparently over what
// is already on the screen, through a buffer so that nothing flickers.
#include "framework/monitor/monitor.h"
#include "framework/monitor/corner_state.h"
#include "framework/monitor/monitor_handlers.h"
#include "framework/lullex.h"

static void DrawCornerButtons(HDC buffer, HDC source, LONG style)
{
    for (int corner = 0; corner < 4; corner++) {
        HBITMAP button = cornerBitmap[DecodeCornerState(style, corner)];
        if (!button)
            continue;
        SelectObject(source, button);
        BitBlt(buffer, cornerRect[corner].left, cornerRect[corner].top,
               cornerWidth, cornerHeight, source, 0, 0, SRCCOPY);
    }
}

static void ComposePicture(HWND hwnd, HDC paint, HDC buffer, HDC source)
{
    // What the screen shows under the control is the background around the stand.
    BitBlt(buffer, 0, 0, monitorWidth, monitorHeight, paint, 0, 0, SRCCOPY);

    HGDIOBJ original = SelectObject(source, monitorBitmap);
    BitBlt(buffer, 0, 0, monitorWidth, monitorHeight, source, monitorWidth, 0, SRCAND);
    BitBlt(buffer, 0, 0, monitorWidth, monitorHeight, source, 0, 0, SRCINVERT);

    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if ((style & MS_KINDMASK) == MS_CORNERS)
        DrawCornerButtons(buffer, source, style);
    SelectObject(source, original);

    BitBlt(paint, 0, 0, monitorWidth, monitorHeight, buffer, 0, 0, SRCCOPY);
}

void PaintMonitor(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC paint = BeginPaint(hwnd, &ps);
    HDC source = paint ? CreateCompatibleDC(paint) : NULL;
    HDC buffer = paint ? CreateCompatibleDC(paint) : NULL;
    HBITMAP bits = paint ? CreateCompatibleBitmap(paint, monitorWidth, monitorHeight) : NULL;

    if (source && buffer && bits && monitorBitmap) {
        HGDIOBJ originalBits = SelectObject(buffer, bits);
        ComposePicture(hwnd, paint, buffer, source);
        SelectObject(buffer, originalBits);
    }

    if (bits)
        DeleteObject(bits);
    if (buffer)
        DeleteDC(buffer);
    if (source)
        DeleteDC(source);
    EndPaint(hwnd, &ps);
}
