// The framework's resources must be linked into the program; say so loudly when
// they are not.
#include "framework/startup/entry.h"

#include "framework/services/services.h"

void CheckResources()
{
    HICON icon = LoadIconA(FrameworkModule, MAKEINTRESOURCEA(199));
    if (icon) {
        DestroyIcon(icon);
        return;
    }
    MessageBoxA(nullptr, "You _MUST_ include the Lullex resources (lullex.res)", "Lullex", MB_OK);
}
