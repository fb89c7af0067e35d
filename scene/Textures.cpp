// SPDX-License-Identifier: MIT
#include "scene/Textures.h"

#include "platform/MessageBox.h"
#include "scene/BmpLoader.h"

#include <cstdio>

namespace
{
constexpr GLsizei RenderTextureSize = 1024;
constexpr GLuint NoTexture = static_cast<GLuint>(-1);
// glTexImage2D's count of components, the original form of GL_RGB.
constexpr GLint ThreeComponents = 3;
constexpr std::size_t MessageCapacity = 260;

// What the file textures are filtered with now: they are loaded without mipmaps.
bool fileTexturesMipmapped = false;

constexpr GLenum ReflectionFormat = GL_RGB;
constexpr GLenum RefractionFormat = GL_RGBA;

void StoreRenderTexture(GLuint texture, GLenum format, GLsizei size)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, format, size, size, 0, format, GL_UNSIGNED_BYTE, nullptr);
}

void CreateRenderTexture(GLuint& texture, GLenum format, GLint wrapT)
{
    glGenTextures(1, &texture);
    StoreRenderTexture(texture, format, RenderTextureSize);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
}

// The driver refuses a texture wider or taller than its limit; the scene would then draw the
// image black with no word why, so the file is refused as any other unusable image is.
bool FitsTextureLimit(const char* fileName, const RGBImage& image)
{
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    if (image.width <= limit && image.height <= limit)
        return true;
    char text[MessageCapacity];
    std::snprintf(text, sizeof text, "The image %s is %d x %d pixels; this OpenGL takes textures of at most %d x %d.",
                  fileName, image.width, image.height, limit, limit);
    MessageBox(GetFocus(), text, "Error", MB_OK);
    return false;
}

void FilterFileTexture(GLuint texture, bool mipmapped)
{
    if (texture == NoTexture)
        return;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (mipmapped)
        glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
}
}

GLuint ReflectionTexture = 0;
GLuint RefractionTexture = 0;
GLuint TerrainMaterialTexture = NoTexture;
GLuint NormalTexture0 = NoTexture;
GLuint HeightTexture0 = NoTexture;
GLuint NormalTexture1 = NoTexture;
GLuint HeightTexture1 = NoTexture;

bool LoadImageTexture(const char* fileName, GLuint& texture)
{
    RGBImage* image = LoadBMPImage(fileName);
    if (image == nullptr)
        return false;
    if (!FitsTextureLimit(fileName, *image))
    {
        FreeRGBImage(image);
        return false;
    }
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, ThreeComponents, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image->data);
    FreeRGBImage(image);
    return true;
}

void LoadTextures()
{
    fileTexturesMipmapped = false;
    CreateRenderTexture(ReflectionTexture, ReflectionFormat, GL_REPEAT);
    CreateRenderTexture(RefractionTexture, RefractionFormat, GL_CLAMP);
    LoadImageTexture("./TerrainMaterial.bmp", TerrainMaterialTexture);
    LoadImageTexture("./norm.bmp", NormalTexture0);
    LoadImageTexture("./heigth.bmp", HeightTexture0);
    LoadImageTexture("./norm1.bmp", NormalTexture1);
    LoadImageTexture("./height1.bmp", HeightTexture1);
}

void UseMipmappedFileTextures(bool mipmapped)
{
    if (mipmapped == fileTexturesMipmapped)
        return;
    for (GLuint texture : {TerrainMaterialTexture, NormalTexture0, HeightTexture0, NormalTexture1, HeightTexture1})
        FilterFileTexture(texture, mipmapped);
    glBindTexture(GL_TEXTURE_2D, 0);
    fileTexturesMipmapped = mipmapped;
}

void ResizeRenderTextures(GLsizei size)
{
    StoreRenderTexture(ReflectionTexture, ReflectionFormat, size);
    StoreRenderTexture(RefractionTexture, RefractionFormat, size);
    glBindTexture(GL_TEXTURE_2D, 0);
}
