// The resources every monitor control shares: picture, corner buttons, corner
// menus and the rectangles read from the layout string.
#include "framework/monitor/monitor.h"
#include "framework/services/services.h"
#include <stdio.h>

HBITMAP monitorBitmap;
HBITMAP cornerBitmap[3];
HMENU cornerMenu[4];
RECT cornerRect[4];
RECT screenRect;
int monitorWidth, monitorHeight;
int cornerWidth, cornerHeight;
bool agentPresent;
bool agentWarned;

enum {
    IDS_CORNER_DEFAULT = 3050,   // then "Now" 3051, "Never" 3052
    IDS_SCREEN_LAYOUT = 3055,
    IDB_MONITOR = 3010,          // then the corner buttons 3011..3013
    MENU_ID_BASE = 0x1000,
};

static HMENU CreateCornerMenu(int corner)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return NULL;
    for (int choice = 0; choice < 3; choice++) {
        char text[99];
        if (LoadStringA(FrameworkModule, IDS_CORNER_DEFAULT + choice, text, sizeof text) > 0)
            AppendMenuA(menu, MF_STRING, MENU_ID_BASE + 0x100 * corner + choice, text);
    }
    return menu;
}

static SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    SIZE size = {0, 0};
    if (bitmap && GetObjectA(bitmap, sizeof info, &info)) {
        size.cx = info.bmWidth;
        size.cy = info.bmHeight;
    }
    return size;
}

static void LoadBitmaps()
{
    monitorBitmap = LoadBitmapA(FrameworkModule, MAKEINTRESOURCEA(IDB_MONITOR));
    for (int i = 0; i < 3; i++)
        cornerBitmap[i] = LoadBitmapA(FrameworkModule, MAKEINTRESOURCEA(IDB_MONITOR + 1 + i));

    SIZE picture = BitmapSize(monitorBitmap);
    monitorWidth = picture.cx / 2;
    monitorHeight = picture.cy;
    SIZE button = BitmapSize(cornerBitmap[0]);
    cornerWidth = button.cx;
    cornerHeight = button.cy;
}

static void ReadLayout()
{
    char text[100];
    if (LoadStringA(FrameworkModule, IDS_SCREEN_LAYOUT, text, sizeof text) <= 0)
        return;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
    // Values a malformed string does not supply stay 0 rather than undefined.
    sscanf(text, "%i %i  %i %i  %i %i  %i %i", &x1, &y1, &x2, &y2, &x3, &y3, &x4, &y4);
    int cw = cornerWidth, ch = cornerHeight;
    SetRect(&cornerRect[0], x1, y1, x1 + cw, y1 + ch);
    SetRect(&cornerRect[1], x2 - cw, y2, x2, y2 + ch);
    SetRect(&cornerRect[2], x3 - cw, y3 - ch, x3, y3);
    SetRect(&cornerRect[3], x4, y4 - ch, x4 + cw, y4);
    SetRect(&screenRect, x1, y1, x3, y3);
}

void InitMonitorResources()
{
    agentPresent = false;
    agentWarned = false;
    for (int corner = 0; corner < 4; corner++) {
        SetRectEmpty(&cornerRect[corner]);
        cornerMenu[corner] = NULL;
    }
    SetRectEmpty(&screenRect);
    for (int corner = 0; corner < 4; corner++)
        cornerMenu[corner] = CreateCornerMenu(corner);
    LoadBitmaps();
    ReadLayout();
}

void ReleaseMonitorResources()
{
    if (monitorBitmap) {
        DeleteObject(monitorBitmap);
        monitorBitmap = NULL;
    }
    for (int i = 0; i < 3; i++) {
        if (cornerBitmap[i]) {
            DeleteObject(cornerBitmap[i]);
            cornerBitmap[i] = NULL;
        }
    }
    for (int corner = 0; corner < 4; corner++) {
        if (cornerMenu[corner]) {
            DestroyMenu(cornerMenu[corner]);
            cornerMenu[corner] = NULL;
        }
    }
}
