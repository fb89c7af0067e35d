#include "scene/Textures.h"

#include "scene/BmpLoader.h"

namespace
{
constexpr GLsizei RenderTextureSize = 1024;
constexpr GLuint NoTexture = static_cast<GLuint>(-1);
// glTexImage2D's count of components, the original form of GL_RGB.
constexpr GLint ThreeComponents = 3;

void CreateRenderTexture(GLuint& texture, GLenum format, GLint wrapT)
{
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, format, RenderTextureSize, RenderTextureSize, 0, format, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
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
    CreateRenderTexture(ReflectionTexture, GL_RGB, GL_REPEAT);
    CreateRenderTexture(RefractionTexture, GL_RGBA, GL_CLAMP);
    LoadImageTexture("./TerrainMaterial.bmp", TerrainMaterialTexture);
    LoadImageTexture("./norm.bmp", NormalTexture0);
    LoadImageTexture("./heigth.bmp", HeightTexture0);
    LoadImageTexture("./norm1.bmp", NormalTexture1);
    LoadImageTexture("./height1.bmp", HeightTexture1);
}
