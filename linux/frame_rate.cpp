#include "linux/frame_rate.h"
#include "nimbra_gl.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <cstdio>

namespace {

const char fontName[] = "fixed";
const int firstCharacter = 32, characterCount = 96;   // printable ASCII
GLuint characterLists = 0;
int textMargin = 0;
int characterWidth = 0;   // the font is a fixed-width one

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
    characterWidth = font->max_bounds.width;
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
    // Each character at its own place: the GL library's space glyph, which has no
    // ink, does not move the raster position on.
    for (int i = 0; text[i]; ++i) {
        glRasterPos2i(textMargin + i * characterWidth, textMargin);
        glCallList(characterLists + GLuint(text[i] - firstCharacter));
    }
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
