// SPDX-License-Identifier: MIT
#include "scene/CSkyBox.h"

#include "scene/Textures.h"

#include <epoxy/gl.h>

namespace
{
constexpr int NoTexture = -1;

// The atlas is three cells wide and four high; 0.33 and 0.66 are the column bounds, not thirds.
constexpr float Left = 0.33f;
constexpr float Right = 0.66f;

// A face corner in the atlas, and which end of the cube it takes on each axis (0 the minimum
// corner, 1 the maximum).
struct CornerOfFace
{
    float s;
    float t;
    int x;
    int y;
    int z;
};

// The cross: top above the centre cell (x = min), z = min left of it, z = max right of it, then
// bottom and x = max below it. Each line is one triangle strip.
constexpr CornerOfFace Corners[CSkyBox::FaceCount * CSkyBox::VerticesPerFace] = {
    {Left, 1.0f, 0, 1, 0},   {Right, 1.0f, 1, 1, 0},  {Left, 0.75f, 0, 1, 1}, {Right, 0.75f, 1, 1, 1}, // top
    {Left, 0.5f, 0, 0, 0},   {Right, 0.5f, 1, 0, 0},  {Left, 0.25f, 0, 0, 1}, {Right, 0.25f, 1, 0, 1}, // bottom
    {0.0f, 0.75f, 1, 1, 0},  {Left, 0.75f, 0, 1, 0},  {0.0f, 0.5f, 1, 0, 0},  {Left, 0.5f, 0, 0, 0},   // z = min
    {Right, 0.75f, 0, 1, 1}, {1.0f, 0.75f, 1, 1, 1},  {Right, 0.5f, 0, 0, 1}, {1.0f, 0.5f, 1, 0, 1},   // z = max
    {Left, 0.75f, 0, 1, 0},  {Right, 0.75f, 0, 1, 1}, {Left, 0.5f, 0, 0, 0},  {Right, 0.5f, 0, 0, 1},  // x = min
    {Left, 0.25f, 1, 0, 0},  {Right, 0.25f, 1, 0, 1}, {Left, 0.0f, 1, 1, 0},  {Right, 0.0f, 1, 1, 1},  // x = max
};

float Span(int end, float minimum, float edge)
{
    return end == 0 ? minimum : minimum + edge;
}
}

CSkyBox::FaceVertices CSkyBox::Faces(const Vector3& centre, float edge)
{
    const float half = edge / 2.0f;
    const Vector3 minimum(centre.x - half, centre.y - half, centre.z - half);
    FaceVertices vertices;
    for (int i = 0; i < FaceCount * VerticesPerFace; ++i)
    {
        const CornerOfFace& corner = Corners[i];
        vertices[i] = {corner.s, corner.t, Span(corner.x, minimum.x, edge), Span(corner.y, minimum.y, edge),
                       Span(corner.z, minimum.z, edge)};
    }
    return vertices;
}

void CSkyBox::Load()
{
    GLuint name = 0;
    if (LoadImageTexture("./skybox.bmp", name))
        texture = static_cast<int>(name);
}

void CSkyBox::Draw() const
{
    // Without an image the faces are drawn untextured: name 0 is the default texture, where -1
    // would quietly create an empty texture object under that name.
    glBindTexture(GL_TEXTURE_2D, texture == NoTexture ? 0 : static_cast<GLuint>(texture));
    const FaceVertices vertices = Faces(position, size);
    for (int face = 0; face < FaceCount; ++face)
    {
        glBegin(GL_TRIANGLE_STRIP);
        for (int k = 0; k < VerticesPerFace; ++k)
        {
            const Vertex& v = vertices[face * VerticesPerFace + k];
            glTexCoord2f(v.s, v.t);
            glVertex3f(v.x, v.y, v.z);
        }
        glEnd();
    }
}

void CSkyBox::Destroy()
{
    if (texture == NoTexture)
        return;
    const GLuint name = static_cast<GLuint>(texture);
    glDeleteTextures(1, &name);
    texture = NoTexture;
}
