// Loading the five scene textures from the test prefix's data directory.
#include "scene/scene.h"
#include "scene/fresh_scene_state.h"
#include "scene/gl_test_window.h"
#include "support/message_box_catcher.h"
#include "scene/texture_files.h"
#include "image/fuzz/crafted_dibs.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>

namespace {

GLuint *const textureObjects[] = {&TexNebula, &TexEarth, &TexMoon, &TexNimbra, &TexClouds};

class SceneTextures : public ::testing::Test {
protected:
    void SetUp() override
    {
        RestoreFreshSceneState();
        RestoreTextureFiles();
        ASSERT_TRUE(gl.Open(64, 64));
    }

    static GLint Parameter(GLuint texture, GLenum name)
    {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }

    static GLint LevelWidth(GLuint texture, int level)
    {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &value);
        return value;
    }

    static int TexturesCreated()
    {
        int count = 0;
        for (GLuint *texture : textureObjects)
            count += *texture != 0 && glIsTexture(*texture);
        return count;
    }

    GlTestWindow gl;
};

TEST_F(SceneTextures, LoadsFiveTexturesNebulaAsOneNearestLevelOthersMipmapped)
{
    MessageBoxCatcher boxes;
    ASSERT_TRUE(LoadSceneTextures());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(TexturesCreated(), 5);

    EXPECT_EQ(Parameter(TexNebula, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(Parameter(TexNebula, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_GT(LevelWidth(TexNebula, 0), 0);
    EXPECT_EQ(LevelWidth(TexNebula, 1), 0) << "the nebula has no mipmaps";
    EXPECT_EQ(Parameter(TexNebula, GL_TEXTURE_WRAP_S), GL_REPEAT);

    for (GLuint texture : {TexEarth, TexMoon, TexNimbra, TexClouds}) {
        EXPECT_EQ(Parameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(Parameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
        const GLint base = LevelWidth(texture, 0);
        ASSERT_GT(base, 1);
        EXPECT_EQ(LevelWidth(texture, 1), base / 2) << "a full mipmap chain";
    }
}

TEST_F(SceneTextures, InitSceneLoadsAgainUnderNewNamesAndKeepsTheFirstSet)
{
    ASSERT_TRUE(LoadSceneTextures());
    GLuint first[5];
    for (int i = 0; i < 5; ++i)
        first[i] = *textureObjects[i];

    ASSERT_TRUE(InitScene());
    for (int i = 0; i < 5; ++i) {
        EXPECT_NE(*textureObjects[i], first[i]);
        EXPECT_TRUE(glIsTexture(*textureObjects[i]));
        EXPECT_TRUE(glIsTexture(first[i])) << "the first names stay allocated";
    }
}

struct MissingFile {
    const char *file;
    int texturesBefore;
};

void PrintTo(const MissingFile &missing, std::ostream *out)
{
    *out << missing.file;
}

class SceneTexturesMissingFile : public SceneTextures,
                                 public ::testing::WithParamInterface<MissingFile> {};

TEST_P(SceneTexturesMissingFile, StopsAtTheMissingFileQuietlyKeepingEarlierTextures)
{
    TextureFileSwap away(GetParam().file);
    ASSERT_TRUE(away.Moved());
    MessageBoxCatcher boxes;

    EXPECT_FALSE(LoadSceneTextures());
    EXPECT_TRUE(boxes.boxes.empty()) << "a missing file shows no loader message";
    EXPECT_EQ(TexturesCreated(), GetParam().texturesBefore);
    for (int i = GetParam().texturesBefore; i < 5; ++i)
        EXPECT_EQ(*textureObjects[i], 0u);

    EXPECT_FALSE(InitScene());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(SphereQuadric, nullptr) << "set-up stops before building anything";
    EXPECT_EQ(TailParticles[0].life, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(EachFile, SceneTexturesMissingFile,
                         ::testing::Values(MissingFile{"nebula.bmp", 0}, MissingFile{"earth.bmp", 1},
                                           MissingFile{"moon.bmp", 2}, MissingFile{"nimbra.bmp", 3},
                                           MissingFile{"clouds.bmp", 4}),
                         [](const auto &info) {
                             const std::string file = info.param.file;
                             return file.substr(0, file.find('.'));
                         });

// A 40-byte info header claiming a later header size.
bool WriteUnknownHeaderFile(const std::string &path)
{
    unsigned char bytes[14 + 108 + 12] = {'B', 'M'};
    bytes[10] = 14 + 108;
    bytes[14] = 108;   // header size
    bytes[18] = 2;     // width
    bytes[22] = 2;     // height
    bytes[26] = 1;     // planes
    bytes[28] = 24;    // bit count
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fwrite(bytes, 1, sizeof bytes, file);
    return std::fclose(file) == 0;
}

TEST_F(SceneTextures, UnreadableFileShowsTheLoaderMessageThenFails)
{
    TextureFileSwap away("clouds.bmp");
    ASSERT_TRUE(away.Moved());
    ASSERT_TRUE(WriteUnknownHeaderFile(TexturePath("clouds.bmp")));
    MessageBoxCatcher boxes;

    EXPECT_FALSE(LoadSceneTextures());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Error");
    EXPECT_EQ(boxes.boxes[0].text, "Unknown DIB file format.");
    EXPECT_EQ(TexturesCreated(), 4);
    EXPECT_EQ(TexClouds, 0u);
}

// Rows of a 2-pixel-wide image are 6 bytes; the upload must not read them as if
// padded to 8.
TEST_F(SceneTextures, NarrowImageRowsUploadWithoutPadding)
{
    TextureFileSwap away("nebula.bmp");
    ASSERT_TRUE(away.Moved());
    Picture image;
    image.width = 2;
    image.height = 2;
    image.rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    ASSERT_TRUE(WriteBmp(image, TexturePath("nebula.bmp")));

    ASSERT_TRUE(LoadSceneTextures());
    unsigned char uploaded[12] = {};
    glBindTexture(GL_TEXTURE_2D, TexNebula);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, uploaded);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(uploaded[i], image.rgb[i]) << "byte " << i;
}

// A 2 x 2 top-down file (negative height): top row red, green; bottom row blue, yellow.
bool WriteTopDownFile(const std::string &path)
{
    unsigned char bytes[14 + 40 + 2 * 8] = {'B', 'M'};
    bytes[10] = 14 + 40;
    bytes[14] = 40;                                          // header size
    bytes[18] = 2;                                           // width
    bytes[22] = 0xFE, bytes[23] = bytes[24] = bytes[25] = 0xFF;   // height -2
    bytes[26] = 1;                                           // planes
    bytes[28] = 24;                                          // bit count
    const unsigned char rows[2][6] = {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 0, 255, 255}};   // bytes blue, green, red
    std::memcpy(bytes + 54, rows[0], 6);
    std::memcpy(bytes + 62, rows[1], 6);
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fwrite(bytes, 1, sizeof bytes, file);
    return std::fclose(file) == 0;
}

TEST_F(SceneTextures, TopDownImagesUploadUprightBottomRowFirst)
{
    TextureFileSwap nebula("nebula.bmp"), earth("earth.bmp");
    ASSERT_TRUE(nebula.Moved() && earth.Moved());
    ASSERT_TRUE(WriteTopDownFile(TexturePath("nebula.bmp")));
    ASSERT_TRUE(WriteTopDownFile(TexturePath("earth.bmp")));

    ASSERT_TRUE(LoadSceneTextures());
    const unsigned char upright[12] = {0, 0, 255, 255, 255, 0, 255, 0, 0, 0, 255, 0};
    for (GLuint texture : {TexNebula, TexEarth}) {
        SCOPED_TRACE(texture == TexNebula ? "nebula" : "earth");
        unsigned char uploaded[12] = {};
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, uploaded);
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(uploaded[i], upright[i]) << "byte " << i;
    }
}

struct SizedFile {
    const char *file;
    int extraWidth, extraHeight;   // beyond the largest texture the GL takes
    bool loads;
};

// Run-length files are a few bytes whatever size they declare (this one draws one
// pixel and ends).
TEST_F(SceneTextures, TexturesLargerThanTheGlTakesAreRefusedQuietlyBeforeTheUpload)
{
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    ASSERT_GT(largest, 0);
    const SizedFile rows[] = {
        {"nebula.bmp", 1, 1 - largest, false},
        {"earth.bmp", 1 - largest, 1, false},
        {"nebula.bmp", 0, 1 - largest, true},
        {"clouds.bmp", 1 - largest, 0, true},
    };
    for (const SizedFile &row : rows) {
        SCOPED_TRACE(std::string(row.file) + (row.loads ? " at the largest size" : " beyond it"));
        RestoreFreshSceneState();
        TextureFileSwap away(row.file);
        ASSERT_TRUE(away.Moved());
        const Bytes file = RunLengthDib(largest + row.extraWidth, largest + row.extraHeight, 8, {1, 0, 0, 1});
        FILE *out = std::fopen(TexturePath(row.file).c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(file.data(), 1, file.size(), out);
        ASSERT_EQ(std::fclose(out), 0);
        MessageBoxCatcher boxes;

        EXPECT_EQ(LoadSceneTextures(), row.loads);
        EXPECT_TRUE(boxes.boxes.empty()) << "the caller says that the texture cannot be had";
        const GLuint texture = std::string(row.file) == "nebula.bmp" ? TexNebula
                               : std::string(row.file) == "earth.bmp" ? TexEarth : TexClouds;
        EXPECT_EQ(texture != 0, row.loads);
        if (row.loads) {
            EXPECT_EQ(LevelWidth(texture, 0), largest + row.extraWidth);
        }
    }
}

} // namespace
