#include "linux/frame_rate.h"
#include "nimbra_gl.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <cstdio>
#include <cstring>

namespace {

const char fontName[] = "fixed";
const int firstCharacter = 32, characterCount = 96;   // printable ASCII
GLuint characterLists = 0;
int textMargin = 0;

} // namespace

void OpenFrameRateText()
{
    Display *display = glXGetCurrentDisplay();
    // Asking for a font the server does not have is an X error: look first.
    int found = 0;
    char **names = XListFonts(display, fontName, 1, &found);
    if (names) XFreeFontNames(names);
    XFontStruct *font = found ? XLoadQueryFont(display, fontName) : nullptr;
    if (!font) return;
    characterLists = glGenLists(characterCount);
    glXUseXFont(font->fid, firstCharacter, characterCount, characterLists);
    textMargin = font->descent + 4;
    XFreeFont(display, font);
}

// The scene's GL state and matrices stay as they were.
void DrawFrameRate(double framesPerSecond, int width, int height)
{
    if (!characterLists) return;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f fps", framesPerSecond);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIST_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2i(textMargin, textMargin);
    glListBase(characterLists - firstCharacter);
    glCallLists(GLsizei(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

void CloseFrameRateText()
{
    if (characterLists) glDeleteLists(characterLists, characterCount);
    characterLists = 0;
}
