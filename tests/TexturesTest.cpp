// SPDX-License-Identifier: MIT
#include "scene/Textures.h"
#include "GlContext.h"
#include "ImageFolder.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
constexpr GLuint NoTexture = static_cast<GLuint>(-1);

GLint Parameter(GLuint texture, GLenum name)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint LevelParameter(GLuint texture, GLenum name)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    return value;
}

std::vector<unsigned char> TexturePixels(GLuint texture, int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    WaitForRendering();
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

Rgb Gradient(int x, int y)
{
    return {static_cast<unsigned char>(40 * x), static_cast<unsigned char>(50 * y), 7};
}

void ExpectFileTexture(GLuint texture, int width, int height)
{
    ASSERT_NE(texture, NoTexture);
    ASSERT_TRUE(glIsTexture(texture));
    EXPECT_EQ(LevelParameter(texture, GL_TEXTURE_WIDTH), width);
    EXPECT_EQ(LevelParameter(texture, GL_TEXTURE_HEIGHT), height);
    EXPECT_EQ(Parameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(Parameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(Parameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
}

class Textures : public GlTest
{
protected:
    void TearDown() override
    {
        for (GLuint* texture : {&ReflectionTexture, &RefractionTexture, &TerrainMaterialTexture, &NormalTexture0,
                                &HeightTexture0, &NormalTexture1, &HeightTexture1})
        {
            if (*texture != NoTexture)
                glDeleteTextures(1, texture);
        }
        ReflectionTexture = RefractionTexture = 0;
        TerrainMaterialTexture = NormalTexture0 = HeightTexture0 = NormalTexture1 = HeightTexture1 = NoTexture;
        GlTest::TearDown();
    }
};
}

TEST_F(Textures, RenderTexturesDifferInFormatAndWrapAlongT)
{
    const ImageFolder empty;
    LoadTextures();

    EXPECT_EQ(LevelParameter(ReflectionTexture, GL_TEXTURE_WIDTH), 1024);
    EXPECT_EQ(LevelParameter(ReflectionTexture, GL_TEXTURE_HEIGHT), 1024);
    EXPECT_EQ(LevelParameter(ReflectionTexture, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
    EXPECT_EQ(Parameter(ReflectionTexture, GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(Parameter(ReflectionTexture, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(Parameter(ReflectionTexture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);

    EXPECT_EQ(LevelParameter(RefractionTexture, GL_TEXTURE_WIDTH), 1024);
    EXPECT_EQ(LevelParameter(RefractionTexture, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(Parameter(RefractionTexture, GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(Parameter(RefractionTexture, GL_TEXTURE_WRAP_T), GL_CLAMP);
    EXPECT_EQ(Parameter(RefractionTexture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_NO_GL_ERROR();
}

TEST_F(Textures, WithEveryFileMissingEachIsReportedOnceAndStartUpGoesOn)
{
    const ImageFolder empty;
    LoadTextures();

    const char* const files[] = {"./TerrainMaterial.bmp", "./norm.bmp", "./heigth.bmp", "./norm1.bmp", "./height1.bmp"};
    ASSERT_EQ(boxes.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(boxes[i].text.find(files[i]), std::string::npos) << boxes[i].text;
    for (GLuint texture : {TerrainMaterialTexture, NormalTexture0, HeightTexture0, NormalTexture1, HeightTexture1})
        EXPECT_EQ(texture, NoTexture);
    EXPECT_TRUE(glIsTexture(ReflectionTexture));
    EXPECT_TRUE(glIsTexture(RefractionTexture));
    EXPECT_NO_GL_ERROR();
}

TEST_F(Textures, AMissingFileLeavesOnlyItsTextureUnset)
{
    ImageFolder folder;
    // Odd widths: three bytes a pixel leaves the rows unaligned, which only an unpack alignment
    // of 1 reads correctly.
    folder.WriteBmp("TerrainMaterial.bmp", 5, 3, Gradient);
    folder.WriteBmp("heigth.bmp", 3, 2, Gradient);
    folder.WriteBmp("norm1.bmp", 4, 4, Gradient);
    folder.WriteBmp("height1.bmp", 1, 1, Gradient);

    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    LoadTextures();

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_NE(boxes[0].text.find("./norm.bmp"), std::string::npos) << boxes[0].text;
    EXPECT_EQ(NormalTexture0, NoTexture);
    ExpectFileTexture(TerrainMaterialTexture, 5, 3);
    ExpectFileTexture(HeightTexture0, 3, 2);
    ExpectFileTexture(NormalTexture1, 4, 4);
    ExpectFileTexture(HeightTexture1, 1, 1);

    const std::vector<unsigned char> pixels = TexturePixels(TerrainMaterialTexture, 5, 3);
    for (int y = 0; y < 3; ++y)
    {
        for (int x = 0; x < 5; ++x)
        {
            const Rgb expected = Gradient(x, y);
            const unsigned char* texel = &pixels[(y * 5 + x) * 3];
            EXPECT_EQ(Rgb({texel[0], texel[1], texel[2]}), expected) << "texel (" << x << ", " << y << ")";
        }
    }
    EXPECT_NO_GL_ERROR();
}

TEST_F(Textures, AnImageLargerThanTheTextureLimitOnEitherSideIsRefusedWithItsSizeAndTheLimit)
{
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    ImageFolder folder;
    folder.WriteBmp("TerrainMaterial.bmp", 1, 1, Gradient);
    folder.WriteBmp("norm.bmp", limit + 1, 1, Gradient);
    folder.WriteBmp("heigth.bmp", 1, 1, Gradient);
    folder.WriteBmp("norm1.bmp", 1, limit + 1, Gradient);
    folder.WriteBmp("height1.bmp", 1, 1, Gradient);

    LoadTextures();

    const std::string size = std::to_string(limit + 1);
    const std::string limits = std::to_string(limit) + " x " + std::to_string(limit);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].text, "The image ./norm.bmp is " + size + " x 1 pixels; this OpenGL takes textures of at most " +
                                 limits + ".");
    EXPECT_EQ(boxes[1].text, "The image ./norm1.bmp is 1 x " + size +
                                 " pixels; this OpenGL takes textures of at most " + limits + ".");
    EXPECT_EQ(NormalTexture0, NoTexture);
    EXPECT_EQ(NormalTexture1, NoTexture);
    ExpectFileTexture(HeightTexture1, 1, 1);
    EXPECT_NO_GL_ERROR();
}

// The best picture gives each file texture that loaded a full mip chain, each level the average of
// the one above, and trilinear filtering; the specified one, before and after, the top level alone,
// linearly filtered, as loaded. A missing file is passed over.
TEST_F(Textures, TheBestPictureMipmapsTheFileTexturesAndTheSpecifiedOneFiltersThemAsLoaded)
{
    ImageFolder folder;
    folder.WriteBmp("TerrainMaterial.bmp", 4, 2, Gradient);
    folder.WriteBmp("heigth.bmp", 5, 3, Gradient);
    folder.WriteBmp("norm1.bmp", 1, 1, Gradient);
    folder.WriteBmp("height1.bmp", 2, 8, Gradient);
    LoadTextures();
    const struct
    {
        GLuint texture;
        int lastLevel;
    } loaded[] = {{TerrainMaterialTexture, 2}, {HeightTexture0, 2}, {NormalTexture1, 0}, {HeightTexture1, 3}};
    auto width = [](GLuint texture, int level) {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &value);
        return value;
    };

    EXPECT_EQ(width(TerrainMaterialTexture, 1), 0) << "no chain until the best picture asks for one";
    for (bool best : {false, true, false})
    {
        SCOPED_TRACE(best ? "best" : "specified");
        glBindTexture(GL_TEXTURE_2D, HeightTexture1);
        UseMipmappedFileTextures(best);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, best || width(TerrainMaterialTexture, 1) != 0 ? 0 : static_cast<GLint>(HeightTexture1))
            << "a change leaves no texture bound; no change makes no call";
        for (const auto& file : loaded)
        {
            EXPECT_EQ(Parameter(file.texture, GL_TEXTURE_MIN_FILTER), best ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
            EXPECT_EQ(Parameter(file.texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
            if (best)
            {
                EXPECT_EQ(width(file.texture, file.lastLevel), 1) << "a chain down to one texel";
            }
        }
        EXPECT_EQ(Parameter(ReflectionTexture, GL_TEXTURE_MIN_FILTER), GL_LINEAR) << "the water images keep theirs";
    }

    // The 4 x 2 gradient's level 1: the average of each 2 x 2 block, (40 x, 50 y, 7) averaged.
    std::vector<unsigned char> level(2 * 3);
    glBindTexture(GL_TEXTURE_2D, TerrainMaterialTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 1, GL_RGB, GL_UNSIGNED_BYTE, level.data());
    const int expected[2][3] = {{20, 25, 7}, {100, 25, 7}};
    for (int texel = 0; texel < 2; ++texel)
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(level[texel * 3 + channel], expected[texel][channel], 1) << "texel " << texel;
    EXPECT_NO_GL_ERROR();
}
