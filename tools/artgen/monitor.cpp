// The settings dialog's monitor in the 16 standard colours: the picture on the
// left half, its mask on the right (black where the picture is opaque, white
// where the background shows). The picture is black wherever it is transparent,
// so that masking with AND and drawing with XOR leaves the background there.
#include "art.h"
#include "bmp_writer.h"

namespace {

enum Index { Black, Maroon, Green, Olive, Navy, Purple, Teal, Silver, Grey, Red, Lime, Yellow, Blue, Fuchsia, Aqua, White };
const int Transparent = -1;
const int PictureWidth = 184, PictureHeight = 170;

std::vector<Color> StandardPalette()
{
    return {Rgb8(0, 0, 0), Rgb8(128, 0, 0), Rgb8(0, 128, 0), Rgb8(128, 128, 0),
            Rgb8(0, 0, 128), Rgb8(128, 0, 128), Rgb8(0, 128, 128), Rgb8(192, 192, 192),
            Rgb8(128, 128, 128), Rgb8(255, 0, 0), Rgb8(0, 255, 0), Rgb8(255, 255, 0),
            Rgb8(0, 0, 255), Rgb8(255, 0, 255), Rgb8(0, 255, 255), Rgb8(255, 255, 255)};
}

struct Canvas {
    std::vector<int> cells = std::vector<int>(size_t(PictureWidth) * PictureHeight, Transparent);
    void Set(int x, int y, int c) { cells[size_t(y) * PictureWidth + x] = c; }
    void Fill(int x0, int y0, int x1, int y1, int c)   // inclusive corners
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Set(x, y, c);
    }
};

// A raised box: light top and left edges, dark bottom and right edges.
void RaisedBox(Canvas &cv, int x0, int y0, int x1, int y1)
{
    cv.Fill(x0, y0, x1, y1, Silver);
    cv.Fill(x0, y0, x1 - 1, y0, White);
    cv.Fill(x0, y0, x0, y1 - 1, White);
    cv.Fill(x0, y1, x1, y1, Black);
    cv.Fill(x1, y0, x1, y1, Black);
    cv.Fill(x0 + 1, y1 - 1, x1 - 1, y1 - 1, Grey);
    cv.Fill(x1 - 1, y0 + 1, x1 - 1, y1 - 1, Grey);
}

void DrawCase(Canvas &cv)
{
    RaisedBox(cv, 3, 2, 180, 145);
    for (int x : {3, 180})
        for (int y : {2, 145}) cv.Set(x, y, Transparent);   // rounded corners
    // The screen sits in a sunken frame; the screen itself spans x 16..168, y 17..129.
    cv.Fill(14, 15, 170, 15, Grey);
    cv.Fill(14, 15, 14, 131, Grey);
    cv.Fill(15, 16, 169, 16, Black);
    cv.Fill(15, 16, 15, 130, Black);
    cv.Fill(14, 131, 170, 131, White);
    cv.Fill(170, 15, 170, 131, White);
    cv.Fill(16, 17, 168, 129, Teal);
    // Vents on the left of the chin, the power light on the right.
    for (int y : {136, 139}) cv.Fill(20, y, 48, y, Grey);
    for (int y : {137, 140}) cv.Fill(20, y, 48, y, White);
    cv.Fill(162, 136, 166, 139, Grey);
    cv.Fill(163, 137, 165, 138, Lime);
}

void DrawStand(Canvas &cv)
{
    cv.Fill(79, 146, 104, 152, Silver);
    cv.Fill(79, 146, 79, 152, White);
    cv.Fill(104, 146, 104, 152, Black);
    cv.Fill(103, 146, 103, 152, Grey);
    cv.Fill(80, 146, 102, 146, Grey);   // the case's shadow on the neck
    // The foot widens over its first rows and is rounded at the bottom.
    const int halfWidths[] = {36, 38, 40, 42, 44, 45, 46, 46, 46, 46, 46, 46, 45, 43};
    const int top = 153, centreLeft = 91, centreRight = 92;
    for (int row = 0; row < 14; ++row) {
        const int y = top + row, x0 = centreLeft - halfWidths[row], x1 = centreRight + halfWidths[row];
        cv.Fill(x0, y, x1, y, Silver);
        cv.Set(x0, y, row < 12 ? White : Grey);
        cv.Set(x1, y, Black);
        cv.Set(x1 - 1, y, Grey);
    }
    cv.Fill(centreLeft - halfWidths[0], top, centreRight + halfWidths[0], top, White);
    cv.Fill(centreLeft - halfWidths[12] + 1, top + 12, centreRight + halfWidths[12] - 1, top + 12, Grey);
    cv.Fill(centreLeft - halfWidths[13], top + 13, centreRight + halfWidths[13], top + 13, Black);
}

} // namespace

bool WriteMonitorBitmap(const std::string &path)
{
    Canvas cv;
    DrawCase(cv);
    DrawStand(cv);
    const int width = 2 * PictureWidth;
    std::vector<uint8_t> indices(size_t(width) * PictureHeight);
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x) {
            const int c = cv.cells[size_t(y) * PictureWidth + x];
            indices[size_t(y) * width + x] = uint8_t(c == Transparent ? Black : c);
            indices[size_t(y) * width + PictureWidth + x] = uint8_t(c == Transparent ? White : Black);
        }
    return WriteBmp4(path, width, PictureHeight, indices, StandardPalette());
}
